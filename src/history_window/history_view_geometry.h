// Where the two drawn history views put things, in client pixels, and what
// they say about the cell or key under the pointer. The layouts depend on the
// client size and the window's DPI only (every margin, strip and minimum is
// given for 96 DPI and grows with it), so a reader of the screen can find a
// cell or a key the way the view drew it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history_window/history_model.h"
#include "history_window/history_window_rules.h"
#include "ui/dpi_rules.h"

namespace tallivo::history {

// Points and rectangles in client pixels, right and bottom exclusive.
inline bool IsEmpty(const PixelRect& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool Contains(const PixelRect& r, int x, int y) {
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}
inline bool Overlaps(const PixelRect& a, const PixelRect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The strip along the bottom of both views that names what is under the
// pointer; it grows with the view, within sensible bounds.
int StripHeight(int clientHeight, int dpi = dpi::kBaseDpi);

// ---------------------------------------------------------------- hours

struct HeatMapLayout {
  PixelRect dayLabels;   // 周一..周日, one per row, left of the grid
  PixelRect hourLabels;  // the hours, above the grid
  PixelRect grid;        // 7 rows x 24 columns of cells with their gaps
  PixelRect legend;      // the colour bar: 0 at its left end, the max at its right
  PixelRect strip;
  int gap = 1;            // pixels between cells
  int hourLabelStep = 3;  // a label every this many hours
};
// Cells fill the space; below a minimum cell size the grid keeps that size
// and runs past the window's edge.
HeatMapLayout LayoutHeatMap(int width, int height, int dpi = dpi::kBaseDpi);
PixelRect HeatCellRect(const HeatMapLayout& l, int weekday, int hour);

struct CellHit {
  int weekday = -1;  // 0 = Monday
  int hour = -1;
  bool Hit() const { return weekday >= 0; }
  bool operator==(const CellHit&) const = default;
};
// The cell at a client point; none over a gap or outside the grid.
CellHit HitHeatCell(const HeatMapLayout& l, int x, int y);

// The value the legend shows in column i of n: 0 at the left, max at the
// right, never decreasing, spaced as the heat scale is (logarithmically),
// so that the bar shows each of its colours.
uint64_t LegendValue(int column, int columns, uint64_t max);

// "周三 14时: 1234次"; "" for no cell.
std::string CellHoverText(const WeekHourGrid& grid, CellHit cell);

// ---------------------------------------------------------------- keys

struct KeyboardLayout {
  PixelRect area;   // the space the keyboard is centred in
  PixelRect board;  // the scaled keyboard
  float scale = 0;  // pixels per key unit
  std::vector<PixelRect> keys;  // one per cap, in the caps' order
  PixelRect strip;
};
// The caps scaled into the client area above the strip with their aspect
// kept, centred; below a minimum scale the board keeps that scale from the
// area's top left corner and runs past the window's edge.
KeyboardLayout LayoutKeyboard(const std::vector<KeyCap>& caps, float unitsWide, float unitsHigh, int width,
                              int height, int dpi = dpi::kBaseDpi);
// The standard keyboard in a client area of that size.
KeyboardLayout LayoutStandardKeyboard(int width, int height, int dpi = dpi::kBaseDpi);
// The index of the cap at a client point; -1 over a gap or outside.
int HitKey(const KeyboardLayout& l, int x, int y);

// "A: 3000次".
std::string KeyHoverText(unsigned vk, uint64_t strokes);

// Dark text on a light fill, light text on a dark one (0x00BBGGRR).
uint32_t TextColourOn(uint32_t fill);

}  // namespace tallivo::history
