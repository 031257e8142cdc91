// Pointer travel: whole-pixel steps between cursor samples, and the
// conversion to metres from the measured screen.
#pragma once

#include <cstdint>

namespace tallivo {

struct ScreenPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// Length of the step (dx, dy), truncated to whole pixels.
uint32_t DistanceStep(int64_t dx, int64_t dy);

// Pixels per metre from the measured device width of one metre. A display
// that reports no physical size measures 0; fall back to a 96-dpi screen
// rather than dividing by zero later.
constexpr float kFallbackPixelsPerMetre = 3780.0f;
float PixelsPerMetre(int32_t measuredPixels);

class DistanceMeter {
 public:
  void SetStart(ScreenPoint p) { m_lastCursor = p; }
  void SetPixelsPerMetre(float ppm) { m_pixelsPerMetre = ppm; }
  void SetPixels(uint32_t pixels) { m_movePixels = pixels; }

  // One cursor sample. Returns true when the pointer moved, in which case the
  // pixel total and the metre figure were updated.
  bool Sample(ScreenPoint p);

  uint32_t Pixels() const { return m_movePixels; }
  float Metres() const { return m_moveMetres; }
  float PixelsPerMetreValue() const { return m_pixelsPerMetre; }
  ScreenPoint Last() const { return m_lastCursor; }
  // Clearing keeps the metre figure until the next move, as the labels do.
  void ClearPixels() { m_movePixels = 0; }
  // A new day: nothing travelled yet, in pixels and in metres.
  void Clear() {
    m_movePixels = 0;
    m_moveMetres = 0.0f;
  }

 private:
  uint32_t m_movePixels = 0;
  float m_pixelsPerMetre = 100.0f;
  float m_moveMetres = 0.0f;
  ScreenPoint m_lastCursor;
};

}  // namespace tallivo
