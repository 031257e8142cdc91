// The history window's geometry and names: where a remembered window comes
// back, which bar is under the pointer, the export's file names.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "history_window/history_window_rules.h"

using namespace tallivo::history;

TEST(HistoryWindowPlacement, ComesBackWholeInsideTheWorkArea) {
  const PixelRect work = {0, 0, 1920, 1040}, right = {1920, 0, 3200, 1024}, tiny = {0, 0, 600, 400};
  const std::tuple<const char*, PixelRect, PixelRect, PixelRect> cases[] = {
      {"on screen: unchanged", work, {100, 50, 900, 650}, {100, 50, 900, 650}},
      {"on a monitor to the right that is gone", work, {2500, 100, 3300, 700}, {1120, 100, 1920, 700}},
      {"on a monitor to the left (negative)", work, {-1800, -300, -1000, 300}, {0, 0, 800, 600}},
      {"bigger than the screen now", work, {-50, -50, 4000, 3000}, {0, 0, 1920, 1040}},
      {"smaller than the minimum", work, {10, 10, 110, 60}, {10, 10, 10 + kHistoryMinWidth, 10 + kHistoryMinHeight}},
      {"hanging off the bottom", work, {300, 900, 1000, 1500}, {300, 440, 1000, 1040}},
      {"a work area smaller than the minimum: the screen wins", tiny, {0, 0, 800, 600}, tiny},
      {"a second monitor keeps its own origin", right, {1900, 10, 2600, 600}, {1920, 10, 2620, 600}},
  };
  for (const auto& [what, area, saved, expected] : cases) EXPECT_EQ(PlaceInWorkArea(saved, area), expected) << what;
}

TEST(HistoryDailyChart, EveryPointNamesTheBarDrawnThereAndHeightsScaleToTheLargest) {
  for (int count : {1, 7, 30, 365, 1000}) {
    for (int width : {300, 640, 1280}) {
      const DailyChartLayout l = LayoutDailyChart(width, 200, count);
      SCOPED_TRACE(testing::Message() << count << " bars in " << width);
      for (int i = 0; i < count; ++i) {
        ASSERT_GT(l.BarRight(i), l.BarLeft(i)) << "bar " << i << " has no width";
        ASSERT_LE(l.BarRight(i), l.plot.right);
        if (i + 1 < count) {
          // A bar fills its slot but for a gap where a bar of two pixels or
          // more stays; narrower ones touch (or, below a pixel each, share).
          const int slot = l.BarLeft(i + 1) - l.BarLeft(i);
          ASSERT_LE(l.BarRight(i), l.BarLeft(i + 1) + (slot == 0)) << "bars overlap at " << i;
          ASSERT_EQ(l.BarRight(i) < l.BarLeft(i + 1), slot >= 4) << "slot of " << slot << " at " << i;
        }
        // The middle of a bar is that bar's slot, wherever it is.
        if (count <= l.plot.Width()) {
          ASSERT_EQ(l.BarAt((l.BarLeft(i) + l.BarRight(i) - 1) / 2, l.plot.top), i);
        }
      }
      // Every column of the plot belongs to a day; outside it none.
      for (int x = l.plot.left; x < l.plot.right; ++x) {
        const int i = l.BarAt(x, l.plot.bottom - 1);
        ASSERT_TRUE(i >= 0 && i < count) << x;
      }
      EXPECT_TRUE(l.plot.right < width && l.plot.bottom < 200) << "inside the window, with room for labels";
      EXPECT_EQ(l.BarAt(l.plot.left - 1, l.plot.top + 1), -1);
      EXPECT_EQ(l.BarAt(l.plot.right, l.plot.top + 1), -1);
      EXPECT_EQ(l.BarAt(l.plot.left, l.plot.bottom), -1);
      EXPECT_EQ(l.BarAt(l.plot.left, l.plot.top - 1), -1);
    }
  }
  EXPECT_EQ(LayoutDailyChart(640, 200, 0).BarAt(300, 100), -1);
  const DailyChartLayout l = LayoutDailyChart(640, 234, 30);
  const int full = l.plot.Height();
  // One huge day: the others still show.
  const std::tuple<double, double, int> cases[] = {{500, 500, full}, {250, 500, full / 2}, {0, 500, 0},       {0, 0, 0},
                                                   {1, 1e12, 1},     {1e12, 1e12, full},   {2e12, 1e12, full}};
  for (auto [value, max, height] : cases) EXPECT_EQ(l.BarHeight(value, max), height) << value << " of " << max;
}

TEST(HistoryExport, FileNamesAndScratchNames) {
  const Range r = {{2026, 12, 1}, {2026, 12, 7}};
  EXPECT_EQ(CsvFileName(CsvTable::Days, r), "tallivo-days-2026-12-01-2026-12-07.csv");
  EXPECT_EQ(CsvFileName(CsvTable::Hours, r), "tallivo-hours-2026-12-01-2026-12-07.csv");
  EXPECT_EQ(CsvFileName(CsvTable::Keys, r), "tallivo-keys-2026-12-01-2026-12-07.csv");
  EXPECT_EQ(CsvFileName(CsvTable::Programs, r), "tallivo-programs-2026-12-01-2026-12-07.csv");

  // Names at the limits: a component of 255, a path of 259 at most.
  const std::string folder = "C:\\" + std::string(200, 'd') + "\\";
  for (auto [path, scratch] : {std::pair<std::string, bool>{"C:\\out\\days.csv", true},
                               {"C:\\" + std::string(250, 'n'), true},
                               {"C:\\" + std::string(251, 'n'), false},
                               {folder + std::string(50, 'n'), true},  // 259 with ".part"
                               {folder + std::string(51, 'n'), false}})
    EXPECT_EQ(ScratchPathFor(path), scratch ? path + ".part" : "") << path.size();
  // The limits count UTF-16 units, as the file calls do, not bytes: 250 Chinese characters (750 bytes) fit, 126 emoji
  // (252 units) do not.
  std::string chinese = "C:\\";
  for (int i = 0; i < 250; ++i) chinese += "字";
  EXPECT_EQ(ScratchPathFor(chinese), chinese + ".part");
  std::string emoji = "C:\\";
  for (int i = 0; i < 126; ++i) emoji += "😀";
  EXPECT_EQ(ScratchPathFor(emoji), "") << "252 units of name, not 126 characters";
  const std::pair<std::string, const char*> folders[] = {{"C:\\ทดสอบ 한국\\x.csv", "C:\\ทดสอบ 한국"},
                                                         {"C:\\x.csv", "C:\\"},
                                                         {"x.csv", ""},
                                                         {"\\\\server\\share\\x.csv", "\\\\server\\share"}};
  for (const auto& [path, folder] : folders) EXPECT_EQ(FolderOfPath(path), folder) << path;
}
