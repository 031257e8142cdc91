#include "history_window/history_window_rules.h"

#include <algorithm>
#include <cmath>

#include "base/text_format.h"

namespace tallivo::history {

PixelRect PlaceInWorkArea(const PixelRect& saved, const PixelRect& work, int dpi) {
  const int minWidth = dpi::Scale(kHistoryMinWidth, dpi), minHeight = dpi::Scale(kHistoryMinHeight, dpi);
  const int width = std::min(std::max(saved.Width(), minWidth), std::max(work.Width(), 1));
  const int height = std::min(std::max(saved.Height(), minHeight), std::max(work.Height(), 1));
  const int left = std::clamp(saved.left, work.left, work.right - width);
  const int top = std::clamp(saved.top, work.top, work.bottom - height);
  return {left, top, left + width, top + height};
}

namespace {
// Room for the value labels on the left and the dates below.
constexpr int kMarginLeft = 64;
constexpr int kMarginRight = 12;
constexpr int kMarginTop = 12;
constexpr int kMarginBottom = 22;

double SlotWidth(const DailyChartLayout& l) { return l.count > 0 ? double(l.plot.Width()) / l.count : 0.0; }
}  // namespace

DailyChartLayout LayoutDailyChart(int clientWidth, int clientHeight, int count, int dpi) {
  const int left = dpi::Scale(kMarginLeft, dpi), right = dpi::Scale(kMarginRight, dpi);
  const int top = dpi::Scale(kMarginTop, dpi), bottom = dpi::Scale(kMarginBottom, dpi);
  DailyChartLayout l;
  l.plot = {left, top, std::max(left, clientWidth - right), std::max(top, clientHeight - bottom)};
  l.count = std::max(count, 0);
  return l;
}

int DailyChartLayout::BarLeft(int i) const { return plot.left + static_cast<int>(std::floor(i * SlotWidth(*this))); }

int DailyChartLayout::BarRight(int i) const {
  const int slotRight = plot.left + static_cast<int>(std::floor((i + 1) * SlotWidth(*this)));
  // A gap between bars only where a bar keeps at least two pixels.
  const int gap = slotRight - BarLeft(i) >= 4 ? std::max(1, (slotRight - BarLeft(i)) / 5) : 0;
  return std::max(BarLeft(i) + 1, slotRight - gap);
}

int DailyChartLayout::BarAt(int x, int y) const {
  if (count <= 0 || x < plot.left || x >= plot.right || y < plot.top || y >= plot.bottom) return -1;
  // The slot whose drawn bar starts at or before x: the same rounding as
  // the drawing, or the tip would name the neighbouring day.
  int i = std::min(static_cast<int>((x - plot.left) / SlotWidth(*this)), count - 1);
  while (i + 1 < count && BarLeft(i + 1) <= x) ++i;
  while (i > 0 && BarLeft(i) > x) --i;
  return i;
}

int DailyChartLayout::BarHeight(double value, double max) const {
  if (!(max > 0) || !(value > 0)) return 0;
  const int h = static_cast<int>(std::lround(std::min(value / max, 1.0) * plot.Height()));
  // Something is never drawn as nothing.
  return std::max(h, 1);
}

std::string DayTipText(const DayRow& row) {
  std::string text = row.date;
  for (int c = static_cast<int>(DayColumn::Left); c < kDayColumns; ++c) {
    const auto column = static_cast<DayColumn>(c);
    text += FormatText("\r\n%s:%s", DayColumnName(column), DayCellText(row, column).c_str());
  }
  return text;
}

std::string CsvFileName(CsvTable table, const Range& range) {
  static const char* const kNames[] = {"days", "hours", "keys", "programs"};
  return FormatText("tallivo-%s-%s-%s.csv", kNames[static_cast<int>(table)], DateText(range.from).c_str(),
                    DateText(range.to).c_str());
}

namespace {
// Where the file name starts.
size_t NameStart(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? 0 : separator + 1;
}
}  // namespace

std::string FolderOfPath(const std::string& path) {
  const size_t start = NameStart(path);
  if (start == 0) return std::string();
  // "C:" alone would be the drive's current folder, not its root.
  if (start == 3 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, start - 1);
}

std::string ScratchPathFor(const std::string& path) {
  // In UTF-16 units, as the file calls count.
  constexpr size_t kMaxPath = 259;  // MAX_PATH less the terminating zero
  constexpr size_t kMaxComponent = 255;
  static const char kSuffix[] = ".part";
  const size_t name = Utf16Length(path.substr(NameStart(path)));
  if (Utf16Length(path) + sizeof kSuffix - 1 > kMaxPath || name + sizeof kSuffix - 1 > kMaxComponent) {
    return std::string();
  }
  return path + kSuffix;
}

}  // namespace tallivo::history
