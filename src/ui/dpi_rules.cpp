#include "ui/dpi_rules.h"

#include <cstdint>

namespace tallivo::dpi {

namespace {

// One axis: [start, start + size) moved into [lo, hi), cut when larger.
void FitSpan(int* start, int* end, int lo, int hi) {
  const int size = *end - *start;
  if (size >= hi - lo) {
    *start = lo;
    *end = hi;
    return;
  }
  if (*end > hi) *start = hi - size;
  if (*start < lo) *start = lo;
  *end = *start + size;
}

}  // namespace

int ScaleBetween(int length, int fromDpi, int toDpi) {
  if (fromDpi < 1) fromDpi = kBaseDpi;
  if (toDpi < 1) toDpi = kBaseDpi;
  if (fromDpi == toDpi) return length;
  const int64_t n = static_cast<int64_t>(length) * toDpi;
  const int64_t half = fromDpi / 2;
  return static_cast<int>(n >= 0 ? (n + half) / fromDpi : -((-n + half) / fromDpi));
}

PixelRect ScaleRect(const PixelRect& r, int dpi) {
  return {Scale(r.left, dpi), Scale(r.top, dpi), Scale(r.right, dpi), Scale(r.bottom, dpi)};
}

PixelRect FitIntoWorkArea(const PixelRect& window, const PixelRect& work) {
  PixelRect r = window;
  FitSpan(&r.left, &r.right, work.left, work.right);
  FitSpan(&r.top, &r.bottom, work.top, work.bottom);
  return r;
}

}  // namespace tallivo::dpi
