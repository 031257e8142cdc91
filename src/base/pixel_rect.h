// A rectangle in pixels, right and bottom exclusive: the logic files' own
// RECT, so that they need no Windows header.
#pragma once

namespace tallivo {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  int MidX() const { return left + (right - left) / 2; }
  int MidY() const { return top + (bottom - top) / 2; }
  bool operator==(const PixelRect&) const = default;
};

}  // namespace tallivo
