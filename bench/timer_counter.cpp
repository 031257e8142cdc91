// Loaded into the program under measurement: a thread of its own sets a
// message hook on the thread of the window named in the shared block and
// counts what that thread takes from its queue. The installing thread must
// live as long as the hook, so it stays and waits.
#include "timer_counter.h"

namespace {

HANDLE g_map = nullptr;
TimerCount* g_count = nullptr;
HINSTANCE g_self = nullptr;

LRESULT CALLBACK GetMessageProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && wp == PM_REMOVE && g_count) {
    InterlockedIncrement(&g_count->messages);
    if (reinterpret_cast<const MSG*>(lp)->message == WM_TIMER) InterlockedIncrement(&g_count->timers);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

DWORD WINAPI HookThread(LPVOID) {
  g_map = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kTimerCountName);
  if (!g_map) return 1;
  g_count = static_cast<TimerCount*>(MapViewOfFile(g_map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TimerCount)));
  if (!g_count) return 1;
  const DWORD thread = GetWindowThreadProcessId(reinterpret_cast<HWND>(g_count->window), nullptr);
  if (!thread || !SetWindowsHookExA(WH_GETMESSAGE, GetMessageProc, g_self, thread)) return 1;
  InterlockedExchange(&g_count->installed, 1);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
  }
  return 0;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_self = self;
    if (HANDLE t = CreateThread(nullptr, 0, HookThread, nullptr, 0, nullptr)) CloseHandle(t);
  }
  return TRUE;
}
