// TallivoHook.dll: counts input of all processes and posts one private
// message per click, wheel step and key stroke to the main window.
#include <windows.h>

#include "base/messages.h"
#include "hooks/hook_api.h"
#include "hooks/hook_thread.h"
#include "hooks/input_filter.h"

namespace {

hooks::HookThread g_thread;
// Touched only on the hook thread.
tallivo::WheelAccumulator g_wheel;
tallivo::KeyRepeatFilter g_keys;

// Its target is written by start/stop, read on the hook thread.
hooks::MessagePoster g_poster(tallivo::kGlobalInputFirst);

void Post(unsigned msg) { g_poster.Post(msg); }

LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    switch (wp) {
      case WM_LBUTTONDOWN: Post(tallivo::WM_INPUT_LBUTTON); break;
      case WM_RBUTTONDOWN: Post(tallivo::WM_INPUT_RBUTTON); break;
      case WM_MBUTTONDOWN: Post(tallivo::WM_INPUT_MBUTTON); break;
      case WM_MOUSEWHEEL:
        for (unsigned n = g_wheel.Add(hooks::WheelDelta(lp)); n > 0; --n) Post(tallivo::WM_INPUT_WHEEL);
        break;
      default: break;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && hooks::NewKeyStroke(g_keys, wp, lp)) Post(tallivo::WM_INPUT_KEY);
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

// Ordinal 1: stop global counting. Harmless when not started or repeated.
extern "C" void __cdecl TallivoStopHook() {
  g_thread.Stop();
  g_poster.SetTarget(nullptr);
}

// Ordinal 2: start global counting, posting to the given window.
extern "C" void __cdecl TallivoStartHook(HWND target) {
  g_poster.SetTarget(target);
  g_thread.Start(MouseProc, KeyboardProc);
}
