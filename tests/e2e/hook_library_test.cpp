// The hook libraries on their own, loaded into the test: entry points by
// ordinal, harmless repeated starts and stops, one posted message per
// counted event, and the per-process library's choice of thread.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "harness.h"
#include "main/messages.h"

using namespace e2e;

namespace {

std::map<UINT, int> g_received;

LRESULT CALLBACK CountProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_USER + 100 && msg <= WM_USER + 130) return ++g_received[msg], 0;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

using StopFn = void(__cdecl*)();
using StartFn = void(__cdecl*)(HWND);
using StartTaskFn = void(__cdecl*)(HWND, DWORD);

template <typename T>
T Ordinal(HMODULE m, int n) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(m, MAKEINTRESOURCEA(n))));
}

class HookLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    g_received.clear();
    HMODULE hook = LoadLibraryA((BinDir() + "\\TallivoHook.dll").c_str());
    HMODULE task = LoadLibraryA((BinDir() + "\\TallivoTaskHook.dll").c_str());
    ASSERT_TRUE(hook && task);
    stop = Ordinal<StopFn>(hook, 1);
    start = Ordinal<StartFn>(hook, 2);
    stopTask = Ordinal<StopFn>(task, 1);
    startTask = Ordinal<StartTaskFn>(task, 2);
    ASSERT_TRUE(stop && start && stopTask && startTask);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TallivoTestCounter";
    RegisterClassA(&wc);
    target = CreateWindowA(wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    sink = std::make_unique<InputSink>(RECT{560, 420, 1000, 740});
    ASSERT_TRUE(MoveCursor(sink->Center().x, sink->Center().y));
  }
  void TearDown() override {
    if (stop) stop();
    if (stopTask) stopTask();
    sink.reset();
    DestroyWindow(target);
  }
  // Waits until msg has come n times, then a little longer for any extra.
  static int Settled(UINT msg, int n) {
    WaitUntil([&] { return g_received[msg] >= n; });
    Pump(300);
    return g_received[msg];
  }
  StopFn stop = nullptr, stopTask = nullptr;
  StartFn start = nullptr;
  StartTaskFn startTask = nullptr;
  HWND target = nullptr;
  std::unique_ptr<InputSink> sink;
};

TEST_F(HookLibrary, GlobalHookPostsOneMessagePerEventUntilStopped) {
  stop();  // stops without a start, twice, are harmless
  stop();
  start(target);
  start(target);  // a second start must not double the counts
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 2);
  Click(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
  Wheel(240, 1);  // one report of two notches: two steps
  // Other buttons and the horizontal wheel are not counted.
  SendInputs({MouseInput(MOUSEEVENTF_XDOWN, XBUTTON1), MouseInput(MOUSEEVENTF_XUP, XBUTTON1),
              MouseInput(MOUSEEVENTF_HWHEEL, 120)});
  sink->Activate();
  TapKey('Q', 2);
  EXPECT_EQ(Settled(tallivo::WM_INPUT_KEY, 2), 2);
  EXPECT_EQ(g_received, (std::map<UINT, int>{{tallivo::WM_INPUT_LBUTTON, 3}, {tallivo::WM_INPUT_RBUTTON, 2},
                                             {tallivo::WM_INPUT_MBUTTON, 1}, {tallivo::WM_INPUT_WHEEL, 2},
                                             {tallivo::WM_INPUT_KEY, 2}}));
  stop();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 5);
  TapKey('Q', 1);
  Pump(300);
  EXPECT_EQ(g_received[tallivo::WM_INPUT_LBUTTON], 3);
  EXPECT_EQ(g_received[tallivo::WM_INPUT_KEY], 2);
}

TEST_F(HookLibrary, TaskHookCountsOnlyInputToTheChosenThreadsWindows) {
  // The other thread: the window of a small program top left.
  std::string cmd = "\"" + BinDir() + "\\tallivo_target.exe\" 40 420 460 320";
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(pi.hThread);
  struct Ends {
    HANDLE h;
    ~Ends() { TerminateProcess(h, 0), WaitForSingleObject(h, 5000), CloseHandle(h); }
  } ends{pi.hProcess};
  HWND other = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (other = FindWindowA("TallivoTestTarget", nullptr)) != nullptr; }, 10000));
  const POINT there = {270, 580}, mine = sink->Center();

  // Thread 0 counts nothing at all.
  startTask(target, 0);
  ClickAt(mine, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  TapKey('W', 2);
  Pump(300);
  EXPECT_TRUE(g_received.empty());
  stopTask();

  // This thread (the sink's): its input counts, the other window's not.
  startTask(target, GetCurrentThreadId());
  ClickAt(mine, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  ClickAt(mine, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
  ClickAt(mine, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
  WheelAt(mine, 240, 1);
  WheelAt(there, 60, 1);  // half a notch there and half here make no step
  WheelAt(mine, 60, 1);
  sink->Activate();
  TapKey('R', 3);
  ASSERT_EQ(Settled(tallivo::WM_PROC_KEY, 3), 3);
  ClickAt(there, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 4);
  WheelAt(there, 120, 3);
  SetForegroundWindow(other);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }));
  TapKey('R', 2);  // keys while the other window is in front
  Pump(400);
  EXPECT_EQ(g_received, (std::map<UINT, int>{{tallivo::WM_PROC_LBUTTON, 2}, {tallivo::WM_PROC_RBUTTON, 1},
                                             {tallivo::WM_PROC_MBUTTON, 1}, {tallivo::WM_PROC_WHEEL, 2},
                                             {tallivo::WM_PROC_KEY, 3}}));

  // Started again for the other thread: the roles swap.
  stopTask();
  g_received.clear();
  startTask(target, GetWindowThreadProcessId(other, nullptr));
  ClickAt(mine, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  ClickAt(there, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  EXPECT_EQ(Settled(tallivo::WM_PROC_LBUTTON, 1), 1);
}

}  // namespace
