#include "stats/distance.h"

#include <cmath>
#include <cstdlib>

namespace tallivo {

uint32_t DistanceStep(int64_t dx, int64_t dy) {
  const double len =
      std::sqrt(static_cast<double>(dx) * static_cast<double>(dx) + static_cast<double>(dy) * static_cast<double>(dy));
  if (len >= 4294967295.0) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(len);
}

float PixelsPerMetre(int32_t measuredPixels) {
  const int64_t v = std::llabs(static_cast<int64_t>(measuredPixels));
  if (v == 0) return kFallbackPixelsPerMetre;
  return static_cast<float>(v);
}

bool DistanceMeter::Sample(ScreenPoint p) {
  if (p == m_lastCursor) return false;
  const int64_t dx = static_cast<int64_t>(p.x) - m_lastCursor.x;
  const int64_t dy = static_cast<int64_t>(p.y) - m_lastCursor.y;
  m_movePixels += DistanceStep(dx, dy);
  m_moveMetres = static_cast<float>(static_cast<double>(m_movePixels) / m_pixelsPerMetre);
  m_lastCursor = p;
  return true;
}

}  // namespace tallivo
