// The hook libraries on their own: ordinal-only entry points, idempotent
// start and stop, one posted message per counted event.
#include <gtest/gtest.h>

#include <map>

#include "harness.h"
#include "main/messages.h"

using namespace e2e;

namespace {

std::map<UINT, int> g_received;

LRESULT CALLBACK CountProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_USER + 100 && msg <= WM_USER + 130) {
    ++g_received[msg];
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeCountingWindow() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = CountProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TallivoTestCounter";
  RegisterClassA(&wc);
  return CreateWindowA("TallivoTestCounter", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                       GetModuleHandleA(nullptr), nullptr);
}

// A visible window on a thread of its own, for input that must not count
// as input to the test's main thread.
class OtherThreadWindow {
 public:
  explicit OtherThreadWindow(RECT rc) : m_rect(rc) {
    m_ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, Main, this, 0, &m_threadId);
    WaitForSingleObject(m_ready, 5000);
    Pump(100);
  }
  ~OtherThreadWindow() {
    PostMessageA(m_hwnd, WM_CLOSE, 0, 0);
    WaitForSingleObject(m_thread, 5000);
    CloseHandle(m_thread);
    CloseHandle(m_ready);
  }
  HWND Hwnd() const { return m_hwnd; }
  POINT Center() const { return {(m_rect.left + m_rect.right) / 2, (m_rect.top + m_rect.bottom) / 2}; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wp, lp);
  }
  static DWORD WINAPI Main(LPVOID param) {
    auto* self = static_cast<OtherThreadWindow*>(param);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TallivoTestOtherThread";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    RegisterClassA(&wc);
    const RECT& r = self->m_rect;
    self->m_hwnd = CreateWindowExA(WS_EX_TOPMOST, "TallivoTestOtherThread", "other", WS_POPUP | WS_VISIBLE, r.left,
                                   r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    SetEvent(self->m_ready);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
  }
  RECT m_rect;
  HANDLE m_ready = nullptr;
  HANDLE m_thread = nullptr;
  DWORD m_threadId = 0;
  HWND m_hwnd = nullptr;
};

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
    hook = LoadLibraryA((BinDir() + "\\TallivoHook.dll").c_str());
    task = LoadLibraryA((BinDir() + "\\TallivoTaskHook.dll").c_str());
    ASSERT_NE(hook, nullptr);
    ASSERT_NE(task, nullptr);
    target = MakeCountingWindow();
    sink = std::make_unique<InputSink>(RECT{560, 420, 1000, 740});
    POINT c = sink->Center();
    ASSERT_TRUE(MoveCursor(c.x, c.y));
  }
  void TearDown() override {
    if (hook) Ordinal<StopFn>(hook, 1)();
    if (task) Ordinal<StopFn>(task, 1)();
    sink.reset();
    DestroyWindow(target);
  }
  int Received(UINT msg) { return g_received[msg]; }
  HMODULE hook = nullptr, task = nullptr;
  HWND target = nullptr;
  std::unique_ptr<InputSink> sink;
};

TEST_F(HookLibrary, EntryPointsAreExportedByOrdinalOnly) {
  EXPECT_NE(Ordinal<StopFn>(hook, 1), nullptr);
  EXPECT_NE(Ordinal<StartFn>(hook, 2), nullptr);
  EXPECT_NE(Ordinal<StopFn>(task, 1), nullptr);
  EXPECT_NE(Ordinal<StartTaskFn>(task, 2), nullptr);
  EXPECT_EQ(GetProcAddress(hook, "TallivoStartHook"), nullptr);
  EXPECT_EQ(GetProcAddress(task, "TallivoStartTaskHook"), nullptr);
}

TEST_F(HookLibrary, StopWithoutStartAndRepeatedStopAreHarmless) {
  Ordinal<StopFn>(hook, 1)();
  Ordinal<StopFn>(hook, 1)();
  Ordinal<StopFn>(task, 1)();
  Ordinal<StopFn>(task, 1)();
  // And the library still works afterwards.
  Ordinal<StartFn>(hook, 2)(target);
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  EXPECT_TRUE(WaitUntil([&] { return Received(tallivo::WM_INPUT_LBUTTON) == 2; }));
}

