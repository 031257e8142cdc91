// The day's figures across restarts, the clear command, the tray icon and
// window visibility, the time displays and the status bar.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "fake_shell.h"
#include "harness.h"
#include "main/messages.h"
#include "res/resource.h"
#include "stats/stats_text.h"
#include "stats/time_text.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

DWORD Stored(const char* section, const char* entry) {
  DWORD v = 0xDEADBEEF;
  ReadProfileDword(section, entry, &v);
  return v;
}

void PostInput(HWND w, unsigned msg, int times) {
  for (int i = 0; i < times; ++i) PostMessageA(w, msg, 0, 0);
}

std::string StatusText(const App& app, int part) {
  HWND bar = GetDlgItem(app.Main(), IDC_STATUS_BAR);
  char buf[256] = {};
  DWORD_PTR r = 0;
  SendMessageTimeoutA(bar, SB_GETTEXTLENGTHA, part, 0, SMTO_ABORTIFHUNG, 2000, &r);
  if (LOWORD(r) == 0) return std::string();
  // SB_GETTEXT writes into the caller's buffer, which must live in the
  // program's own address space.
  HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, app.Pid());
  if (!proc) return "<no access>";
  void* remote = VirtualAllocEx(proc, nullptr, sizeof buf, MEM_COMMIT, PAGE_READWRITE);
  SendMessageTimeoutA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 2000, &r);
  SIZE_T got = 0;
  ReadProcessMemory(proc, remote, buf, sizeof buf - 1, &got);
  VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
  CloseHandle(proc);
  return std::string(buf);
}

bool WaitStatus(const App& app, int part, const std::string& expected) {
  return WaitUntil([&] { return StatusText(app, part) == expected; }, 3000);
}

// ---------------------------------------------------------------- persistence

TEST(DayFigures, FirstRunStartsAtZeroAndSavesNineEntriesWithinASecond) {
  ResetProfile();
  App app;
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次"));
  const SYSTEMTIME today = Today();
  ASSERT_TRUE(WaitUntil([] { return Stored("DataSetting", "TimeCount") != 0xDEADBEEF; }, 3000));
  EXPECT_EQ(Stored("DateCur", "Month"), today.wMonth);
  EXPECT_EQ(Stored("DateCur", "Day"), today.wDay);
  for (const char* e : {"MouseLeft", "MouseRight", "MouseMiddle", "MouseRoll", "KeyBoard", "MouseMove"}) {
    EXPECT_EQ(Stored("DataSetting", e), 0u) << e;
  }
  EXPECT_GE(Stored("DataSetting", "TimeCount"), 1u);
}

TEST(DayFigures, SameDayRestartContinuesEveryFigure) {
  ResetProfile();
  const SYSTEMTIME t = Today();
  SeedDay(t.wMonth, t.wDay, 5, 6, 7, 8, 9, 7560, 3600 * 25 + 60);
  ASSERT_TRUE(MoveCursor(300, 300));
  FakeShell shell;
  App app;
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   5次"));
  EXPECT_TRUE(app.WaitText(IDC_RIGHT_CLICKS, "右键点击:   6次"));
  EXPECT_TRUE(app.WaitText(IDC_MIDDLE_CLICKS, "中键点击:   7次"));
  EXPECT_TRUE(app.WaitText(IDC_WHEEL_STEPS, "中键滚动:   8次"));
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 9次"));
  EXPECT_TRUE(app.WaitText(IDC_TOTAL_CLICKS, "鼠标共点击: 26次"));
  // Run time goes on from the stored seconds (25 h: no wrap at 24).
  EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_RUN_TIME).rfind("软件已运行:25时1分", 0) == 0; }, 3000))
      << app.Text(IDC_RUN_TIME);
  // The metre figure is recomputed only when the pointer moves.
  EXPECT_EQ(app.Text(IDC_MOVE_METRES), "鼠标运行:   0米");
  EXPECT_TRUE(WaitStatus(app, 0, "今天你围着鸟巢奔跑了0.00圈~~")) << StatusText(app, 0);
  ASSERT_TRUE(MoveCursor(303, 304));  // (3, 4): 5 more pixels
  const float ppm = MeasurePixelsPerMetre();
  EXPECT_TRUE(app.WaitText(IDC_MOVE_METRES, tallivo::MetresLabel(static_cast<float>(7565.0 / ppm))))
      << app.Text(IDC_MOVE_METRES);
  EXPECT_TRUE(WaitUntil([] { return Stored("DataSetting", "MouseMove") == 7565u; }, 3000))
      << Stored("DataSetting", "MouseMove");
}

