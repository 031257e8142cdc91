// Breaks driven by the real input, with short settings in the registry: a micro-break after a minute of use for 10 s,
// the program in the tray, a history file of the version before the breaks.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fake_shell.h"
#include "harness.h"
#include "history_harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

// A history file as the version before the breaks made it, with one day of figures.
bool WriteVersionOneHistory(const std::string& day) {
  return HistorySql(
      "CREATE TABLE days(date TEXT NOT NULL PRIMARY KEY, left_clicks INTEGER NOT NULL DEFAULT 0,"
      " right_clicks INTEGER NOT NULL DEFAULT 0, middle_clicks INTEGER NOT NULL DEFAULT 0,"
      " wheel_steps INTEGER NOT NULL DEFAULT 0, key_strokes INTEGER NOT NULL DEFAULT 0,"
      " move_pixels INTEGER NOT NULL DEFAULT 0, move_metres REAL NOT NULL DEFAULT 0,"
      " active_seconds INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID;"
      "CREATE TABLE hours(date TEXT NOT NULL, hour INTEGER NOT NULL, left_clicks INTEGER NOT NULL DEFAULT 0,"
      " right_clicks INTEGER NOT NULL DEFAULT 0, middle_clicks INTEGER NOT NULL DEFAULT 0,"
      " wheel_steps INTEGER NOT NULL DEFAULT 0, key_strokes INTEGER NOT NULL DEFAULT 0,"
      " move_pixels INTEGER NOT NULL DEFAULT 0, PRIMARY KEY(date, hour)) WITHOUT ROWID;"
      "CREATE TABLE keys(date TEXT NOT NULL, vk INTEGER NOT NULL, strokes INTEGER NOT NULL DEFAULT 0,"
      " PRIMARY KEY(date, vk)) WITHOUT ROWID;"
      "CREATE TABLE programs(date TEXT NOT NULL, exe TEXT NOT NULL, clicks INTEGER NOT NULL DEFAULT 0,"
      " wheel_steps INTEGER NOT NULL DEFAULT 0, key_strokes INTEGER NOT NULL DEFAULT 0,"
      " PRIMARY KEY(date, exe)) WITHOUT ROWID;"
      "CREATE TABLE computer(id TEXT PRIMARY KEY, name TEXT NOT NULL, written_at TEXT NOT NULL);"
      "INSERT INTO computer VALUES('0123456789abcdef0123456789abcdef', '', '');"
      "INSERT INTO days(date, left_clicks, key_strokes, active_seconds) VALUES('" +
      day + "', 7, 11, 600); PRAGMA user_version=1;");
}

class Breaks : public ::testing::Test {
 protected:
  // The break window once it is shown, null while there is none.
  HWND BreakWindow() const {
    for (HWND w : TopLevelWindowsOf(m_app.Pid(), "休息一下"))
      if (IsWindowVisible(w)) return w;
    return nullptr;
  }
  // Clicks on the sink, `perSecond` a second in two lots, until the break window shows or `maxSeconds` pass; the
  // seconds it took, -1 when it did not come.
  double ClickUntilBreak(int perSecond, int maxSeconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(maxSeconds) * 1000) {
      Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, perSecond / 2);
      Pump(500);
      if (BreakWindow()) return (GetTickCount() - start) / 1000.0;
    }
    return -1;
  }
  int64_t Micro(const char* column) const {
    return HistoryInt(std::string("SELECT ") + column + " FROM breaks WHERE kind = 'micro' AND date = '" +
                      DateDaysAgo(0) + "'");
  }

  App m_app;
};

}  // namespace

