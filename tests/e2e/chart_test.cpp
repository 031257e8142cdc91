// The activity charts on the real program: bars read back from the screen after real events and page ticks, the tabs,
// and the tray round trip; the clock and the click milestones of the status bar.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "base/messages.h"
#include "chart_bars.h"
#include "harness.h"
#include "res/resource.h"

using namespace e2e;

namespace {

TEST(Charts, ClockMilestonesAndBarsFollowingTheEventsOfEachTickOnBothPagesAcrossAClearAndTheTray) {
  // Today's figures already hold 5000 left clicks: the curves must count only what happens after the start.
  ResetProfile();
  const SYSTEMTIME t = Today();
  SeedDay(t.wMonth, t.wDay, 5000, 0, 0, 0, 0, 0, 0);
  ASSERT_TRUE(MoveCursor(900, 700));
  App app;
  ASSERT_TRUE(app.Start());
  const HWND main = app.Main(), tab = GetDlgItem(main, IDC_TAB);
  // From the first paint, before the first tick: the texts, not the template's placeholders.
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  EXPECT_EQ(app.Text(IDC_CLOCK).rfind("当前:", 0), 0u) << app.Text(IDC_CLOCK);
  EXPECT_EQ(app.Text(IDC_RUN_TIME).rfind("软件已运行:", 0), 0u) << app.Text(IDC_RUN_TIME);
  EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_RUN_TIME) != "软件已运行:0时0分0秒"; }));  // the first tick
  char date[64];
  snprintf(date, sizeof date, "当前:%04d年%02d月%02d日 ", t.wYear, t.wMonth, t.wDay);
  EXPECT_EQ(app.Text(IDC_CLOCK).rfind(date, 0), 0u) << app.Text(IDC_CLOCK);
  EXPECT_EQ(app.Text(IDC_CLOCK).size(), std::string(date).size() + 8) << app.Text(IDC_CLOCK);  // HH:MM:SS
  // 5000 clicks is the mouse, one more the cat.
  auto status = [&] {  // the status bar's milestone part
    SharedBlock text(app.Process(), 256);
    SendMessageW(GetDlgItem(main, IDC_STATUS_BAR), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text.Remote()));
    return Utf8(reinterpret_cast<const wchar_t*>(text.Local()));
  };
  EXPECT_TRUE(WaitUntil([&] { return status() == "当前你已经点击死一只老鼠！"; }, 3000)) << status();
  app.PostInput(tallivo::WM_INPUT_MBUTTON);
  EXPECT_TRUE(WaitUntil([&] { return status() == "当前你已经点击死一只猫！"; }, 3000)) << status();

  const HWND hour = GetDlgItem(tab, IDD_PAGE_HOUR), day = GetDlgItem(tab, IDD_PAGE_DAY);
  SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);       // the charts all on screen
  auto bars = [&](HWND page, const std::vector<int>& want) {  // 8 and 17 pixels per slot
    return ChartBarsAre(GetDlgItem(page, IDC_CHART), page == hour ? 8 : 17, want);
  };
  auto shown = [](HWND page) { return (GetWindowLongA(page, GWL_STYLE) & WS_VISIBLE) != 0; };
  auto tick = [](HWND page) { SendMessageA(page, WM_TIMER, 1, 0); };
  // Clicks and wheel steps plus key strokes, as the labels show them.
  auto total = [&] { return NumberIn(app.Text(IDC_TOTAL_CLICKS)) + NumberIn(app.Text(IDC_KEY_STROKES)); };
  // What the day's save says, for the window in the tray, which writes no labels.
  auto stored = [] {
    return Stored("MouseLeft") + Stored("MouseRight") + Stored("MouseMiddle") + Stored("MouseRoll") + Stored("KeyBoard");
  };
  // n events of all kinds, shown by the labels (in the tray by the save of the second, which feeds the charts
  // first): the chart feed runs in the same refresh.
  auto events = [&](uint32_t n) {
    const bool hidden = !IsWindowVisible(main) || IsIconic(main);
    const uint32_t want = total() + n;  // hidden, the labels keep what they last showed
    const unsigned kinds[] = {tallivo::WM_INPUT_LBUTTON, tallivo::WM_INPUT_RBUTTON, tallivo::WM_INPUT_MBUTTON,
                              tallivo::WM_INPUT_WHEEL, tallivo::WM_INPUT_KEY};
    for (uint32_t i = 0; i < n; ++i) PostMessageA(main, kinds[i % 5], 0, 0);
    return WaitUntil([&] { return (hidden ? stored() : total()) == want; }, 8000);
  };
  // A real click on a tab item, counted like any other.
  auto clickTab = [&](int item) {
    SharedBlock block(app.Process(), sizeof(RECT));
    SendMessageA(tab, TCM_GETITEMRECT, item, reinterpret_cast<LPARAM>(block.Remote()));
    const RECT rc = *reinterpret_cast<RECT*>(block.Local());
    POINT p = CentreOf(rc);
    ClientToScreen(tab, &p);
    const uint32_t want = total() + 1;
    ClickAt(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
    return rc.right > rc.left && WaitUntil([&] { return total() == want; }, 8000);
  };

  ASSERT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   5000次"));
  ASSERT_TRUE(events(36));  // with the middle click 37, 4 per pixel, rounded up: 10 px
  tick(hour);
  // Nothing was drawn before the first tick.
  EXPECT_TRUE(bars(hour, {10, 0, 0}));
  tick(hour);  // a quiet minute moves the bar one slot on
  // After a clear the fall to zero is no activity.
  ASSERT_TRUE(events(300));
  ASSERT_TRUE(app.Command(ID_CLEAR_STATS).Answer(IDYES));
  ASSERT_TRUE(WaitUntil([&] { return total() == 0; })) << total();
  tick(hour);
  ASSERT_TRUE(events(20));
  tick(hour);
  EXPECT_TRUE(bars(hour, {5, 0, 0, 10}));
  // In the tray the chart has nothing to draw on; shown again, it draws what came meanwhile and goes on drawing each
  // new sample.
  ASSERT_TRUE(app.ToTray());
  ASSERT_TRUE(events(40)) << stored();  // 10 px
  tick(hour);
  ASSERT_TRUE(app.FromTray());
  ASSERT_TRUE(WaitUntil([&] { return total() == stored(); })) << "the labels brought up to date when shown";
  SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  EXPECT_TRUE(bars(hour, {10, 5, 0}));
  ASSERT_TRUE(events(8));  // 2 px
  tick(hour);
  EXPECT_TRUE(bars(hour, {2, 10, 5, 0}));
  // The hidden day page ticks on; the tabs swap the pages.
  ASSERT_TRUE(shown(hour) && !shown(day)) << "not the hour page first";
  tick(day);                 // what came before is a bar of its own, further on
  ASSERT_TRUE(events(150));  // 100 per pixel: 2 px
  tick(day);
  ASSERT_TRUE(events(250));  // 3 px
  tick(day);
  ASSERT_TRUE(clickTab(1));
  EXPECT_TRUE(WaitUntil([&] { return shown(day) && !shown(hour); }));
  EXPECT_TRUE(bars(day, {3, 2}));
  ASSERT_TRUE(clickTab(0));
  EXPECT_TRUE(WaitUntil([&] { return shown(hour) && !shown(day); }));
  // A chart left alone for a while draws nothing meanwhile, and its next tick's bar shows all the same. (The tick
  // before takes up the events since the hour page's last one.)
  tick(hour);
  Pump(3000);
  ASSERT_TRUE(events(12));  // 3 px
  tick(hour);
  EXPECT_TRUE(bars(hour, {3}));
}

}  // namespace
