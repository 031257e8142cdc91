// TallivoTaskHook.dll: counts the input that goes to one chosen thread's
// windows: the window under the pointer for the mouse, the foreground window
// for keys. Thread id 0 counts nothing.
#include <windows.h>

#include <atomic>

#include "base/messages.h"
#include "hooks/hook_api.h"
#include "hooks/hook_thread.h"
#include "hooks/input_filter.h"

namespace {

hooks::HookThread g_thread;
std::atomic<DWORD> g_threadId{0};
tallivo::WheelAccumulator g_wheel;
tallivo::KeyRepeatFilter g_keys;

// Its target is written by start/stop, read on the hook thread.
hooks::MessagePoster g_poster(tallivo::kProcessInputFirst);

void Post(unsigned msg, unsigned code = 0) { g_poster.Post(msg, code); }

bool BelongsToChosenThread(HWND window) {
  const DWORD chosen = g_threadId;
  if (chosen == 0 || !window) return false;
  return GetWindowThreadProcessId(window, nullptr) == chosen;
}

LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && g_threadId != 0) {
    auto* info = reinterpret_cast<MSLLHOOKSTRUCT*>(lp);
    unsigned msg = 0;
    unsigned repeat = 1;
    switch (wp) {
      case WM_LBUTTONDOWN: msg = tallivo::WM_PROC_LBUTTON; break;
      case WM_RBUTTONDOWN: msg = tallivo::WM_PROC_RBUTTON; break;
      case WM_MBUTTONDOWN: msg = tallivo::WM_PROC_MBUTTON; break;
      case WM_MOUSEWHEEL: msg = tallivo::WM_PROC_WHEEL; break;
      default: break;
    }
    if (msg && BelongsToChosenThread(WindowFromPoint(info->pt))) {
      // Only the chosen windows' wheel fractions add up to a step.
      if (msg == tallivo::WM_PROC_WHEEL) repeat = g_wheel.Add(hooks::WheelDelta(lp));
      for (; repeat > 0; --repeat) Post(msg);
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
  // Every key's state is followed; only strokes to the chosen windows count.
  if (code == HC_ACTION && hooks::NewKeyStroke(g_keys, wp, lp) && BelongsToChosenThread(GetForegroundWindow())) {
    Post(tallivo::WM_PROC_KEY, hooks::KeyCode(lp));
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

// Ordinal 1: stop per-process counting. Harmless when not started or repeated.
extern "C" void __cdecl TallivoStopTaskHook() {
  g_thread.Stop();
  g_poster.SetTarget(nullptr);
  g_threadId = 0;
  // Events a full queue refused are the stopped choice's: they must not be
  // posted for whatever is chosen next. (The hook thread has ended.)
  g_poster.Forget();
}

// Ordinal 2: start counting input that goes to the given thread's windows.
// Thread 0 counts nothing, so no hooks are needed for it.
extern "C" void __cdecl TallivoStartTaskHook(HWND target, DWORD threadId) {
  if (!g_thread.Running()) {
    // A key released or a wheel fraction left while stopped must not carry
    // over to the new process. (The hook thread is not running: no race.)
    g_keys.Reset();
    g_wheel = tallivo::WheelAccumulator();
  }
  g_poster.SetTarget(target);
  g_threadId = threadId;
  if (threadId != 0) g_thread.Start(MouseProc, KeyboardProc);
}
