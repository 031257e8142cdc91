// The scaling rules of a DPI-aware window: lengths given for 96 DPI (the
// layout's own pixels) turned into pixels at a window's DPI, and a window
// rectangle kept within the work area of its monitor. The window side only
// reads the DPI and applies what these return.
#pragma once

#include "base/pixel_rect.h"

namespace tallivo::dpi {

// The DPI at which every pixel length of the layout is given (100 %).
constexpr int kBaseDpi = 96;

// length * toDpi / fromDpi, rounded to the nearest pixel, halves away from
// zero (as MulDiv rounds). A DPI below 1 is taken as kBaseDpi.
int ScaleBetween(int length, int fromDpi, int toDpi);
// A 96-DPI length at the given DPI.
inline int Scale(int length, int dpi) { return ScaleBetween(length, kBaseDpi, dpi); }
// Each edge scaled, so that rectangles that touch at 96 DPI still touch.
PixelRect ScaleRect(const PixelRect& r, int dpi);

// A window rectangle moved into the work area, and cut to it where it is
// taller or wider: a window larger than the screen opens at the work area's
// edge, with its whole width or height on screen.
PixelRect FitIntoWorkArea(const PixelRect& window, const PixelRect& work);

}  // namespace tallivo::dpi
