#include "ui/mag_rules.h"

#include "ui/dpi_rules.h"

namespace tallivo {

namespace {
constexpr int kSideOrder[] = {MAG_RIGHT, MAG_LEFT, MAG_TOP, MAG_BOTTOM};
}

MagRect MoveRectTo(const MagRect& r, int x, int y) { return {x, y, x + r.Width(), y + r.Height()}; }

bool PointInRect(const MagRect& r, MagPoint p) {
  return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

MagRect CaptureZone(int side, const MagRect& m, int dpi) {
  const int d = dpi::Scale(kMagDistance, dpi);
  switch (side) {
    case MAG_RIGHT: return {m.right - d, m.top - d, m.right + d, m.bottom + d};
    case MAG_LEFT: return {m.left - d, m.top - d, m.left + d, m.bottom + d};
    case MAG_TOP: return {m.left - d, m.top - d, m.right + d, m.top + d};
    case MAG_BOTTOM: return {m.left - d, m.bottom - d, m.right + d, m.bottom + d};
    default: return {};
  }
}

MagPoint TestPoint(int side, const MagRect& p) {
  switch (side) {
    case MAG_RIGHT: return {p.left, p.MidY()};
    case MAG_LEFT: return {p.right, p.MidY()};
    case MAG_TOP: return {p.MidX(), p.bottom};
    case MAG_BOTTOM: return {p.MidX(), p.top};
    default: return {};
  }
}

MagRect CarryChild(int side, const MagRect& p, const MagRect& r, int* edgeOffset) {
  switch (side) {
    case MAG_LEFT:
      if (*edgeOffset == 0) *edgeOffset = p.top - r.top;
      return MoveRectTo(r, p.left - r.Width(), p.top - *edgeOffset);
    case MAG_RIGHT:
      if (*edgeOffset == 0) *edgeOffset = p.top - r.top;
      return MoveRectTo(r, p.right, p.top - *edgeOffset);
    case MAG_TOP:
      if (*edgeOffset == 0) *edgeOffset = p.left - r.left;
      return MoveRectTo(r, p.left - *edgeOffset, p.top - r.Height());
    case MAG_BOTTOM:
      if (*edgeOffset == 0) *edgeOffset = p.left - r.left;
      return MoveRectTo(r, p.left - *edgeOffset, p.bottom);
    default: return r;
  }
}

DockDecision DecideDock(bool docked, int side, int allowSides, const MagRect& owner, const MagRect& proposed,
                        int dpi) {
  DockDecision d;
  for (int s : kSideOrder) {
    const bool inside = PointInRect(CaptureZone(s, owner, dpi), TestPoint(s, proposed));
    if (docked) {
      if (side == s && !inside) d = {DockDecision::Undock, s};
    } else if ((allowSides == s || allowSides == MAG_ANY) && inside) {
      d = {DockDecision::Dock, s};
    }
  }
  return d;
}

MagRect SnapPlacement(int side, const MagRect& m, const MagRect& s, int requestX, int requestY, int* offset) {
  switch (side) {
    case MAG_RIGHT: *offset = m.top - s.top; return MoveRectTo(s, m.right, requestY);
    case MAG_LEFT: *offset = m.top - s.top; return MoveRectTo(s, m.left - s.Width(), requestY);
    case MAG_TOP: *offset = m.left - s.left; return MoveRectTo(s, requestX, m.top - s.Height());
    case MAG_BOTTOM: *offset = m.left - s.left; return MoveRectTo(s, requestX, m.bottom);
    default: return s;
  }
}

MagRect PlaceOnShow(int side, const MagRect& m, const MagRect& s, int offset) {
  switch (side) {
    case MAG_LEFT: return MoveRectTo(s, m.left - s.Width(), m.top - offset);
    case MAG_RIGHT: return MoveRectTo(s, m.right, m.top - offset);
    case MAG_TOP: return MoveRectTo(s, m.left - offset, m.top - s.Height());
    case MAG_BOTTOM: return MoveRectTo(s, m.left - offset, m.bottom);
    default: return s;
  }
}

}  // namespace tallivo
