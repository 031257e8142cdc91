// The hook libraries on their own, loaded into the test: entry points by ordinal, harmless repeated starts and stops,
// one posted message per counted event, and the per-process library's choice of thread.
#include <gtest/gtest.h>

#include <map>

#include "base/messages.h"
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
TEST(HookLibrary, GlobalHookPostsOneMessagePerEventUntilStoppedTaskHookOnlyForTheChosenThreadsWindows) {
  const auto stop = Ordinal<void()>("TallivoHook.dll", 1), stopTask = Ordinal<void()>("TallivoTaskHook.dll", 1);
  const auto start = Ordinal<void(HWND)>("TallivoHook.dll", 2);
  const auto startTask = Ordinal<void(HWND, DWORD)>("TallivoTaskHook.dll", 2);
  const HWND target = TestWindow("TallivoTestCounter", CountProc, 0, WS_POPUP, {0, 0, 10, 10});
  InputSink sink;
  ASSERT_TRUE(stop && start && stopTask && startTask && target && sink.Take());
  // Stops without a start, twice, are harmless; a second start must not double the counts.
  stop();
  stop();
  start(target);
  start(target);
  Clicks(3, 2, 1);
  Wheel(240, 1);  // one report of two notches: two steps
  // Other buttons and the horizontal wheel are not counted.
  SendInputs({MouseInput(MOUSEEVENTF_XDOWN, XBUTTON1), MouseInput(MOUSEEVENTF_XUP, XBUTTON1),
              MouseInput(MOUSEEVENTF_HWHEEL, 120)});
  sink.Activate();
  TapKey('Q', 2);
  TapKey(VK_F5, 1);
  EXPECT_EQ(Settled(tallivo::WM_INPUT_KEY, 3), 3);
  EXPECT_EQ(g_keyCodes, (std::map<WPARAM, int>{{'Q', 2}, {VK_F5, 1}}));
  EXPECT_EQ(g_received, (std::map<UINT, int>{{tallivo::WM_INPUT_LBUTTON, 3},
                                             {tallivo::WM_INPUT_RBUTTON, 2},
                                             {tallivo::WM_INPUT_MBUTTON, 1},
                                             {tallivo::WM_INPUT_WHEEL, 2},
                                             {tallivo::WM_INPUT_KEY, 3}}));

  // Pointer moves post nothing, until the window asks to be told of the next one: then one message, however many moves
  // follow, once per ask.
  auto moves = [&](int n) {
    for (int i = 0; i < n; ++i) SendInputs({MouseInput(MOUSEEVENTF_MOVE, 0, i % 2 ? -3 : 3)});
    Pump(300);
    return g_received[tallivo::WM_INPUT_MOVING];
  };
  const auto watch = Ordinal<DWORD()>("TallivoHook.dll", 5), seen = Ordinal<DWORD()>("TallivoHook.dll", 6);
  ASSERT_TRUE(watch && seen);
  const DWORD seenBefore = seen();
  EXPECT_EQ(moves(20), 0);
  EXPECT_EQ(seen() - seenBefore, 20u) << "moves the hook saw";
  watch();
  EXPECT_EQ(moves(20), 1);
  EXPECT_EQ(moves(20), 1);
  watch();
  watch();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);  // a click is no move
  EXPECT_EQ(moves(0), 1);
  EXPECT_EQ(moves(5), 2);
  g_received.erase(tallivo::WM_INPUT_MOVING);
  g_received[tallivo::WM_INPUT_LBUTTON] -= 1;

  stop();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 5);
  TapKey('Q', 1);
  Pump(300);
  EXPECT_EQ(g_received[tallivo::WM_INPUT_LBUTTON], 3);
  EXPECT_EQ(g_received[tallivo::WM_INPUT_KEY], 3);

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
