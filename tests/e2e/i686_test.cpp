// The 32-bit build in one run: the records it hands the system in their
// 32-bit layout (the tray record, the process entries of the picker), its
// two hook libraries, the day's figures across the exit, and the main window
// laid out as the x86_64 build lays it out. Registered in the i686 tree only;
// the x86_64 program it is compared with comes from the win64 tree.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <map>
#include <string>

#include "base/messages.h"
#include "fake_shell.h"
#include "harness.h"
#include "history_harness.h"
#include "process_harness.h"
#include "res/resource.h"
#include "stats/stats_text.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

using Box = std::array<long, 4>;  // left, top, right, bottom

struct LayoutWalk {
  POINT origin;
  std::map<std::string, Box>* boxes;
  std::map<std::string, int> seen;
};

BOOL CALLBACK AddControl(HWND hwnd, LPARAM lp) {
  auto* walk = reinterpret_cast<LayoutWalk*>(lp);
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  // Controls sharing an id (the group boxes) are told apart by their order.
  std::string key = std::to_string(GetDlgCtrlID(hwnd)) + " " + cls;
  key += " #" + std::to_string(walk->seen[key]++);
  RECT r = {};
  GetWindowRect(hwnd, &r);
  (*walk->boxes)[key] = {r.left - walk->origin.x, r.top - walk->origin.y, r.right - walk->origin.x,
                         r.bottom - walk->origin.y};
  return TRUE;
}

// The main window's size and every control in it (those of the chart pages
// too, shown or not), placed relative to its client area.
std::map<std::string, Box> LayoutOf(HWND main) {
  std::map<std::string, Box> boxes;
  RECT w = {}, c = {};
  GetWindowRect(main, &w);
  GetClientRect(main, &c);
  boxes["window"] = {0, 0, w.right - w.left, w.bottom - w.top};
  boxes["client"] = {c.left, c.top, c.right, c.bottom};
  LayoutWalk walk = {{0, 0}, &boxes, {}};
  ClientToScreen(main, &walk.origin);
  EnumChildWindows(main, AddControl, reinterpret_cast<LPARAM>(&walk));
  return boxes;
}

uint32_t NumberIn(const std::string& text) {
  const size_t i = text.find_first_of("0123456789");
  return i == std::string::npos ? 0 : static_cast<uint32_t>(strtoul(text.c_str() + i, nullptr, 10));
}

DWORD Stored(const char* entry) {
  DWORD v = 0xDEADBEEF;
  ReadProfileDword("DataSetting", entry, &v);
  return v;
}

struct Target {
  PROCESS_INFORMATION pi = {};
  ~Target() {
    if (pi.hProcess) TerminateProcess(pi.hProcess, 0), CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
  }
};

