// The history window's geometry and names that are worth a test: where a
// remembered window comes back, where each bar of the daily chart stands,
// what a bar's tip says and what the export files are called.
#pragma once

#include <string>

#include "base/pixel_rect.h"
#include "history_window/history_model.h"
#include "ui/dpi_rules.h"

namespace tallivo::history {

using tallivo::PixelRect;

// The window's smallest size, in pixels of the whole window at 96 DPI.
constexpr int kHistoryMinWidth = 640;
constexpr int kHistoryMinHeight = 480;

// A saved placement brought back inside the work area of the monitor it is
// nearest to: never smaller than the minimum, never larger than the work
// area, never partly off it (a window saved on a monitor that is gone, or
// at a resolution no longer there, comes back whole).
PixelRect PlaceInWorkArea(const PixelRect& saved, const PixelRect& work, int dpi = dpi::kBaseDpi);

// The daily chart's plot area and its bars. Every day of the range has one
// slot of equal width; a bar fills its slot but for a gap when there is
// room for one.
struct DailyChartLayout {
  PixelRect plot;  // inside the client area; bars stand on plot.bottom
  int count = 0;
  int BarLeft(int i) const;
  int BarRight(int i) const;  // exclusive
  // The day under a client point, -1 over no bar's slot.
  int BarAt(int x, int y) const;
  // The height in pixels of a value against the range's largest one.
  int BarHeight(double value, double max) const;
};
// The margins, for the value labels and the dates, grow with the DPI.
DailyChartLayout LayoutDailyChart(int clientWidth, int clientHeight, int count, int dpi = dpi::kBaseDpi);

// The bar's tip: the date, then one "名称:数值" line per column.
std::string DayTipText(const DayRow& row);

// "tallivo-days-2026-12-01-2026-12-07.csv" and its kin.
std::string CsvFileName(CsvTable table, const Range& range);

// The name the export writes first, beside the chosen one, before it takes
// the chosen name in one step: "<path>.part", or "" when that would be
// longer than the file system allows (the caller then asks the system for a
// short unique name in the same folder).
std::string ScratchPathFor(const std::string& path);
// The folder part of a path, without its last separator ("" for a bare name).
std::string FolderOfPath(const std::string& path);

}  // namespace tallivo::history