TEST(DayFigures, StoredFiguresOfAnotherDayAreDiscarded) {
  ResetProfile();
  const SYSTEMTIME t = Today();
  // Same day of another month, and yesterday-like dates: never continued.
  SeedDay(t.wMonth % 12 + 1, t.wDay, 50, 60, 70, 80, 90, 1000, 500);
  App app;
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次"));
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 0次"));
  ASSERT_TRUE(WaitUntil([&] { return Stored("DateCur", "Month") == t.wMonth; }, 3000));
  // The save writes the entries one after another: wait for the later ones.
  EXPECT_TRUE(WaitUntil([] { return Stored("DataSetting", "MouseLeft") == 0u; }, 3000));
  EXPECT_TRUE(WaitUntil([] { return Stored("DataSetting", "MouseMove") == 0u; }, 3000))
      << Stored("DataSetting", "MouseMove");
  EXPECT_LE(Stored("DataSetting", "TimeCount"), 3u);
}

TEST(DayFigures, ClearAsksAndOnlyYesZeroes) {
  ResetProfile();
  const SYSTEMTIME t = Today();
  SeedDay(t.wMonth, t.wDay, 100, 2, 3, 4, 5, 800, 60);
  App app;
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   100次"));
  app.Command(ID_CLEAR_STATS);
  std::string question;
  ASSERT_TRUE(app.Answer(IDNO, &question));
  EXPECT_EQ(question, "是否全面清空,可以重新统计");
  Pump(300);
  EXPECT_EQ(app.Text(IDC_LEFT_CLICKS), "左键点击:   100次");
  app.Command(ID_CLEAR_STATS);
  ASSERT_TRUE(app.Answer(IDYES));
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次"));
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 0次"));
  EXPECT_TRUE(app.WaitText(IDC_TOTAL_CLICKS, "鼠标共点击: 0次"));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_RUN_TIME).rfind("软件已运行:0时0分", 0) == 0; }))
      << app.Text(IDC_RUN_TIME);
  EXPECT_TRUE(WaitUntil([] { return Stored("DataSetting", "MouseLeft") == 0u; }, 3000));
  // The save writes the entries one after another: wait for this one too.
  EXPECT_TRUE(WaitUntil([] { return Stored("DataSetting", "MouseMove") == 0u; }, 3000))
      << Stored("DataSetting", "MouseMove");
  // Cleared, then Exit at once: the cleared figures must not come back.
  app.Command(ID_EXIT);
  ASSERT_TRUE(app.Answer(IDYES));
  ASSERT_TRUE(app.WaitExit(10000));
  App again;
  ASSERT_TRUE(again.Start());
  EXPECT_TRUE(again.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次"));
}

// Every way out keeps every event counted before it, even those of the last
// second before the exit.
class ExitSaves : public ::testing::TestWithParam<int> {};

TEST_P(ExitSaves, RestartShowsEveryEventCountedBeforeTheExit) {
  ResetProfile();
  {
    App app;
    ASSERT_TRUE(app.Start());
    // Let the first save pass, then count right before leaving.
    ASSERT_TRUE(WaitUntil([] { return Stored("DataSetting", "MouseLeft") == 0u; }, 3000));
    PostInput(app.Main(), tallivo::WM_INPUT_LBUTTON, 41);
    PostInput(app.Main(), tallivo::WM_INPUT_KEY, 17);
    PostInput(app.Main(), tallivo::WM_INPUT_WHEEL, 3);
    switch (GetParam()) {
      case 0:  // the Exit command
        app.Command(ID_EXIT);
        ASSERT_TRUE(app.Answer(IDYES));
        break;
      case 1:  // Esc
        PostMessageA(app.Main(), WM_COMMAND, IDCANCEL, 0);
        break;
      case 2:  // Enter
        PostMessageA(app.Main(), WM_COMMAND, IDOK, 0);
        break;
      case 3:  // the close button
        PostMessageA(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(app.Answer(IDYES));
        break;
    }
    ASSERT_TRUE(app.WaitExit(10000));
  }
  EXPECT_EQ(Stored("DataSetting", "MouseLeft"), 41u);
  EXPECT_EQ(Stored("DataSetting", "KeyBoard"), 17u);
  App app;
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   41次"));
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 17次"));
  EXPECT_TRUE(app.WaitText(IDC_WHEEL_STEPS, "中键滚动:   3次"));
}

INSTANTIATE_TEST_SUITE_P(AllWaysOut, ExitSaves, ::testing::Values(0, 1, 2, 3));

TEST(DayFigures, SessionEndSavesAtOnce) {
  ResetProfile();
  App app;
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(WaitUntil([] { return Stored("DataSetting", "MouseLeft") == 0u; }, 3000));
  PostInput(app.Main(), tallivo::WM_INPUT_RBUTTON, 12);
  DWORD_PTR r = 0;
  // Sent after the posted events are handled; the answer allows the end.
  ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_RIGHT_CLICKS) == "右键点击:   12次"; }));
  ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &r));
  EXPECT_EQ(r, 1u);
  EXPECT_EQ(Stored("DataSetting", "MouseRight"), 12u);
  PostInput(app.Main(), tallivo::WM_INPUT_RBUTTON, 1);
  ASSERT_TRUE(WaitUntil([&] { return app.Text(IDC_RIGHT_CLICKS) == "右键点击:   13次"; }));
  SendMessageTimeoutA(app.Main(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &r);
  EXPECT_EQ(Stored("DataSetting", "MouseRight"), 13u);
}