TEST_F(HookLibrary, OneMessagePerEventEvenWhenStartedTwice) {
  Ordinal<StartFn>(hook, 2)(target);
  Ordinal<StartFn>(hook, 2)(target);  // a second start must not double the counts
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 2);
  Click(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
  Wheel(240, 1);  // one report of two notches: two steps
  // Other buttons and horizontal wheel are not counted.
  SendInputs({MouseInput(MOUSEEVENTF_XDOWN, XBUTTON1), MouseInput(MOUSEEVENTF_XUP, XBUTTON1),
              MouseInput(MOUSEEVENTF_HWHEEL, 120)});
  sink->Activate();
  TapKey('Q', 2);
  ASSERT_TRUE(WaitUntil([&] { return Received(tallivo::WM_INPUT_KEY) >= 2; }));
  Pump(300);
  EXPECT_EQ(Received(tallivo::WM_INPUT_LBUTTON), 3);
  EXPECT_EQ(Received(tallivo::WM_INPUT_RBUTTON), 2);
  EXPECT_EQ(Received(tallivo::WM_INPUT_MBUTTON), 1);
  EXPECT_EQ(Received(tallivo::WM_INPUT_WHEEL), 2);
  EXPECT_EQ(Received(tallivo::WM_INPUT_KEY), 2);
  EXPECT_EQ(g_received.size(), 5u);
}

TEST_F(HookLibrary, NothingArrivesAfterStop) {
  Ordinal<StartFn>(hook, 2)(target);
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  ASSERT_TRUE(WaitUntil([&] { return Received(tallivo::WM_INPUT_LBUTTON) == 1; }));
  Ordinal<StopFn>(hook, 1)();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 5);
  Pump(300);
  EXPECT_EQ(Received(tallivo::WM_INPUT_LBUTTON), 1);
}

TEST_F(HookLibrary, TaskHookWithThreadZeroCountsNothingAndStopsCleanly) {
  Ordinal<StartTaskFn>(task, 2)(target, 0);
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  sink->Activate();
  TapKey('W', 2);
  Pump(300);
  EXPECT_TRUE(g_received.empty());
  Ordinal<StopFn>(task, 1)();
  Ordinal<StopFn>(task, 1)();
}

TEST_F(HookLibrary, TaskHookCountsOnlyInputToTheChosenThreadsWindows) {
  OtherThreadWindow other({40, 420, 500, 740});
  ASSERT_NE(other.Hwnd(), nullptr);
  // The sink belongs to this thread: its input is the chosen thread's.
  Ordinal<StartTaskFn>(task, 2)(target, GetCurrentThreadId());
  const POINT mine = sink->Center();
  ClickAt(mine, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  ClickAt(mine, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
  ClickAt(mine, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
  WheelAt(mine, 240, 1);
  // Half a notch over the other window and half over ours make no step.
  WheelAt(other.Center(), 60, 1);
  WheelAt(mine, 60, 1);
  sink->Activate();
  TapKey('R', 3);
  ASSERT_TRUE(WaitUntil([&] { return Received(tallivo::WM_PROC_KEY) >= 3; }));

  // Over the other thread's window, and keys while it is in front: nothing.
  ClickAt(other.Center(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 4);
  ClickAt(other.Center(), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
  WheelAt(other.Center(), 120, 3);
  SetForegroundWindow(other.Hwnd());
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other.Hwnd(); }));
  TapKey('R', 2);
  Pump(400);
  EXPECT_EQ(Received(tallivo::WM_PROC_LBUTTON), 2);
  EXPECT_EQ(Received(tallivo::WM_PROC_RBUTTON), 1);
  EXPECT_EQ(Received(tallivo::WM_PROC_MBUTTON), 1);
  EXPECT_EQ(Received(tallivo::WM_PROC_WHEEL), 2);
  EXPECT_EQ(Received(tallivo::WM_PROC_KEY), 3);
  EXPECT_EQ(g_received.size(), 5u);

  // Stopped, then started for the other thread: the roles swap.
  Ordinal<StopFn>(task, 1)();
  g_received.clear();
  DWORD otherThread = GetWindowThreadProcessId(other.Hwnd(), nullptr);
  Ordinal<StartTaskFn>(task, 2)(target, otherThread);
  ClickAt(mine, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  ClickAt(other.Center(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  ASSERT_TRUE(WaitUntil([&] { return Received(tallivo::WM_PROC_LBUTTON) >= 1; }));
  Pump(300);
  EXPECT_EQ(Received(tallivo::WM_PROC_LBUTTON), 1);
}

}  // namespace