TEST(I686Build, CountsRemembersTheDayTraysListsProcessesAndLaysOutAsTheX64Build) {
  ASSERT_EQ(sizeof(void*), 4u) << "a case of the i686 tree";
  // The x86_64 program first, on an empty profile as the 32-bit one gets.
  const std::string x64Dir = BinDir() + "\\..\\..\\win64\\bin";
  ASSERT_NE(GetFileAttributesA((x64Dir + "\\Tallivo.exe").c_str()), INVALID_FILE_ATTRIBUTES)
      << "no x86_64 build to compare with in " << x64Dir;
  std::map<std::string, Box> x64Layout;
  {
    ResetProfile();
    App x64;
    ASSERT_TRUE(x64.Start("..\\..\\win64\\bin\\Tallivo.exe", 20000, x64Dir));
    Pump(500);
    x64Layout = LayoutOf(x64.Main());
    x64.Command(IDCANCEL);
    ASSERT_TRUE(x64.WaitExit(10000));
  }

  // The day's figures as an earlier run today left them; no history yet.
  ResetProfile();
  ClearHistory();
  const SYSTEMTIME t = Today();
  SeedDay(t.wMonth, t.wDay, 50, 40, 30, 20, 10, 0, 60);
  FakeShell shell;
  ASSERT_TRUE(shell.Active());
  App app;
  ASSERT_TRUE(app.Start());
  SetWindowPos(app.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const int counters[] = {IDC_LEFT_CLICKS, IDC_RIGHT_CLICKS, IDC_MIDDLE_CLICKS, IDC_WHEEL_STEPS, IDC_KEY_STROKES};
  const InputKind kinds[] = {InputKind::Left, InputKind::Right, InputKind::Middle, InputKind::Wheel, InputKind::Key};
  auto expectCounts = [&](std::array<uint32_t, 5> n) {
    for (int i = 0; i < 5; ++i) {
      const std::string want = tallivo::CounterLabel(kinds[i], n[i]);
      EXPECT_TRUE(app.WaitText(counters[i], want, 8000)) << app.Text(counters[i]) << ", want " << want;
    }
  };
  expectCounts({50, 40, 30, 20, 10});

  const std::map<std::string, Box> layout = LayoutOf(app.Main());
  for (const auto& [key, box] : x64Layout) {
    const auto it = layout.find(key);
    EXPECT_TRUE(it != layout.end() && it->second == box)
        << key << ": i686 " << (it == layout.end() ? "none" : testing::PrintToString(it->second)) << ", x86_64 "
        << testing::PrintToString(box);
  }
  EXPECT_EQ(layout.size(), x64Layout.size());

  // Real input through the 32-bit TallivoHook.dll.
  {
    InputSink sink({560, 420, 1000, 740});
    ASSERT_TRUE(MoveCursor(sink.Center().x, sink.Center().y));
    sink.Activate();
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
    Click(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
    Wheel(-120, 3);
    TapKey('Q', 4);
    expectCounts({52, 41, 31, 23, 14});
    // The 32-bit build keeps the history as the 64-bit one does.
    const std::string day = "date='" + TodayKey() + "'";
    EXPECT_TRUE(WaitUntil([&] { return HistoryInt("SELECT key_strokes FROM days WHERE " + day) == 4; }, 5000));
    EXPECT_EQ(HistoryInt("SELECT strokes FROM keys WHERE vk=81 AND " + day), 4);
    EXPECT_EQ(HistoryInt("SELECT clicks FROM programs WHERE exe='tallivo_e2e.exe' AND " + day), 4);
  }

  // To the tray: the shell takes the 488-byte record with its balloon.
  PostMessageA(app.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()) && shell.IconExists(); }));
  TrayCall add;
  for (const auto& call : shell.Calls())
    if (call.message == NIM_ADD) add = call;
  EXPECT_TRUE(add.flags & NIF_INFO);
  EXPECT_EQ(add.info, "为了不影响您的视线，软件自动启动后最小化，如果不满意可关闭自动启动。请注意观察您的当前记录!!");
  EXPECT_TRUE(WaitUntil([&] { return shell.LastTip().rfind("当前统计:鼠标点击147次,键盘敲击14次,鼠标移动", 0) == 0; }))
      << shell.LastTip();
  PostMessageA(app.Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(app.Main()) && !IsIconic(app.Main()); }));

  // A 32-bit window program chosen in the picker, counted through the
  // 32-bit TallivoTaskHook.dll.
  Target target;
  std::string cmd = "\"" + BinDir() + "\\tallivo_target.exe\" 740 20 270 260";
  STARTUPINFOA si = {sizeof si};
  ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &target.pi));
  HWND targetWindow = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (targetWindow = FindWindowA("TallivoTestTarget", nullptr)) != nullptr; }, 30000));
  app.Command(ID_PROCESS_STATS);
  ASSERT_TRUE(WaitUntil([] { return IsWindowVisible(ProcessPanelWindow()) != FALSE; }));
  // The picker lists the processes as it opens.
  ASSERT_TRUE(ChooseProcess(app.Pid(), "tallivo_target.exe"))
      << "not listed:\n"
      << RemoteList(GetDlgItem(ProcessPickerWindow(), IDC_PROCESS_LIST), app.Pid()).Names();
  const POINT c = {875, 150};
  ClickAt(c, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  ClickAt(c, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
  WheelAt(c, 120, 1);
  SetForegroundWindow(targetWindow);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == targetWindow; }));
  TapKey('T', 2);
  EXPECT_TRUE(PanelShows({3, 1, 0, 1, 2}));

  // A clean exit keeps the day's figures as shown last.
  Pump(300);
  std::array<uint32_t, 5> shown = {};
  for (int i = 0; i < 5; ++i) shown[i] = NumberIn(app.Text(counters[i]));
  app.Command(ID_EXIT);
  ASSERT_TRUE(app.Answer(IDYES));
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_EQ(app.ExitCode(), 0u);
  EXPECT_FALSE(shell.IconExists());
  const char* entries[] = {"MouseLeft", "MouseRight", "MouseMiddle", "MouseRoll", "KeyBoard"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Stored(entries[i]), shown[i]) << entries[i];
  EXPECT_EQ(HistoryInt("SELECT left_clicks FROM days WHERE date='" + TodayKey() + "'"), shown[0] - 50);
  EXPECT_GE(shown[0], 52u + 3u);
}

}  // namespace
