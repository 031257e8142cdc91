// The history window's 时段 and 按键 views over the known year: colours read
// back from the screen where the views' own geometry puts each cell and
// key, and the names shown under the pointer.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"
#include "history/history_model.h"
#include "history/history_view_geometry.h"
#include "history_harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;
using namespace tallivo::history;

namespace {

constexpr int kTabHours = 1;
constexpr int kTabKeys = 2;

class HistoryViews : public SharedApp<HistoryViews> {
 public:
  static void BeforeStart() {
    ASSERT_TRUE(WriteKnownYear());
    MoveCursor(1000, 740);
  }

 protected:
  void SetUp() override {
    SharedApp::SetUp();
    ASSERT_TRUE(Window());
  }
  // The history window, opened once, in one place and size, in front.
  static HWND Window() {
    static HWND w = nullptr;
    if (w && IsWindow(w)) return w;
    s_app->Command(ID_HISTORY);
    WaitUntil([] {
      for (HWND t : s_app->TopLevelWindows()) {
        if (WindowText(t) == "历史记录" && IsWindowVisible(t)) w = t;
      }
      return w != nullptr;
    });
    if (w) SetWindowPos(w, HWND_TOPMOST, 0, 0, 760, 560, 0);
    return w;
  }
  static HWND Item(int id) { return GetDlgItem(Window(), id); }
  static void ShowTab(int tab) { SendMessageA(Item(IDC_HIST_TAB), TCM_SETCURFOCUS, tab, 0); }
  static void Press(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  // The shown view of a tab, with its client size.
  static HWND ShownView(int tab, int id, SIZE* size) {
    ShowTab(tab);
    HWND v = Item(id);
    WaitUntil([&] { return v && IsWindowVisible(v); });
    RECT rc = {};
    GetClientRect(v, &rc);
    *size = {rc.right, rc.bottom};
    return v;
  }
  static POINT OnScreen(HWND view, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(view, &p);
    return p;
  }
  static COLORREF PixelAt(POINT p) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
  }
  // Waits for the colour (the view paints after the change that asks it to).
  static bool ShowsColour(POINT p, COLORREF want, COLORREF* seen) {
    const bool ok = WaitUntil([&] { return (*seen = PixelAt(p)) == want; }, 3000);
    return ok;
  }
  static bool ShowsText(HWND view, const std::string& want, std::string* seen) {
    return WaitUntil([&] { return (*seen = WindowText(view)) == want; }, 3000);
  }
  // A point of the key's fill clear of its centred label and rounded corners.
  static POINT KeyFill(const PixelRect& k) { return {(k.left + k.right) / 2, k.bottom - 3}; }
  static POINT Centre(const PixelRect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
  // The top keys list's first row, read through shared memory.
  static std::string TopKeyCell(int column) {
    return ListCell(s_app->Process(), Item(IDC_HIST_TOPKEYS), 0, column);
  }
  static void Screenshot(const std::string& png) {
    DeleteFileA(("Z:" + png).c_str());
    RunUnix("/usr/bin/import -window root " + png);
    WaitUntil([&] { return GetFileAttributesA(("Z:" + png).c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
  }
  static std::string Hex(COLORREF c) {
    char b[16];
    wsprintfA(b, "0x%06X", static_cast<unsigned>(c));
    return b;
  }
};

size_t CapIndex(unsigned vk) {
  const auto& caps = StandardKeyboard();
  for (size_t i = 0; i < caps.size(); ++i) {
    if (caps[i].vk == vk) return i;
  }
  return caps.size();
}

TEST_F(HistoryViews, TheKeyboardShowsTheHottestKeyHottestUnusedKeysPlainAndNamesTheKeyUnderThePointer) {
  Press(IDC_HIST_ALL);
  SIZE size;
  HWND view = ShownView(kTabKeys, IDC_HIST_KEYBOARD, &size);
  ASSERT_GT(size.cx, 300);
  const KeyboardLayout layout = LayoutStandardKeyboard(size.cx, size.cy);
  const std::vector<uint64_t> strokes = CapStrokes(KeyTotals(KnownYearRows().keys));
  const uint64_t max = *std::max_element(strokes.begin(), strokes.end());
  const size_t e = CapIndex('E'), a = CapIndex('A'), esc = CapIndex(VK_ESCAPE);
  ASSERT_EQ(strokes[e], max);
  ASSERT_GT(strokes[a], 0u);
  ASSERT_LT(strokes[a], max);
  ASSERT_EQ(strokes[esc], 0u);

  const struct {
    size_t cap;
    COLORREF colour;
  } keys[] = {{e, HeatColour(max, max)}, {a, HeatColour(strokes[a], max)}, {esc, kPlainColour}};
  for (const auto& k : keys) {
    COLORREF seen = 0;
    EXPECT_TRUE(ShowsColour(OnScreen(view, KeyFill(layout.keys[k.cap]).x, KeyFill(layout.keys[k.cap]).y), k.colour,
                            &seen))
        << StandardKeyboard()[k.cap].label << ": " << Hex(seen) << " instead of " << Hex(k.colour);
  }
  EXPECT_TRUE(WaitUntil([] { return TopKeyCell(0) == "E"; })) << TopKeyCell(0);
  EXPECT_EQ(TopKeyCell(1), std::to_string(max));

  std::string seen;
  const std::string eText = "E: " + std::to_string(max) + "次";
  PointAt(OnScreen(view, Centre(layout.keys[e]).x, Centre(layout.keys[e]).y));
  EXPECT_TRUE(ShowsText(view, eText, &seen)) << seen;
  Screenshot("/tmp/hviews-keys.png");
  // Between E and R, over nothing: no name.
  const PixelRect& ek = layout.keys[e];
  PointAt(OnScreen(view, ek.right, (ek.top + ek.bottom) / 2));
  EXPECT_TRUE(ShowsText(view, "", &seen)) << seen;
  PointAt(OnScreen(view, Centre(layout.keys[esc]).x, Centre(layout.keys[esc]).y));
  EXPECT_TRUE(ShowsText(view, "Esc: 0次", &seen)) << seen;
  // Off the view altogether: the name goes.
  PointAt({1000, 740});
  EXPECT_TRUE(ShowsText(view, "", &seen)) << seen;
}

TEST_F(HistoryViews, TheHourMapShowsTheBusiestHourHottestWithItsExactFigure) {
  Press(IDC_HIST_ALL);
  SIZE size;
  HWND view = ShownView(kTabHours, IDC_HIST_HEATMAP, &size);
  ASSERT_GT(size.cx, 300);
  const HeatMapLayout layout = LayoutHeatMap(size.cx, size.cy);
  const WeekHourGrid grid = WeekHours(KnownYearRows().hours);
  int day = 0, hour = 0;
  for (int d = 0; d < 7; ++d) {
    for (int h = 0; h < 24; ++h) {
      if (grid.cells[d][h] > grid.cells[day][hour]) day = d, hour = h;
    }
  }
  // The one huge day of the year is not today's weekday: today's own input
  // cannot change this cell.
  ASSERT_GT(grid.cells[day][hour], 5000000u);
  const int quiet = (day + 1) % 7;  // the known year has nothing at 2 o'clock
  ASSERT_EQ(grid.cells[quiet][2], 0u);

  COLORREF seen = 0;
  const POINT busiest = OnScreen(view, Centre(HeatCellRect(layout, day, hour)).x,
                                 Centre(HeatCellRect(layout, day, hour)).y);
  EXPECT_TRUE(ShowsColour(busiest, HeatColour(grid.max, grid.max), &seen)) << Hex(seen);
  const POINT plain =
      OnScreen(view, Centre(HeatCellRect(layout, quiet, 2)).x, Centre(HeatCellRect(layout, quiet, 2)).y);
  EXPECT_TRUE(ShowsColour(plain, kPlainColour, &seen)) << Hex(seen);

  std::string text;
  PointAt(busiest);
  const std::string want =
      std::string(WeekdayName(day)) + " " + std::to_string(hour) + "时: " + std::to_string(grid.cells[day][hour]) + "次";
  EXPECT_TRUE(ShowsText(view, want, &text)) << text;
  Screenshot("/tmp/hviews-hours.png");
  PointAt(plain);
  EXPECT_TRUE(ShowsText(view, std::string(WeekdayName(quiet)) + " 2时: 0次", &text)) << text;
  PointAt({1000, 740});
  EXPECT_TRUE(ShowsText(view, "", &text)) << text;
}

TEST_F(HistoryViews, ARangeWithoutDataLeavesEveryCellAndKeyPlain) {
  // The ten days the known year has a gap (Tallivo did not run). Set in
  // the pickers, then changed and changed back with the keyboard as the user
  // would: the window learns of a change from the picker itself (Wine does
  // not carry a WM_NOTIFY from another process).
  SharedBlock block(s_app->Process(), 256);
  ASSERT_TRUE(block.Ok());
  for (auto [id, daysAgo] : {std::pair{IDC_HIST_FROM, 109}, {IDC_HIST_TO, 100}}) {
    Date d;
    ASSERT_TRUE(ParseDate(DateDaysAgo(daysAgo), &d));
    auto* st = reinterpret_cast<SYSTEMTIME*>(block.Local());
    *st = {};
    st->wYear = static_cast<WORD>(d.year);
    st->wMonth = static_cast<WORD>(d.month);
    st->wDay = static_cast<WORD>(d.day);
    ASSERT_TRUE(SendMessageA(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(block.Remote())));
  }
  RECT picker;
  GetWindowRect(Item(IDC_HIST_TO), &picker);
  ClickAt({picker.left + 12, (picker.top + picker.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  Pump(200);
  TapKey(VK_UP, 1);
  TapKey(VK_DOWN, 1);
  Pump(200);

  SIZE size;
  HWND hours = ShownView(kTabHours, IDC_HIST_HEATMAP, &size);
  const HeatMapLayout map = LayoutHeatMap(size.cx, size.cy);
  ASSERT_TRUE(WaitUntil([&] {
    const PixelRect c = HeatCellRect(map, 0, 9);
    return PixelAt(OnScreen(hours, Centre(c).x, Centre(c).y)) == kPlainColour;
  }));
  int coloured = 0;
  for (int d = 0; d < 7; ++d) {
    for (int h = 0; h < 24; ++h) {
      const POINT p = Centre(HeatCellRect(map, d, h));
      coloured += PixelAt(OnScreen(hours, p.x, p.y)) != kPlainColour;
    }
  }
  EXPECT_EQ(coloured, 0);

  HWND keyboard = ShownView(kTabKeys, IDC_HIST_KEYBOARD, &size);
  const KeyboardLayout keys = LayoutStandardKeyboard(size.cx, size.cy);
  const size_t e = CapIndex('E');
  ASSERT_TRUE(WaitUntil([&] {
    const POINT p = KeyFill(keys.keys[e]);
    return PixelAt(OnScreen(keyboard, p.x, p.y)) == kPlainColour;
  }));
  std::vector<std::string> notPlain;
  for (size_t i = 0; i < keys.keys.size(); ++i) {
    const POINT p = KeyFill(keys.keys[i]);
    if (PixelAt(OnScreen(keyboard, p.x, p.y)) != kPlainColour) notPlain.push_back(StandardKeyboard()[i].label);
  }
  EXPECT_TRUE(notPlain.empty()) << testing::PrintToString(notPlain);
  std::string text;
  PointAt(OnScreen(keyboard, Centre(keys.keys[e]).x, Centre(keys.keys[e]).y));
  EXPECT_TRUE(ShowsText(keyboard, "E: 0次", &text)) << text;
  PointAt({1000, 740});
}

}  // namespace
