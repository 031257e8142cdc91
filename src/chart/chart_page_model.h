// The two chart pages as data, and the rate one page plots: the number of
// input events counted between two of its ticks.
#pragma once

#include <array>
#include <cstdint>

namespace tallivo {

struct ChartPageSettings {
  unsigned templateId;
  const char* title;  // tab text
  const char* captionPrefix;
  const char* captionSuffix;
  uint32_t divisor;                   // events per pixel of bar height
  std::array<const char*, 6> labels;  // top, middle of the value axis; four time marks
  int step;                           // bar width, px
  int gridX;                          // spacing of the vertical grid lines, px
  unsigned periodMs;                  // one bar per period
};

// The chart's size on either page at 96 DPI, in pixels; at another DPI it
// scales with it, and with it the bars, grid and figures drawn inside.
constexpr int kChartWidth = 388;
constexpr int kChartHeight = 126;

// One bar per minute over the last hour.
extern const ChartPageSettings kHourPage;
// One bar per hour over the last day.
extern const ChartPageSettings kDayPage;

// The grand total as the pages take it: a 32-bit float, exact up to 2^24.
float TotalForChart(uint32_t grandTotal);

class RateSampler {
 public:
  void SetCurrentTotal(float total) { m_current = total; }
  void SetPreviousTotal(float total) { m_previous = total; }
  float CurrentTotal() const { return m_current; }
  float PreviousTotal() const { return m_previous; }
  // The running total started over from `by` (a new day): the next tick
  // still counts what came before the start over, and not the drop.
  void ShiftDown(float by) {
    m_previous -= by;
    m_current -= by;
  }
  // The sample of one tick: |current - previous|; the current total then
  // becomes the previous one.
  float Tick();

 private:
  float m_current = 0.0f;
  float m_previous = 0.0f;
};

}  // namespace tallivo
