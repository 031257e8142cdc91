#include "chart/curve_model.h"

#include <cmath>
#include <new>

#include "base/text_format.h"

namespace tallivo {
namespace chart {

std::string FitText(const std::string& text) { return CutUtf8Text(text, kTextBytes); }

int SampleCount(int width, int step) {
  if (step < 1 || width < 1) return 0;
  return width / step;
}

std::vector<int> VerticalGridLines(int width, int gridX) {
  std::vector<int> xs;
  if (gridX < 1 || width < 0) return xs;
  const int cols = width / gridX;
  for (int i = 0; i <= cols; ++i) xs.push_back(i * gridX);
  return xs;
}

std::vector<int> HorizontalGridLines(int height, int gridY, int rise) {
  std::vector<int> ys;
  if (gridY < 1 || height < 0) return ys;
  const int rows = height / gridY;
  for (int i = 0; i <= rows; ++i) ys.push_back(height - rise - i * gridY);
  return ys;
}

ChartRgb GradientColour(int row, int height) {
  if (height <= 0) return {0, 255, 64};
  const double x = row * (255.0 / height);
  return {static_cast<uint8_t>(static_cast<int>(x)), static_cast<uint8_t>(static_cast<int>(255.0 - x)), 64};
}

int BarTop(int bottom, float value, uint32_t divisor, int dpi) {
  // A chart not configured yet (divisor 0) scales like divisor 1 instead of
  // dividing by zero; a value that is not a count draws no bar.
  const double div = divisor ? static_cast<double>(divisor) : 1.0;
  if (!(value > 0.0f)) return bottom;
  double height = static_cast<double>(value) / div;
  if (dpi != dpi::kBaseDpi && dpi > 0) height = height * dpi / dpi::kBaseDpi;
  const double top = std::trunc(static_cast<double>(bottom) - height);
  // Anything above the client area looks the same; stop there so that the
  // conversion stays in range for every float.
  if (top < -1.0) return -1;
  return static_cast<int>(top);
}

std::string CaptionText(const std::string& prefix, float value, const std::string& suffix) {
  // Truncated toward zero; kept in 64 bits so that a fall of the total
  // across the counter wrap still prints as the positive count it is.
  long long shown = 0;
  if (std::isfinite(value)) {
    const double t = std::trunc(static_cast<double>(value));
    if (t >= 9.0e18)
      shown = 9000000000000000000LL;
    else if (t <= -9.0e18)
      shown = -9000000000000000000LL;
    else
      shown = static_cast<long long>(t);
  }
  return prefix + FormatText("%lld", shown) + suffix;
}

std::vector<Bar> Bars(const ChartRect& client, int step, const std::vector<float>& samples, uint32_t divisor,
                      int dpi) {
  std::vector<Bar> bars;
  bars.reserve(samples.size());
  for (size_t i = 0; i < samples.size(); ++i) {
    const int x0 = client.left + static_cast<int>(i) * step;
    const int top = BarTop(client.bottom, samples[i], divisor, dpi);
    bars.push_back({{x0, top, x0 + step, client.bottom}, {x0, top}, {x0, client.bottom}});
  }
  return bars;
}

std::array<Label, 8> Labels(int width, int height, const std::string& caption, const std::array<std::string, 6>& axis,
                            int dpi) {
  const int w = width;
  const int h = height;
  const auto px = [dpi](int length) { return dpi::Scale(length, dpi); };
  const int base = h - px(kAxisLabelRise);
  // The third time mark sits at W/4 + W/2, two integer quotients.
  return {{
      {caption, {px(kCaptionX), 0}},
      {axis[0], {0, 0}},
      {axis[1], {0, h / 2}},
      {"0", {0, base}},
      {axis[2], {w / 4 - px(10), base}},
      {axis[3], {w / 2 - px(4), base}},
      {axis[4], {w / 4 + w / 2 - px(10), base}},
      {axis[5], {w - px(20), base}},
  }};
}

}  // namespace chart

void CurveModel::SetSize(int width, int height) {
  m_width = width > 0 ? width : 0;
  m_height = height > 0 ? height : 0;
}

void CurveModel::SetDpi(int dpi, int width, int height) {
  m_dpi = dpi > 0 ? dpi : dpi::kBaseDpi;
  SetSize(width, height);
  try {
    m_samples.resize(static_cast<size_t>(chart::SampleCount(m_width, Px(m_step))), 0.0f);
  } catch (const std::bad_alloc&) {
    m_samples.clear();
  }
}

void CurveModel::SetCaption(const std::string& prefix, const std::string& suffix) {
  m_prefix = chart::FitText(prefix);
  m_suffix = chart::FitText(suffix);
}

void CurveModel::SetAxis(uint32_t divisor, const std::array<std::string, 6>& labels) {
  m_divisor = divisor;
  for (size_t i = 0; i < labels.size(); ++i) m_axis[i] = chart::FitText(labels[i]);
}

bool CurveModel::SetStep(int step) {
  m_samples.clear();
  m_samples.shrink_to_fit();
  if (step < 1) return false;
  m_step = step;
  try {
    m_samples.assign(static_cast<size_t>(chart::SampleCount(m_width, Px(step))), 0.0f);
  } catch (const std::bad_alloc&) {
    m_samples.clear();
    return false;
  }
  return true;
}

void CurveModel::SetGridX(int spacing) {
  if (spacing >= 1) m_gridX = spacing;
}

void CurveModel::AddPoint(float value) {
  if (!m_samples.empty()) {
    for (size_t k = m_samples.size() - 1; k >= 1; --k) m_samples[k] = m_samples[k - 1];
    m_samples[0] = value;
  }
  m_current = value;
}

std::string CurveModel::Caption() const { return chart::CaptionText(m_prefix, m_current, m_suffix); }

std::vector<chart::Bar> CurveModel::Bars(const ChartRect& client) const {
  return chart::Bars(client, Px(m_step), m_samples, m_divisor, m_dpi);
}

std::array<chart::Label, 8> CurveModel::Labels() const { return chart::Labels(m_width, m_height, Caption(), m_axis, m_dpi); }

}  // namespace tallivo
