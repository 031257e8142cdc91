#include "history_window/history_view_geometry.h"

#include <algorithm>
#include <cmath>

namespace tallivo::history {

namespace {

constexpr int kMargin = 6;
constexpr int kMinCell = 8;       // pixels, each way
constexpr float kMinKeyUnit = 12; // pixels per key unit
constexpr int kHours = 24;
constexpr int kDays = 7;

// The edge of part i of n equal parts of [from, from + length): the parts
// differ by one pixel at most and together fill the length exactly.
int Edge(int from, int length, int i, int n) { return from + static_cast<int>(int64_t{length} * i / n); }

// The part of [from, from + length) split in n that holds v, -1 if none;
// false over the gap at the end of a part.
int Part(int from, int length, int n, int gap, int v) {
  if (v < from || v >= from + length) return -1;
  int i = static_cast<int>(int64_t{v - from} * n / length);
  // Integer division may land one part off at an edge: settle it.
  while (i > 0 && v < Edge(from, length, i, n)) --i;
  while (i + 1 < n && v >= Edge(from, length, i + 1, n)) ++i;
  return v < Edge(from, length, i + 1, n) - gap ? i : -1;
}

}  // namespace

int StripHeight(int clientHeight, int dpi) {
  return std::clamp(clientHeight / 12, dpi::Scale(18, dpi), dpi::Scale(30, dpi));
}

// ---------------------------------------------------------------- hours

HeatMapLayout LayoutHeatMap(int width, int height, int dpi) {
  const auto px = [dpi](int length) { return dpi::Scale(length, dpi); };
  const int margin = px(kMargin), minCell = px(kMinCell);
  HeatMapLayout l;
  const int strip = StripHeight(height, dpi);
  const int row = strip;  // the hour labels and the legend take a strip's height each
  const int labelWidth = std::clamp(width / 14, px(30), px(64));
  l.strip = {0, height - strip, width, height};

  const int left = margin + labelWidth;
  const int top = margin + row;
  const int gridWidth = std::max(width - margin - left, kHours * minCell);
  const int gridHeight = std::max(l.strip.top - row - margin - top, kDays * minCell);
  l.grid = {left, top, left + gridWidth, top + gridHeight};
  // The strip stays in view even when the grid does not fit.
  l.strip.top = std::max(l.strip.top, l.grid.bottom + row);
  l.strip.bottom = std::max(l.strip.bottom, l.strip.top + strip);

  const int pitchX = gridWidth / kHours;
  const int pitchY = gridHeight / kDays;
  l.gap = px(std::min(pitchX, pitchY) >= px(20) ? 2 : 1);
  l.hourLabelStep = pitchX >= px(24) ? 1 : pitchX >= px(14) ? 2 : 3;
  l.dayLabels = {margin, top, left - px(4), l.grid.bottom};
  l.hourLabels = {left, margin, l.grid.right, top};

  const int barHeight = std::max(row / 2, px(6));
  const int barTop = l.grid.bottom + (row - barHeight) / 2 + 1;
  const int barWidth = std::min(gridWidth / 2, px(240));
  l.legend = {left, barTop, left + barWidth, barTop + barHeight};
  return l;
}

PixelRect HeatCellRect(const HeatMapLayout& l, int weekday, int hour) {
  if (weekday < 0 || weekday >= kDays || hour < 0 || hour >= kHours) return {};
  const PixelRect& g = l.grid;
  return {Edge(g.left, g.Width(), hour, kHours), Edge(g.top, g.Height(), weekday, kDays),
          Edge(g.left, g.Width(), hour + 1, kHours) - l.gap, Edge(g.top, g.Height(), weekday + 1, kDays) - l.gap};
}

CellHit HitHeatCell(const HeatMapLayout& l, int x, int y) {
  const int hour = Part(l.grid.left, l.grid.Width(), kHours, l.gap, x);
  const int day = Part(l.grid.top, l.grid.Height(), kDays, l.gap, y);
  if (hour < 0 || day < 0) return {};
  return {day, hour};
}

uint64_t LegendValue(int column, int columns, uint64_t max) {
  if (columns <= 1 || column <= 0) return columns == 1 && column == 0 ? max : 0;
  if (column >= columns - 1) return max;
  // The inverse of the heat scale's log(1 + v) / log(1 + max).
  const double t = static_cast<double>(column) / (columns - 1);
  const double v = std::round(std::expm1(t * std::log1p(static_cast<double>(max))));
  // Doubles near 2^64 would not convert back.
  if (v >= static_cast<double>(max)) return max;
  return v <= 0 ? 0 : static_cast<uint64_t>(v);
}

std::string CellHoverText(const WeekHourGrid& grid, CellHit cell) {
  if (!cell.Hit() || cell.weekday >= kDays || cell.hour >= kHours) return "";
  return std::string(WeekdayName(cell.weekday)) + " " + std::to_string(cell.hour) + "时: " +
         std::to_string(grid.cells[cell.weekday][cell.hour]) + "次";
}

// ---------------------------------------------------------------- keys

KeyboardLayout LayoutKeyboard(const std::vector<KeyCap>& caps, float unitsWide, float unitsHigh, int width,
                              int height, int dpi) {
  const int margin = dpi::Scale(kMargin, dpi);
  const float minKeyUnit = kMinKeyUnit * static_cast<float>(dpi > 0 ? dpi : dpi::kBaseDpi) / dpi::kBaseDpi;
  KeyboardLayout l;
  const int strip = StripHeight(height, dpi);
  l.strip = {0, height - strip, width, height};
  l.area = {margin, margin, std::max(width - margin, margin), std::max(l.strip.top - margin, margin)};
  if (unitsWide <= 0 || unitsHigh <= 0) return l;

  const float fit = std::min(l.area.Width() / unitsWide, l.area.Height() / unitsHigh);
  l.scale = std::max(fit, minKeyUnit);
  const int boardWidth = static_cast<int>(std::lround(unitsWide * l.scale));
  const int boardHeight = static_cast<int>(std::lround(unitsHigh * l.scale));
  const int left = l.area.left + std::max(0, (l.area.Width() - boardWidth) / 2);
  const int top = l.area.top + std::max(0, (l.area.Height() - boardHeight) / 2);
  l.board = {left, top, left + boardWidth, top + boardHeight};

  // Neighbours share an edge before the inset, so no two keys overlap.
  const int inset = dpi::Scale(l.scale >= dpi::Scale(30, dpi) ? 2 : 1, dpi);
  auto at = [&](int origin, float units) { return origin + static_cast<int>(std::lround(units * l.scale)); };
  l.keys.reserve(caps.size());
  for (const KeyCap& c : caps) {
    l.keys.push_back({at(left, c.x) + inset, at(top, c.y) + inset, at(left, c.x + c.w) - inset,
                      at(top, c.y + c.h) - inset});
  }
  return l;
}

KeyboardLayout LayoutStandardKeyboard(int width, int height, int dpi) {
  return LayoutKeyboard(StandardKeyboard(), KeyboardWidth(), KeyboardHeight(), width, height, dpi);
}

int HitKey(const KeyboardLayout& l, int x, int y) {
  if (!Contains(l.board, x, y)) return -1;
  for (size_t i = 0; i < l.keys.size(); ++i) {
    if (Contains(l.keys[i], x, y)) return static_cast<int>(i);
  }
  return -1;
}

std::string KeyHoverText(unsigned vk, uint64_t strokes) {
  return KeyName(vk) + ": " + std::to_string(strokes) + "次";
}

uint32_t TextColourOn(uint32_t fill) {
  const uint32_t r = fill & 0xFF;
  const uint32_t g = (fill >> 8) & 0xFF;
  const uint32_t b = (fill >> 16) & 0xFF;
  // Perceived lightness (ITU-R BT.601 weights), out of 255000.
  const uint32_t light = r * 299 + g * 587 + b * 114;
  return light >= 140000 ? 0x00202020 : 0x00FFFFFF;
}

}  // namespace tallivo::history
