// The docking rules of a magnetic dialog: which edge a dragged window snaps
// to, where a docked child goes when its owner moves, is moved or shown.
// Pure functions of window rectangles (screen coordinates, frame included),
// side codes and flags; the window class only reads rectangles and applies
// the moves these return.
#pragma once

#include "base/pixel_rect.h"

namespace tallivo {

// Side codes. MAG_ANY is only an allowed-sides value.
constexpr int MAG_ANY = 1;
constexpr int MAG_LEFT = 2;
constexpr int MAG_RIGHT = 4;
constexpr int MAG_TOP = 8;
constexpr int MAG_BOTTOM = 16;

// How far on both sides of an owner's edge (and beyond its ends) a dragged
// window is captured, at 96 DPI; it grows with the owner's DPI.
constexpr int kMagDistance = 50;

using MagRect = PixelRect;

struct MagPoint {
  int x = 0;
  int y = 0;
  bool operator==(const MagPoint&) const = default;
};

// Same width and height, top-left corner at (x, y).
MagRect MoveRectTo(const MagRect& r, int x, int y);
// Inside when left <= x < right and top <= y < bottom.
bool PointInRect(const MagRect& r, MagPoint p);

// The capture zone of one side of the owner, and the point of the dragged
// window (proposed rectangle) that is tested against it.
MagRect CaptureZone(int side, const MagRect& owner, int dpi = 96);
MagPoint TestPoint(int side, const MagRect& proposed);

// An owner being dragged to `proposedOwner` carries a docked child at
// `child`. The child's place along the edge is `*edgeOffset`; 0 means not
// recorded, and it is then taken from this step. Returns the child's new
// rectangle (unchanged for an unknown side).
MagRect CarryChild(int side, const MagRect& proposedOwner, const MagRect& child, int* edgeOffset);

// Only docked and visible children are carried.
inline bool IsCarried(bool docked, bool visible) { return docked && visible; }

// What one drag step of a child does to its docking state.
struct DockDecision {
  enum Kind { Keep, Undock, Dock };
  Kind kind = Keep;
  int side = 0;  // the side captured (Dock) or released (Undock)
  bool operator==(const DockDecision&) const = default;
};

// `docked`/`side` are the child's state before the step, `allowSides` its
// allowed sides (0, MAG_ANY or one side), `owner` the owner's rectangle and
// `proposed` the child's proposed rectangle. A docked child is released when
// the test point of its side leaves that side's zone; a free child is
// captured by every allowed side whose zone holds its test point, the last
// in the order right, left, top, bottom winning.
DockDecision DecideDock(bool docked, int side, int allowSides, const MagRect& owner, const MagRect& proposed,
                        int dpi = 96);

// A docked child (not moved by its owner) asked to go to (requestX,
// requestY): it stays flush against its side and keeps its size, and goes
// along the edge where it was asked. `*offset` receives the child's place
// along the edge before the move. Returns the rectangle to write back (the
// current one for an unknown side).
MagRect SnapPlacement(int side, const MagRect& owner, const MagRect& self, int requestX, int requestY, int* offset);

// Where a docked child goes when it is shown: against its side at its own
// stored offset (unchanged for an unknown side).
MagRect PlaceOnShow(int side, const MagRect& owner, const MagRect& self, int offset);

}  // namespace tallivo
