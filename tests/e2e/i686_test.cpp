// The 32-bit build in one run: the records it hands the system in their 32-bit layout (the tray record, the process
// entries of the picker), its two hook libraries, the seeded day and its history, and the main window laid out as the
// x86_64 build lays it out. Registered in the i686 tree only; the x86_64 program it is compared with comes from the
// win64 tree.

#include <array>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "base/messages.h"
#include "fake_shell.h"
#include "history_harness.h"
#include "process_harness.h"

using namespace e2e;

namespace {

using Box = std::array<long, 4>;  // left, top, right, bottom

// The main window's size and each control in it (the chart pages' too, shown or not), placed relative to its client
// area. Controls sharing an id (the group boxes) are told apart by their order.
std::map<std::string, Box> LayoutOf(HWND main) {
  RECT w = {}, c = {};
  GetWindowRect(main, &w);
  GetClientRect(main, &c);
  std::map<std::string, Box> boxes = {{"window", {0, 0, w.right - w.left, w.bottom - w.top}},
                                      {"client", {c.left, c.top, c.right, c.bottom}}};
  std::map<std::string, int> seen;
  POINT o = {0, 0};
  ClientToScreen(main, &o);
  const std::function<void(HWND)> add = [&](HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char cls[64] = {};
      GetClassNameA(child, cls, sizeof cls);
      const std::string key = std::to_string(GetDlgCtrlID(child)) + " " + cls;
      const RECT r = WindowRect(child);
      boxes[key + " #" + std::to_string(seen[key]++)] = {r.left - o.x, r.top - o.y, r.right - o.x, r.bottom - o.y};
      add(child);
    }
  };
  add(main);
  return boxes;
}

TEST(I686Build, CountsRemembersTheDayTraysListsProcessesAndLaysOutAsTheX64Build) {
  ASSERT_EQ(sizeof(void*), 4u) << "a case of the i686 tree";
  // The x86_64 program first, on an empty profile as the 32-bit one gets.
  const std::string x64Dir = BinDir() + "\\..\\..\\win64\\bin";
  ResetProfile();
  App x64;
  ASSERT_TRUE(x64.Start("..\\..\\win64\\bin\\Tallivo.exe", 20000, x64Dir))
      << "no x86_64 build to compare with in " << x64Dir;
  Pump(500);
  const std::map<std::string, Box> x64Layout = LayoutOf(x64.Main());
  x64.Command(IDCANCEL);
  ASSERT_TRUE(x64.WaitExit(10000));

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
  app.ExpectCounters({50, 40, 30, 20, 10});

  EXPECT_EQ(LayoutOf(app.Main()), x64Layout);

  // Real input through the 32-bit TallivoHook.dll.
  InputSink sink;
  ASSERT_TRUE(sink.Take());
  Clicks(2, 1, 1);
  Wheel(-120, 3);
  TapKey('Q', 4);
  app.ExpectCounters({52, 41, 31, 23, 14});
  // The 32-bit build keeps the history as the 64-bit one does.
  const std::string day = "date='" + DateDaysAgo(0) + "'";
  EXPECT_TRUE(WaitUntil([&] { return HistoryInt("SELECT key_strokes FROM days WHERE " + day) == 4; }, 5000));
  EXPECT_EQ(HistoryInt("SELECT strokes FROM keys WHERE vk=81 AND " + day), 4);
  EXPECT_EQ(HistoryInt("SELECT clicks FROM programs WHERE exe='tallivo_e2e.exe' AND " + day), 4);

  // To the tray: the shell takes the 936-byte wide record with its balloon.
  ASSERT_TRUE(app.ToTray());
  ASSERT_TRUE(WaitUntil([&] { return shell.IconExists(); }));
  EXPECT_EQ(shell.Balloon(),
            "为了不影响您的视线，软件自动启动后最小化，如果不满意可关闭自动启动。请注意观察您的当前记录!!");
  EXPECT_TRUE(WaitUntil([&] { return shell.LastTip().rfind("当前统计:鼠标点击147次,键盘敲击14次,鼠标移动", 0) == 0; }))
      << shell.LastTip();
  ASSERT_TRUE(app.FromTray());

  // A 32-bit window program chosen in the picker, counted through the 32-bit TallivoTaskHook.dll.
  TargetApp target(740, 20, 270, 260);
  ASSERT_TRUE(target.Window());
  // The picker lists the processes as it opens.
  ASSERT_TRUE(ChooseProcess(app, "tallivo_target.exe")) << "not listed:\n" << PickerNames(app);
  const POINT c = {875, 150};
  Clicks(3, 1, 0, &c);
  WheelAt(c, 120, 1);
  ASSERT_TRUE(BringToFront(target.Window()));
  TapKey('T', 2);
  EXPECT_TRUE(PanelShows({3, 1, 0, 1, 2}));

  // A clean exit takes the icon away (what it keeps: the ExitPaths group).
  ASSERT_TRUE(app.Quit());
  EXPECT_FALSE(shell.IconExists());
}

}  // namespace
