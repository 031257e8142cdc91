// The per-process panel, its docking beside the main window and the process picker, on the real program with a small
// window program as the chosen process.
#include <windows.h>
#include <commctrl.h>

#include <utility>

#include "base/messages.h"
#include "process_harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

constexpr char kTargetExe[] = "tallivo_target.exe";
constexpr POINT kTargetCenter = {875, 150};  // of its window at (740,20)-(1010,280)

// Where a window's top-left corner is; the top-right corner of another is
// where a panel docked against its right edge belongs.
std::pair<long, long> TopLeft(HWND w) { return {WindowRect(w).left, WindowRect(w).top}; }
std::pair<long, long> TopRight(HWND w) { return {WindowRect(w).right, WindowRect(w).top}; }

POINT CaptionPoint(HWND hwnd) {
  const RECT r = WindowRect(hwnd);
  return {r.left + 60, r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
}

// Drags with the real pointer, in steps, from `from` by (dx, dy).
void Drag(POINT from, int dx, int dy, int steps) {
  PointAt(from);
  SendInputs({MouseAt(MOUSEEVENTF_LEFTDOWN, from)});
  Pump(150);
  POINT p = from;
  for (int i = 1; i <= steps; ++i) PointAt(p = {from.x + dx * i / steps, from.y + dy * i / steps}), Pump(40);
  SendInputs({MouseAt(MOUSEEVENTF_LEFTUP, p)});
  Pump(250);
}

class ProcessPanel : public SharedApp<ProcessPanel> {
 public:
  static void BeforeStart() { MoveCursor(700, 600); }

 protected:
  static void ShowPanel() {
    s_app->Command(ID_PROCESS_STATS);
    ASSERT_TRUE(WaitUntil([] { return IsWindowVisible(ProcessPanelWindow()) != FALSE; }));
    Pump(100);
  }
};

TEST_F(ProcessPanel, DockedPanelGoesWithTheMainWindowUntilHiddenOrPulledAway) {
  ASSERT_TRUE(WaitUntil([] { return ProcessPanelWindow() && ProcessPickerWindow(); }));
  HWND panel = ProcessPanelWindow(), main = s_app->Main();
  EXPECT_FALSE(IsWindowVisible(panel));
  SetWindowPos(main, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowPanel();
  EXPECT_EQ(TopLeft(panel), TopRight(main));

  // Carried when the main window is dragged: flush and level.
  Drag(CaptionPoint(main), 120, 0, 6);
  ASSERT_EQ(TopLeft(main), std::make_pair(120L, 0L)) << "the main window did not move";
  EXPECT_EQ(TopLeft(panel), TopRight(main));

  // Esc hides only the panel; hidden, it stays behind, and comes back flush.
  ASSERT_TRUE(BringToFront(panel));
  TapKey(VK_ESCAPE, 1);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }));
  EXPECT_TRUE(IsWindowVisible(main));
  const auto hidden = TopLeft(panel);
  Drag(CaptionPoint(main), -80, 0, 4);
  EXPECT_EQ(TopLeft(panel), hidden);
  ShowPanel();
  EXPECT_EQ(TopLeft(panel), TopRight(main));

  // Pulled 150 pixels away it comes free and stays where dropped; dropped
  // near the main window's right edge, it snaps flush against it again.
  const auto docked = TopLeft(panel);
  Drag(CaptionPoint(panel), 150, 0, 5);
  EXPECT_EQ(TopLeft(panel), std::make_pair(docked.first + 150, docked.second));
  const auto free = TopLeft(panel);
  Drag(CaptionPoint(main), 0, 40, 2);
  EXPECT_EQ(TopLeft(panel), free);
  SetWindowPos(main, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Drag(CaptionPoint(panel), WindowRect(main).right + 10 - WindowRect(panel).left, -WindowRect(panel).top, 6);
  EXPECT_EQ(TopLeft(panel), TopRight(main));
}

TEST_F(ProcessPanel, CountsOnlyInputToTheChosenProcessUntilCleared) {
  // A program started now: the hidden picker takes no snapshots, and lists it the moment it is opened.
  TargetApp targetApp(740, 20, 270, 260);
  const HWND target = targetApp.Window();
  ASSERT_TRUE(target);
  ASSERT_FALSE(IsWindowVisible(ProcessPickerWindow()));
  EXPECT_LT(PickerRow(*s_app, kTargetExe), 0);

  ASSERT_TRUE(ChooseProcess(*s_app, kTargetExe));
  EXPECT_TRUE(PanelShows({}));  // the double click in the picker is not the program's
  Clicks(3, 2, 1, &kTargetCenter);
  WheelAt(kTargetCenter, 120, 2);
  ASSERT_TRUE(BringToFront(target));
  TapKey('T', 4);
  ASSERT_TRUE(PanelShows({3, 2, 1, 2, 4}));

  // Elsewhere: the day's figures count, the panel does not.
  auto dayTotal = [] { return NumberIn(s_app->Text(IDC_TOTAL_CLICKS)) + NumberIn(s_app->Text(IDC_KEY_STROKES)); };
  const uint32_t before = dayTotal();
  InputSink sink({560, 470, 1000, 740});
  ClickAt(sink.Center(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 5);
  WheelAt(sink.Center(), 120, 1);
  sink.Activate();
  TapKey('S', 3);
  EXPECT_TRUE(WaitUntil([&] { return dayTotal() >= before + 9; }, 8000)) << dayTotal();
  Pump(300);
  EXPECT_TRUE(PanelShows({3, 2, 1, 2, 4}));

  // Clearing asks; Yes zeroes the panel's counts and no others.
  const std::string dayLeft = s_app->Text(IDC_LEFT_CLICKS);
  PostMessageA(ProcessPanelWindow(), WM_COMMAND, ID_PROCESS_CLEAR, 0);
  ASSERT_TRUE(s_app->Answer(IDYES));
  EXPECT_TRUE(PanelShows({}));
  EXPECT_EQ(s_app->Text(IDC_LEFT_CLICKS), dayLeft);
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  EXPECT_TRUE(PanelShows({1, 0, 0, 0, 0}));

  // A new choice starts from nothing: events of the previous one that the program has not counted yet when the choice
  // comes are not the new one's. (Its thread held still, so that they are all still waiting.)
  HANDLE gui = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(s_app->Main(), nullptr));
  ASSERT_TRUE(gui && SuspendThread(gui) != static_cast<DWORD>(-1));
  for (int i = 0; i < 200; ++i) PostMessageA(s_app->Main(), tallivo::WM_PROC_LBUTTON, 0, 0);
  SendNotifyMessageA(s_app->Main(), tallivo::WM_PROC_SELECT, GetWindowThreadProcessId(target, nullptr), 0);
  ResumeThread(gui);
  CloseHandle(gui);
  Pump(500);
  EXPECT_TRUE(PanelShows({}));
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  EXPECT_TRUE(PanelShows({2, 0, 0, 0, 0}));
}

}  // namespace
