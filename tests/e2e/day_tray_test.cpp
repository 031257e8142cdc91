// The day's figures across restarts, a clear and midnight, the pointer's travel, the tray icon with its tip and
// balloons.

#include "base/messages.h"
#include "chart_bars.h"
#include "fake_shell.h"
#include "harness.h"
#include "res/resource.h"

using namespace e2e;

namespace {

// Each start is seeded with 25 h of run time (no wrap at 24) and 7560 pixels of travel on today's month and day.
TEST(DayFigures, AnotherYearStartsAtZeroTravelInMetresSameDayContinuesAndAClearAsksFirst) {
  const SYSTEMTIME t = Today();
  App app;
  const auto start = [&](DWORD year, int x, int y) {
    app.Kill();
    ResetProfile();
    SeedDay(t.wMonth, t.wDay, 5, 6, 7, 8, 9, 7560, 3600 * 25 + 60);
    WriteProfileDword("DateCur", "Year", year);
    return MoveCursor(x, y) && app.Start();
  };
  const auto runTimeIs = [&](const char* prefix) {
    return WaitUntil([&] { return app.Text(IDC_RUN_TIME).rfind(prefix, 0) == 0; });
  };
  // The same month and day last year: today's figures start at zero and are saved under today's date.
  ASSERT_TRUE(start(t.wYear - 1, 500, 300));
  SetWindowPos(app.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次")) << app.Text(IDC_LEFT_CLICKS);
  EXPECT_TRUE(runTimeIs("软件已运行:0时0分")) << app.Text(IDC_RUN_TIME);
  EXPECT_EQ(app.Text(IDC_MOVE_METRES), "鼠标运行:   0米");
  app.ExpectSixteenJumps();
  ASSERT_FALSE(HasFailure());
  EXPECT_EQ(Stored("Month", "DateCur"), t.wMonth);
  EXPECT_EQ(Stored("Year", "DateCur"), t.wYear);
  // After several still seconds the first move counts from where the pointer rested: a jump of (3, 4) adds 5 pixels,
  // and the labels follow.
  Pump(5000);
  ASSERT_TRUE(MoveCursor(503, 304));
  EXPECT_TRUE(WaitUntil([&] { return Stored("MouseMove") == 8005; })) << Stored("MouseMove");
  EXPECT_TRUE(app.WaitText(IDC_CURSOR_POS, "当前鼠标的位置:503,304")) << app.Text(IDC_CURSOR_POS);
  Pump(1500);
  EXPECT_EQ(Stored("MouseMove"), 8005u);

  // The same day goes on from the seeded figures.
  ASSERT_TRUE(start(t.wYear, 300, 300));
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   5次")) << app.Text(IDC_LEFT_CLICKS);
  EXPECT_TRUE(runTimeIs("软件已运行:25时1分")) << app.Text(IDC_RUN_TIME);
  ASSERT_TRUE(MoveCursor(303, 304));
  EXPECT_TRUE(WaitUntil([&] { return Stored("MouseMove") == 7565; })) << Stored("MouseMove");
  // The same day's figures: a clear asks, No keeps them, Yes zeroes them, and an exit at once does not bring them back.
  ASSERT_TRUE(app.Command(ID_CLEAR_STATS).Answer(IDNO));
  Pump(300);
  EXPECT_EQ(app.Text(IDC_LEFT_CLICKS), "左键点击:   5次");
  ASSERT_TRUE(app.Command(ID_CLEAR_STATS).Answer(IDYES));
  EXPECT_TRUE(runTimeIs("软件已运行:0时0分"));
  ASSERT_TRUE(app.Quit());
  EXPECT_EQ(Stored("MouseLeft") + Stored("KeyBoard") + Stored("MouseMove"), 0u);
}

TEST(DayFigures, AcrossMidnightTheNewDayStartsFromZeroSavedAtOnceAndTheChartMissesNothing) {
  ResetProfile();
  SeedDay(12, 7, 5, 0, 0, 0, 3, 0, 100);  // earlier that day
  WriteProfileDword("DateCur", "Year", 2026);
  InputSink sink;
  ASSERT_TRUE(sink.Take());
  App app;
  ASSERT_TRUE(app.StartUnder("2026-12-07 23:59:40")) << "the program did not start under faketime";
  const HWND main = app.Main();
  SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);  // the chart on screen, clear of the sink
  const HWND hour = GetDlgItem(GetDlgItem(main, IDC_TAB), IDD_PAGE_HOUR);
  auto tickHour = [&] { SendMessageA(hour, WM_TIMER, 1, 0); };
  auto clockDateIs = [&](const char* date) { return app.Text(IDC_CLOCK).rfind(date, 0) == 0; };
  ASSERT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   5次")) << "the same day and year continue";
  ASSERT_TRUE(WaitUntil([&] { return clockDateIs("当前:2026年12月07日"); })) << app.Text(IDC_CLOCK);

  // Before midnight: 180 pixels of travel, then 30 clicks and 10 key strokes after the chart's last tick.
  tickHour();
  ASSERT_TRUE(MoveCursor(sink.Center().x - 180, sink.Center().y));
  sink.Activate();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 30);
  TapKey('A', 10);
  app.ExpectCounters({35, 0, 0, 0, 13});
  EXPECT_NE(app.Text(IDC_MOVE_METRES), "鼠标运行:   0.00米");
  const std::string clock = app.Text(IDC_CLOCK), latest = "当前:2026年12月07日 23:59:58";
  ASSERT_TRUE(clock.size() == latest.size() && clock.rfind("当前:2026年12月07日 ", 0) == 0 && clock < latest)
      << "started too late to count before midnight: " << app.Text(IDC_CLOCK);

