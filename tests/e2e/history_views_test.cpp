// The history window's 时段 and 按键 views over the known year: colours read back from the screen where the views' own
// geometry puts each cell and key, and the names shown under the pointer.

#include <algorithm>

#include "history_window/history_model.h"
#include "history_window/history_view_geometry.h"
#include "history_harness.h"

using namespace e2e;
using namespace tallivo::history;

namespace {

constexpr int kTabHours = 1;
constexpr int kTabKeys = 2;
constexpr POINT kAway = {1000, 740};  // off the window, where the suite starts the pointer

class HistoryViews : public KnownYearApp {
 protected:
  // The view of a tab, shown, and its client rectangle.
  static HWND ShownView(int tab, int id, RECT* rc) {
    ShowTab(tab);
    HWND v = Item(id);
    WaitUntil([&] { return v && IsWindowVisible(v); });
    GetClientRect(v, rc);
    return v;
  }
  static POINT Centre(const PixelRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  // A point of the key's fill clear of its centred label and rounded corners.
  static POINT KeyFill(const PixelRect& k) { return {(k.left + k.right) / 2, k.bottom - 3}; }
  // The point off the window in the view's coordinates.
  static POINT Away(HWND view) {
    POINT p = kAway;
    ScreenToClient(view, &p);
    return p;
  }
  // The colour at a point of the view, once painted (it paints after the change that asks it to).
  static testing::AssertionResult Paints(HWND view, POINT p, COLORREF want) {
    COLORREF seen = 0;
    if (WaitUntil([&] { return (seen = PixelAt(view, p)) == want; }, 3000)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << (testing::Message() << std::hex << "0x" << seen << " instead of 0x" << want);
  }
  // The name the view shows with the pointer over a point of it.
  static testing::AssertionResult Names(HWND view, POINT p, const std::string& want) {
    ClientToScreen(view, &p);
    PointAt(p);
    std::string seen;
    if (WaitUntil([&] { return (seen = WindowText(view)) == want; }, 3000)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "\"" << seen << "\" instead of \"" << want << "\"";
  }
};

size_t CapIndex(unsigned vk) {
  const auto& caps = StandardKeyboard();
  return std::find_if(caps.begin(), caps.end(), [&](const KeyCap& c) { return c.vk == vk; }) - caps.begin();
}

TEST_F(HistoryViews, TheKeyboardShowsTheHottestKeyHottestUnusedKeysPlainAndNamesTheKeyUnderThePointer) {
  Press(IDC_HIST_ALL);
  RECT rc;
  HWND view = ShownView(kTabKeys, IDC_HIST_KEYBOARD, &rc);
  ASSERT_GT(rc.right, 300);
  const KeyboardLayout layout = LayoutStandardKeyboard(rc.right, rc.bottom);
  const std::vector<uint64_t> strokes = CapStrokes(KeyTotals(KnownYearRows().keys));
  const uint64_t max = *std::max_element(strokes.begin(), strokes.end());
  const size_t e = CapIndex('E'), a = CapIndex('A'), esc = CapIndex(VK_ESCAPE);
  ASSERT_TRUE(strokes[e] == max && strokes[a] > 0 && strokes[a] < max && strokes[esc] == 0);
  for (const auto& [cap, colour] :
       {std::pair{e, HeatColour(max, max)}, {a, HeatColour(strokes[a], max)}, {esc, kPlainColour}}) {
    EXPECT_TRUE(Paints(view, KeyFill(layout.keys[cap]), colour)) << StandardKeyboard()[cap].label;
  }
  // The top keys: the known year's eight, the most first.
  EXPECT_TRUE(WaitUntil([] { return Rows(IDC_HIST_TOPKEYS) == 8; })) << Rows(IDC_HIST_TOPKEYS);
  EXPECT_EQ(Row(IDC_HIST_TOPKEYS, 0, 2), (std::vector<std::string>{"E", std::to_string(max)}));

  EXPECT_TRUE(Names(view, Centre(layout.keys[e]), "E: " + std::to_string(max) + "次"));
  // Between E and R, over nothing: no name; Esc by its name; off the view altogether, the name goes.
  const PixelRect& ek = layout.keys[e];
  EXPECT_TRUE(Names(view, {ek.right, (ek.top + ek.bottom) / 2}, ""));
  EXPECT_TRUE(Names(view, Centre(layout.keys[esc]), "Esc: 0次"));
  EXPECT_TRUE(Names(view, Away(view), ""));
}

TEST_F(HistoryViews, TheHourMapShowsTheBusiestHourHottestWithItsExactFigureAndARangeWithoutDataNothing) {
  Press(IDC_HIST_ALL);
  RECT rc;
  HWND view = ShownView(kTabHours, IDC_HIST_HEATMAP, &rc);
  ASSERT_GT(rc.right, 300);
  const HeatMapLayout layout = LayoutHeatMap(rc.right, rc.bottom);
  const WeekHourGrid grid = WeekHours(KnownYearRows().hours);
  // Day 200, the one huge day, made its weekday's 9 o'clock (9 + 200 % 8) the busiest cell (the grid starts on Monday);
  // it is not today's weekday, so today's own input cannot change it.
  const int day = (DayAgo(200).wDayOfWeek + 6) % 7, hour = 9;
  ASSERT_GT(grid.cells[day][hour], 5000000u);
  ASSERT_EQ(grid.cells[day][hour], grid.max);
  const int quiet = (day + 1) % 7;  // the known year has nothing at 2 o'clock
  ASSERT_EQ(grid.cells[quiet][2], 0u);

  const POINT busiest = Centre(HeatCellRect(layout, day, hour)), plain = Centre(HeatCellRect(layout, quiet, 2));
  EXPECT_TRUE(Paints(view, busiest, HeatColour(grid.max, grid.max)));
  EXPECT_TRUE(Paints(view, plain, kPlainColour));
  EXPECT_TRUE(Names(view, busiest,
                    std::string(WeekdayName(day)) + " " + std::to_string(hour) +
                        "时: " + std::to_string(grid.cells[day][hour]) + "次"));
  EXPECT_TRUE(Names(view, plain, std::string(WeekdayName(quiet)) + " 2时: 0次"));
  EXPECT_TRUE(Names(view, Away(view), ""));

  // The ten days the known year has a gap (Tallivo did not run): every cell and key plain.
  ASSERT_TRUE(PickRange(*s_app, Window(), 109, 100));
  ASSERT_TRUE(Paints(view, busiest, kPlainColour));
  int coloured = 0;
  for (int d = 0; d < 7; ++d)
    for (int h = 0; h < 24; ++h) coloured += PixelAt(view, Centre(HeatCellRect(layout, d, h))) != kPlainColour;
  EXPECT_EQ(coloured, 0);
  HWND keyboard = ShownView(kTabKeys, IDC_HIST_KEYBOARD, &rc);
  const KeyboardLayout keys = LayoutStandardKeyboard(rc.right, rc.bottom);
  const size_t e = CapIndex('E');
  ASSERT_TRUE(Paints(keyboard, KeyFill(keys.keys[e]), kPlainColour));
  std::vector<std::string> notPlain;
  for (size_t i = 0; i < keys.keys.size(); ++i)
    if (PixelAt(keyboard, KeyFill(keys.keys[i])) != kPlainColour) notPlain.push_back(StandardKeyboard()[i].label);
  EXPECT_TRUE(notPlain.empty()) << testing::PrintToString(notPlain);
  EXPECT_TRUE(Names(keyboard, Centre(keys.keys[e]), "E: 0次"));
  PointAt(kAway);
}

}  // namespace