// ------------------------------------------------------ time and status bar

TEST(TimeDisplays, ClockRunTimeUptimeLapsAndMilestone) {
  ResetProfile();
  const SYSTEMTIME t = Today();
  SeedDay(t.wMonth, t.wDay, 5000, 0, 0, 0, 0, 400 * 3780, 0);
  App app;
  ASSERT_TRUE(app.Start());
  // Until the first 1 s tick the templates show; then the formats.
  EXPECT_TRUE(WaitUntil([&] { return app.Text(IDC_RUN_TIME).rfind("软件已运行:0时0分", 0) == 0 &&
                                     app.Text(IDC_RUN_TIME) != "软件已运行:0时0分0秒"; },
                        3000))
      << app.Text(IDC_RUN_TIME);
  char date[64];
  snprintf(date, sizeof date, "当前:%04d年%02d月%02d日 ", t.wYear, t.wMonth, t.wDay);
  const std::string clock = app.Text(IDC_CLOCK);
  EXPECT_EQ(clock.rfind(date, 0), 0u) << clock;
  EXPECT_EQ(clock.size(), std::string(date).size() + 8) << clock;  // HH:MM:SS
  const std::string up = app.Text(IDC_UPTIME);
  EXPECT_EQ(up, tallivo::UptimeText(GetTickCount() / 1000 * 1000)) << "(may differ by a second) " << up;
  // Status bar: 5000 clicks is the mouse; one more is the cat.
  EXPECT_TRUE(WaitStatus(app, 1, "当前你已经点击死一只老鼠！")) << StatusText(app, 1);
  PostMessageA(app.Main(), tallivo::WM_INPUT_MBUTTON, 0, 0);
  EXPECT_TRUE(WaitStatus(app, 1, "当前你已经点击死一只猫！")) << StatusText(app, 1);
  // Key strokes are not clicks.
  PostInput(app.Main(), tallivo::WM_INPUT_KEY, 20000);
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 20000次", 20000));
  EXPECT_EQ(StatusText(app, 1), "当前你已经点击死一只猫！");
  // Laps show once the pointer moves: 400 m at 3780 px/m is one lap.
  ASSERT_TRUE(MoveCursor(100, 100));
  ASSERT_TRUE(MoveCursor(100, 101));
  const float ppm = MeasurePixelsPerMetre();
  ASSERT_TRUE(WaitUntil([] { return Stored("DataSetting", "MouseMove") > 400u * 3780u; }, 3000));
  const DWORD pixels = Stored("DataSetting", "MouseMove");
  const std::string laps = tallivo::LapsText(static_cast<float>(static_cast<double>(pixels) / ppm));
  EXPECT_TRUE(WaitStatus(app, 0, laps)) << StatusText(app, 0) << " expected " << laps;
}

// ------------------------------------------------------------------- tray

class Tray : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProfile();
    shell = std::make_unique<FakeShell>();
    ASSERT_TRUE(shell->Active()) << "the test shell does not receive the tray calls";
  }
  void TearDown() override {
    app.Kill();
    shell.reset();
  }
  std::vector<TrayCall> Adds() const {
    std::vector<TrayCall> adds;
    for (const auto& c : shell->Calls()) {
      if (c.message == NIM_ADD) adds.push_back(c);
    }
    return adds;
  }
  void Minimise() { PostMessageA(app.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }
  std::unique_ptr<FakeShell> shell;
  App app;
};

