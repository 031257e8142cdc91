// The hook libraries on their own, loaded into the test: entry points by ordinal, harmless repeated starts and stops,
// the global library's events kept for the window (no message each), the per-process library's one posted message per
// event and its choice of thread.
#include <gtest/gtest.h>

#include <map>

#include "base/messages.h"
#include "hooks/hook_api.h"
#include "harness.h"

using namespace e2e;

namespace {

std::map<UINT, int> g_received;
// The wParam of each key stroke's message: its virtual-key code.
std::map<WPARAM, int> g_keyCodes;

LRESULT CALLBACK CountProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == tallivo::WM_INPUT_KEY || msg == tallivo::WM_PROC_KEY) ++g_keyCodes[wp];
  if (msg >= WM_USER + 100 && msg <= WM_USER + 130) return ++g_received[msg], 0;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

// An entry point of a library beside the test, of the given type (the libraries' calls are all __cdecl).
template <typename F>
F* Ordinal(const char* dll, int n) {
  HMODULE m = LoadLibraryA((BinDir() + "\\" + dll).c_str());
  return m ? reinterpret_cast<F*>(reinterpret_cast<void*>(GetProcAddress(m, MAKEINTRESOURCEA(n)))) : nullptr;
}

// Waits until msg has come n times, then a little longer for any extra.
int Settled(UINT msg, int n) {
  WaitUntil([&] { return g_received[msg] >= n; });
  Pump(300);
  return g_received[msg];
}

// The libraries' entry points, a window counting what they post and a window of the test taking the input, the pointer
// on it.
TEST(HookLibrary, GlobalHookKeepsEveryEventUntilStoppedTaskHookPostsOnlyForTheChosenThreadsWindows) {
  const auto stop = Ordinal<void()>("TallivoHook.dll", 1), stopTask = Ordinal<void()>("TallivoTaskHook.dll", 1);
  const auto start = Ordinal<void(HWND)>("TallivoHook.dll", 2);
  const auto startTask = Ordinal<void(HWND, DWORD)>("TallivoTaskHook.dll", 2);
  const auto take = Ordinal<DWORD(TallivoEvent*, DWORD)>("TallivoHook.dll", 8);
  const auto watch = Ordinal<DWORD()>("TallivoHook.dll", 5), seen = Ordinal<DWORD()>("TallivoHook.dll", 6);
  const HWND target = TestWindow("TallivoTestCounter", CountProc, 0, WS_POPUP, {0, 0, 10, 10});
  InputSink sink;
  ASSERT_TRUE(stop && start && stopTask && startTask && take && watch && seen && target && sink.Take());
  // What the global hook kept, by (kind, key code), and the foreground windows it saw.
  std::map<std::pair<int, int>, int> kept;
  std::map<ULONGLONG, int> foregrounds;
  auto takeAll = [&] {
    TallivoEvent e[64];
    for (DWORD n; (n = take(e, 64)) > 0;) {
      for (DWORD i = 0; i < n; ++i) {
        kept[{e[i].kind, e[i].code}] += static_cast<int>(e[i].count);
        foregrounds[e[i].foreground] += static_cast<int>(e[i].count);
      }
    }
  };
  // Stops without a start, twice, are harmless; a second start must not double the counts.
  stop();
  stop();
  start(target);
  start(target);
  sink.Activate();
  Clicks(3, 2, 1);
  Wheel(240, 1);  // one report of two notches: two steps
  // Other buttons and the horizontal wheel are not counted.
  SendInputs({MouseInput(MOUSEEVENTF_XDOWN, XBUTTON1), MouseInput(MOUSEEVENTF_XUP, XBUTTON1),
              MouseInput(MOUSEEVENTF_HWHEEL, 120)});
  TapKey('Q', 2);
  TapKey(VK_F5, 1);
  using namespace tallivo::input_block;
  WaitUntil([&] { return takeAll(), kept[{kKey, VK_F5}] == 1; });
  Pump(300);
  takeAll();
  EXPECT_EQ(kept, (std::map<std::pair<int, int>, int>{
                      {{kLeft, 0}, 3}, {{kRight, 0}, 2}, {{kMiddle, 0}, 1}, {{kWheel, 0}, 2}, {{kKey, 'Q'}, 2}, {{kKey, VK_F5}, 1}}));
  EXPECT_EQ(foregrounds, (std::map<ULONGLONG, int>{{reinterpret_cast<ULONGLONG>(GetForegroundWindow()), 11}}));
  // No message per event: one word at the first, whose foreground window was new.
  EXPECT_EQ(g_received, (std::map<UINT, int>{{tallivo::WM_INPUT_MOVING, 1}}));
  g_received.clear();

  // Pointer moves and events say nothing, until the window asks to be told of the next one: then one message, however
  // many follow, once per ask.
  auto moves = [&](int n) {
    for (int i = 0; i < n; ++i) SendInputs({MouseInput(MOUSEEVENTF_MOVE, 0, i % 2 ? -3 : 3)});
    Pump(300);
    return g_received[tallivo::WM_INPUT_MOVING];
  };
  const DWORD seenBefore = seen();
  EXPECT_EQ(moves(20), 0);
  EXPECT_EQ(seen() - seenBefore, 20u) << "moves the hook saw";
  watch();
  EXPECT_EQ(moves(20), 1);
  EXPECT_EQ(moves(20), 1);
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  EXPECT_EQ(moves(0), 1);
  watch();
  watch();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);  // a click after the ask
  EXPECT_EQ(moves(5), 2);
  g_received.clear();
  kept.clear();
  takeAll();
  EXPECT_EQ(kept, (std::map<std::pair<int, int>, int>{{{kLeft, 0}, 3}}));

  // Stopped, nothing more is kept.
  kept.clear();
  stop();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 5);
  TapKey('Q', 1);
  Pump(300);
  takeAll();
  EXPECT_TRUE(kept.empty());
  EXPECT_TRUE(g_received.empty());

  // The per-process library; the other thread: the window of a small program top left.
  g_received.clear();
  g_keyCodes.clear();
  TargetApp other(40, 420, 460, 320);
  ASSERT_TRUE(other.Window());
  const POINT there = {270, 580}, mine = sink.Center();

  // Thread 0 counts nothing at all.
  startTask(target, 0);
  ClickAt(mine, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  TapKey('W', 2);
  Pump(300);
  EXPECT_TRUE(g_received.empty());
  stopTask();

  // This thread (the sink's): its input counts, the other window's not.
  startTask(target, GetCurrentThreadId());
  Clicks(2, 1, 1, &mine);
  WheelAt(mine, 240, 1);
  WheelAt(there, 60, 1);  // half a notch there and half here make no step
  WheelAt(mine, 60, 1);
  sink.Activate();
  TapKey('R', 3);
  ASSERT_EQ(Settled(tallivo::WM_PROC_KEY, 3), 3);
  ClickAt(there, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 4);
  WheelAt(there, 120, 3);
  ASSERT_TRUE(BringToFront(other.Window()));
  TapKey('R', 2);  // keys while the other window is in front
  Pump(400);
  EXPECT_EQ(g_received, (std::map<UINT, int>{{tallivo::WM_PROC_LBUTTON, 2},
                                             {tallivo::WM_PROC_RBUTTON, 1},
                                             {tallivo::WM_PROC_MBUTTON, 1},
                                             {tallivo::WM_PROC_WHEEL, 2},
                                             {tallivo::WM_PROC_KEY, 3}}));
  EXPECT_EQ(g_keyCodes, (std::map<WPARAM, int>{{'R', 3}}));
  stopTask();
}

}  // namespace
