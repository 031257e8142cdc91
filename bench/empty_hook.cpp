// EmptyHook.dll: low-level hooks installed exactly as TallivoHook.dll
// installs them, doing nothing: the floor for the cost per input event.
#include <windows.h>

#include "hooks/hook_thread.h"

namespace {
hooks::HookThread g_thread;

LRESULT CALLBACK PassOn(int code, WPARAM wp, LPARAM lp) { return CallNextHookEx(nullptr, code, wp, lp); }
}  // namespace

extern "C" void __cdecl EmptyStopHook() { g_thread.Stop(); }
extern "C" void __cdecl EmptyStartHook(HWND) { g_thread.Start(PassOn, PassOn); }