TEST_F(Tray, FirstRunStaysVisibleRecordsFlagAndFirstMinimiseShowsBalloon) {
  ASSERT_TRUE(app.Start());
  Pump(500);
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  DWORD flag = 0;
  EXPECT_TRUE(ReadProfileDword("Auto", "AutoData", &flag));
  EXPECT_EQ(flag, 1u);
  EXPECT_TRUE(Adds().empty());  // no icon before the first minimise
  for (const auto& c : shell->Calls()) EXPECT_FALSE(c.result) << "modify before the icon exists";

  Minimise();
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()); }));
  ASSERT_TRUE(WaitUntil([&] { return !Adds().empty(); }));
  const TrayCall add = Adds().front();
  EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
  EXPECT_EQ(add.callback, tallivo::WM_TRAY_NOTIFY);
  EXPECT_EQ(add.id, 128u);
  EXPECT_EQ(add.infoTitle, "温馨提示");
  EXPECT_EQ(add.info, "为了不影响您的视线，软件自动启动后最小化，如果不满意可关闭自动启动。请注意观察您的当前记录!!");
  EXPECT_EQ(add.infoFlags, static_cast<DWORD>(NIIF_INFO));
  EXPECT_TRUE(IsIconic(app.Main()));

  // The tip follows the figures within 100 ms.
  PostInput(app.Main(), tallivo::WM_INPUT_LBUTTON, 3);
  PostInput(app.Main(), tallivo::WM_INPUT_KEY, 2);
  EXPECT_TRUE(WaitUntil([&] { return shell->LastTip() == "当前统计:鼠标点击3次,键盘敲击2次,鼠标移动0.00米"; }))
      << shell->LastTip();

  // Double click brings it back; a second minimise shows no balloon.
  PostMessageA(app.Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Main()) && !IsIconic(app.Main()); }));
  shell->Clear();
  Minimise();
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()); }));
  Pump(300);
  for (const auto& c : shell->Calls()) EXPECT_FALSE(c.flags & NIF_INFO) << "balloon on a later minimise";

  // A left click or a right button press on the icon does nothing.
  PostMessageA(app.Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_LBUTTONDOWN);
  PostMessageA(app.Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_LBUTTONUP);
  PostMessageA(app.Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_RBUTTONDOWN);
  Pump(300);
  EXPECT_FALSE(IsWindowVisible(app.Main()));

  // The shell restarted: the icon comes back.
  shell->Clear();
  const UINT created = RegisterWindowMessageA("TaskbarCreated");
  PostMessageA(app.Main(), created, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !Adds().empty(); }));

  // Exit removes it.
  app.Command(ID_EXIT);
  ASSERT_TRUE(app.Answer(IDYES));
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_FALSE(shell->IconExists());
}

TEST_F(Tray, LaterStartGoesToTrayWithFirstBalloonAndMenuShowsWindow) {
  WriteProfileDword("Auto", "AutoData", 1);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()); }));
  ASSERT_TRUE(WaitUntil([&] { return !Adds().empty(); }));
  EXPECT_EQ(Adds().front().info,
            "为了不影响您的视线，软件自动启动后最小化，如果不满意可关闭自动启动。请注意观察您的当前记录!!");
  DWORD flag = 0;
  ReadProfileDword("Auto", "AutoData", &flag);
  EXPECT_EQ(flag, 1u);
  // Right click: the tray menu; its "显示窗口(&S)" brings the window back.
  ASSERT_TRUE(MoveCursor(900, 600));
  PostMessageA(app.Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_RBUTTONUP);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
  }));
  TapKey('S', 1);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Main()) && !IsIconic(app.Main()); }));
}

TEST_F(Tray, StoredTwoShowsTheSecondBalloonText) {
  WriteProfileDword("Auto", "AutoData", 2);
  ASSERT_TRUE(app.Start());
  Pump(500);
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  Minimise();
  ASSERT_TRUE(WaitUntil([&] { return !Adds().empty(); }));
  EXPECT_EQ(Adds().front().info, "为了您每次开机全面统计，请开启软件自动启动。请注意观察您的当前记录!!");
  EXPECT_EQ(Adds().front().infoTitle, "温馨提示");
  // The show command from the menu works the same as a double click.
  app.Command(ID_SHOW_WINDOW);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Main()) && !IsIconic(app.Main()); }));
}

}  // namespace