  // Midnight: the window's figures start from zero and are saved at once under the new date, before any new event.
  ASSERT_TRUE(WaitUntil([&] { return clockDateIs("当前:2026年12月08日"); }, 30000)) << app.Text(IDC_CLOCK);
  app.ExpectCounters({0, 0, 0, 0, 0});
  EXPECT_EQ(app.Text(IDC_MOVE_METRES), "鼠标运行:   0.00米");
  EXPECT_EQ(app.Text(IDC_RUN_TIME).rfind("软件已运行:0时0分", 0), 0u) << app.Text(IDC_RUN_TIME);
  EXPECT_TRUE(WaitUntil([] { return Stored("Day", "DateCur") == 8; }));
  EXPECT_EQ(Stored("Month", "DateCur"), 12u);
  EXPECT_EQ(Stored("Year", "DateCur"), 2026u);
  EXPECT_EQ(Stored("MouseLeft") + Stored("KeyBoard") + Stored("MouseMove"), 0u);
  EXPECT_LT(Stored("TimeCount"), 5u);

  // After midnight: 4 clicks and 4 key strokes, the new day's only figures.
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 4);
  TapKey('B', 4);
  app.ExpectCounters({4, 0, 0, 0, 4});
  EXPECT_TRUE(WaitUntil([] { return Stored("MouseLeft") == 4 && Stored("KeyBoard") == 4; }))
      << Stored("MouseLeft") << " " << Stored("KeyBoard");
  // One tick across midnight: the 40 events before it and the 8 after, 4 per pixel; the fall to zero is no activity.
  tickHour();
  EXPECT_TRUE(ChartBarsAre(GetDlgItem(hour, IDC_CHART), 8, {12, 0}));
}

TEST(Tray, IconTipAndBalloonOfEachStartAndTheIconAgainAfterAShellRestart) {
  const char first[] = "为了不影响您的视线，软件自动启动后最小化，如果不满意可关闭自动启动。请注意观察您的当前记录!!";
  const struct {
    DWORD stored;  // 0: the first run
    bool startsInTray;
    const char* balloon;
  } cases[] = {
      {0, false, first},
      {1, true, first},
      {2, false, "为了您每次开机全面统计，请开启软件自动启动。请注意观察您的当前记录!!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    ResetProfile();
    if (c.stored) WriteProfileDword("Auto", "AutoData", c.stored);
    FakeShell shell;
    ASSERT_TRUE(shell.Active()) << "the test shell does not receive the tray calls";
    App app;
    ASSERT_TRUE(app.Start());
    Pump(500);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()) == c.startsInTray; })) << "shown or not at start";
    EXPECT_EQ(Stored("AutoData", "Auto"), c.stored ? c.stored : 1u) << "the first run is recorded";
    if (!c.startsInTray) {
      EXPECT_FALSE(shell.IconExists()) << "an icon before the first minimise";
      PostMessageA(app.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()) && shell.IconExists(); }));
    EXPECT_EQ(shell.Balloon(), c.balloon);
    app.PostInput(tallivo::WM_INPUT_LBUTTON, 3);
    app.PostInput(tallivo::WM_INPUT_KEY, 2);
    EXPECT_TRUE(WaitUntil([&] { return shell.LastTip().rfind("当前统计:鼠标点击3次,键盘敲击2次,鼠标移动", 0) == 0; }))
        << shell.LastTip();
    // Hidden, the texts of each second stand still; after that rest the tip still follows the next event.
    const std::string runTime = app.Text(IDC_RUN_TIME);
    Pump(2000);
    EXPECT_EQ(app.Text(IDC_RUN_TIME), runTime) << "written while hidden";
    app.PostInput(tallivo::WM_INPUT_LBUTTON, 1);
    EXPECT_TRUE(WaitUntil([&] { return shell.LastTip().rfind("当前统计:鼠标点击4次,键盘敲击2次,鼠标移动", 0) == 0; }))
        << shell.LastTip();
    shell.Restart();
    PostMessageA(app.Main(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return shell.IconExists(); })) << "no icon in the restarted shell";
    ASSERT_TRUE(app.FromTray());
    // Shown, they show what came meanwhile.
    EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_RUN_TIME) != runTime; })) << runTime;
    app.ExpectCounters({4, 0, 0, 0, 2});
    ASSERT_TRUE(app.Quit());
    EXPECT_FALSE(shell.IconExists());
  }
}

}  // namespace
