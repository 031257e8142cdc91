// The bar-history chart without a window: the sample buffer, the texts it
// shows, and where every grid line, bar, marker and label goes for a client
// area of W x H pixels. CCurveChart only draws what this computes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/dpi_rules.h"

namespace tallivo {

struct ChartPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ChartPoint&) const = default;
};

// Right and bottom edges excluded, as GDI fills them.
struct ChartRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool operator==(const ChartRect&) const = default;
};

struct ChartRgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool operator==(const ChartRgb&) const = default;
};

namespace chart {

constexpr ChartRgb kBackground = {0, 0, 75};
constexpr ChartRgb kGrid = {32, 64, 32};
constexpr ChartRgb kMarker = {0, 255, 255};
constexpr ChartRgb kText = {0, 255, 255};

constexpr int kDefaultGridX = 10;
constexpr int kGridY = 10;
constexpr int kDefaultStep = 2;
// The texts of the chart live in fixed buffers of this many bytes.
constexpr size_t kTextBytes = 260;
constexpr int kCaptionX = 30;
// Distance of the time-axis labels from the bottom edge.
constexpr int kAxisLabelRise = 15;
// Corner ellipse of the rounded window region.
constexpr int kCornerEllipse = 10;
// Rise of the lowest horizontal grid line above the bottom edge.
constexpr int kGridRise = 2;
// Height of the labels' font (a character height in pixels).
constexpr int kFontPixels = 12;
// Columns of each bar that carry the gradient.
constexpr int kGradientColumns = 2;
// Every pixel length above is given for 96 DPI; the chart draws them, its
// bar widths and grid spacings and its bar heights at its window's DPI.

// Cuts a UTF-8 text to at most kTextBytes bytes without splitting a
// character.
std::string FitText(const std::string& text);

// Number of bars for a client width; 0 when the step is below 1.
int SampleCount(int width, int step);
// x of every vertical grid line, left to right.
std::vector<int> VerticalGridLines(int width, int gridX);
// y of every horizontal grid line, bottom to top; the lowest lies `rise`
// px above the bottom edge.
std::vector<int> HorizontalGridLines(int height, int gridY, int rise = kGridRise);
// Colour of the bar gradient in a row: green at the top, red at the bottom.
ChartRgb GradientColour(int row, int height);
// Top row of a bar: the bar is ceil(value / divisor) pixels tall at 96 DPI
// (scaled to dpi before rounding up), cut at one row above the client area
// for values beyond its height.
int BarTop(int bottom, float value, uint32_t divisor, int dpi = dpi::kBaseDpi);
// The caption: prefix, the value truncated toward zero, suffix.
std::string CaptionText(const std::string& prefix, float value, const std::string& suffix);

struct Bar {
  ChartRect rect;       // filled with the gradient brush
  ChartPoint marker;    // one pixel in the marker colour
  ChartPoint brushOrg;  // brush origin so that bar column c shows pattern column c
};
std::vector<Bar> Bars(const ChartRect& client, int step, const std::vector<float>& samples, uint32_t divisor,
                      int dpi = dpi::kBaseDpi);

struct Label {
  std::string text;
  ChartPoint at;  // top-left corner of the text
};
// Caption first, then label 0, label 1, the fixed "0" and labels 2 to 5.
std::array<Label, 8> Labels(int width, int height, const std::string& caption, const std::array<std::string, 6>& axis,
                            int dpi = dpi::kBaseDpi);

}  // namespace chart

// What the chart shows: its settings, the samples (index 0 newest) and the
// newest value. Not locked; the window class guards it.
class CurveModel {
 public:
  // Client size of the control, fixed when it is attached.
  void SetSize(int width, int height);
  int Width() const { return m_width; }
  int Height() const { return m_height; }
  // The window's DPI (and its client size there): bar widths and grid
  // spacings follow, the samples are kept, newest first, as many as fit.
  void SetDpi(int dpi, int width, int height);
  int Dpi() const { return m_dpi; }
  // A 96-DPI length of the chart at its DPI.
  int Px(int length) const { return dpi::Scale(length, m_dpi); }

  void SetCaption(const std::string& prefix, const std::string& suffix);
  void SetAxis(uint32_t divisor, const std::array<std::string, 6>& labels);
  // N = width / step, all samples 0. False (and N = 0) for a step below 1
  // or when the buffer cannot be had.
  bool SetStep(int step);
  // Spacing of the vertical grid lines; values below 1 are ignored.
  void SetGridX(int spacing);
  // The oldest sample falls off the right end; value becomes the newest.
  void AddPoint(float value);

  int Step() const { return m_step; }
  int GridX() const { return m_gridX; }
  uint32_t Divisor() const { return m_divisor; }
  int Count() const { return static_cast<int>(m_samples.size()); }
  const std::vector<float>& Samples() const { return m_samples; }
  float CurrentValue() const { return m_current; }
  std::string Caption() const;
  const std::array<std::string, 6>& AxisLabels() const { return m_axis; }

  std::vector<int> VerticalGridLines() const { return chart::VerticalGridLines(m_width, Px(m_gridX)); }
  std::vector<int> HorizontalGridLines() const {
    return chart::HorizontalGridLines(m_height, Px(chart::kGridY), Px(chart::kGridRise));
  }
  std::vector<chart::Bar> Bars(const ChartRect& client) const;
  std::array<chart::Label, 8> Labels() const;

 private:
  int m_width = 0;
  int m_height = 0;
  int m_dpi = dpi::kBaseDpi;
  int m_gridX = chart::kDefaultGridX;
  int m_step = chart::kDefaultStep;
  uint32_t m_divisor = 0;
  std::vector<float> m_samples;
  float m_current = 0.0f;
  std::string m_prefix;
  std::string m_suffix;
  std::array<std::string, 6> m_axis;
};

}  // namespace tallivo