// Steady light input brings the break after a minute of use, a pause of 10 s within it a minute after the pause;
// shown without taking the focus, it counts down while there is no input, input sets it back, and it closes by itself
// as taken. Heavy input brings it earlier; "推迟" brings it back (not due again), "跳过" ends it; the history, a
// version-1 file, keeps every day and gains the breaks; the tip's last line and the daily limit's balloon follow.
TEST_F(Breaks, ComeFromTheRealInputCountDownAndAreKept) {
  ResetProfile();
  ClearHistory();
  std::filesystem::create_directories(HistoryFolder());
  ASSERT_TRUE(WriteVersionOneHistory(DateDaysAgo(5)));
  for (auto [entry, value] : {std::pair("On", 1), {"MicroEvery", 1}, {"MicroLength", 10}, {"RestEvery", 600},
                              {"RestLength", 60}, {"DailyLimit", 1}})
    WriteProfileDword("Breaks", entry, static_cast<DWORD>(value));
  FakeShell shell;
  ASSERT_TRUE(shell.Active());
  ASSERT_TRUE(m_app.Start());
  ASSERT_TRUE(m_app.ToTray());
  InputSink sink;
  ASSERT_TRUE(sink.Take());
  EXPECT_TRUE(WaitUntil([&] { return EndsAfter(shell.LastTip(), "\n下次休息: 1 分钟后"); })) << shell.LastTip();

  // 30 s of use, 12 s of rest (10 whole seconds of no input at least), then the minute starts again.
  EXPECT_EQ(ClickUntilBreak(4, 30), -1) << "a break within the first 30 s";
  Pump(12000);
  const double light = ClickUntilBreak(4, 80);
  EXPECT_GE(light, 50) << "the pause did not count as the break, or the break came early";
  EXPECT_LE(light, 75);
  HWND window = BreakWindow();
  ASSERT_TRUE(window) << "no break under steady input";
  EXPECT_EQ(GetForegroundWindow(), sink.Hwnd()) << "the break window took the focus";
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(WindowText(GetDlgItem(window, IDC_BREAK_TITLE)), "小休息 10 秒");
  EXPECT_TRUE(WaitUntil([&] { return EndsAfter(shell.LastTip(), "\n正在休息"); }, 3000)) << shell.LastTip();
  EXPECT_NE(shell.LastInfo().find("达到每日上限"), std::string::npos) << "no balloon after a minute of use: "
                                                                      << shell.LastInfo();
  EXPECT_TRUE(WaitUntil([&] { return Micro("due") == 1; }, 3000)) << "the history did not get the due break";

  // It counts down while nobody touches anything; a click sets it back and asks to leave the keyboard and mouse.
  EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(window, IDC_BREAK_COUNTDOWN)) == "还剩 7 秒"; }, 6000))
      << WindowText(GetDlgItem(window, IDC_BREAK_COUNTDOWN));
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  EXPECT_TRUE(WaitUntil([&] { return NumberIn(WindowText(GetDlgItem(window, IDC_BREAK_COUNTDOWN))) >= 9; }, 3000))
      << "input did not set the countdown back";
  EXPECT_EQ(WindowText(GetDlgItem(window, IDC_BREAK_HINT)), "请离开键盘和鼠标");
  const DWORD quiet = GetTickCount();
  EXPECT_TRUE(WaitUntil([&] { return !BreakWindow(); }, 15000)) << "the break did not end by itself";
  EXPECT_GE(GetTickCount() - quiet, 9000u) << "ended before its 10 s without input";
  EXPECT_TRUE(WaitUntil([&] { return Micro("taken") == 1; }, 3000));

  // 20 events a second: a heavy minute counts one and a half.
  const double heavy = ClickUntilBreak(20, 70);
  EXPECT_GT(heavy, 30);
  EXPECT_LT(heavy, 50) << "heavy input did not bring the break earlier";
  ASSERT_TRUE(window = BreakWindow());
  PressButton(window, IDC_BREAK_POSTPONE);
  EXPECT_TRUE(WaitUntil([&] { return !BreakWindow(); }, 3000));
  // Postponed by five minutes, or by the whole interval of one.
  EXPECT_GT(ClickUntilBreak(20, 70), 30) << "the postponed break did not come back after another minute of use";
  ASSERT_TRUE(window = BreakWindow());
  PressButton(window, IDC_BREAK_SKIP);
  EXPECT_TRUE(WaitUntil([&] { return !BreakWindow(); }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return Micro("skipped") == 1; }, 3000));
  EXPECT_EQ(Micro("postponed"), 1);
  EXPECT_EQ(Micro("due"), 2) << "the postponed break counted as due again";
  EXPECT_EQ(Micro("taken"), 1);

  // The dialog: a wrong field gets its message and nothing changes; right ones are stored and taken at once.
  ASSERT_TRUE(m_app.FromTray());
  HWND dlg = m_app.Command(ID_BREAKS).FindDialog("休息提醒");
  ASSERT_TRUE(dlg);
  EXPECT_EQ(IsDlgButtonChecked(dlg, IDC_BREAKS_ON), BST_CHECKED);
  EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_MICRO_LENGTH)), "10");
  SetWindowTextW(GetDlgItem(dlg, IDC_MICRO_EVERY), L"30");
  SetWindowTextW(GetDlgItem(dlg, IDC_LIMIT_MINUTES), L"60");
  PressButton(dlg, IDOK);
  EXPECT_EQ(AnswerAppBox(m_app), "“请填入一个在0和59之间的整数。”");
  EXPECT_EQ(Stored("MicroEvery", "Breaks"), 1u) << "stored despite a wrong field";
  SetWindowTextW(GetDlgItem(dlg, IDC_LIMIT_MINUTES), L"30");
  SetWindowTextW(GetDlgItem(dlg, IDC_LIMIT_HOURS), L"2");
  CheckDlgButton(dlg, IDC_BREAKS_ON, BST_UNCHECKED);
  PressButton(dlg, IDOK);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
  EXPECT_EQ(std::vector<DWORD>({Stored("On", "Breaks"), Stored("MicroEvery", "Breaks"), Stored("DailyLimit", "Breaks")}),
            (std::vector<DWORD>{0, 30, 150}));
  ASSERT_TRUE(m_app.ToTray());
  EXPECT_TRUE(WaitUntil([&] { return shell.LastTip().find("休息") == std::string::npos; }, 3000)) << shell.LastTip();
  ASSERT_TRUE(m_app.FromTray());
  ASSERT_TRUE(m_app.Quit());
  EXPECT_EQ(HistoryInt("PRAGMA user_version"), 2);
  EXPECT_EQ(HistoryRow("SELECT left_clicks, key_strokes, active_seconds FROM days WHERE date = '" + DateDaysAgo(5) +
                       "'"),
            (std::vector<double>{7, 11, 600}))
      << "the older day was lost in the upgrade";
  EXPECT_GT(HistoryInt("SELECT left_clicks FROM days WHERE date = '" + DateDaysAgo(0) + "'"), 300);
}
