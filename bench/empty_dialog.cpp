// The floor for idle cost, memory and start-up: a plain dialog of the same
// size, with no timers and no hooks. Built a second time as empty_timers.exe
// with the main window's three timers (1 ms, 100 ms, 1 s), where the 1 ms
// one reads the cursor position as the distance sampling must, and nothing
// else is done; and a third time as empty_clock.exe with one label that a
// 1 s timer rewrites with the time: the least a window that shows a clock
// does. empty_clock_hooked.exe adds EmptyHook.dll's low-level hooks to the
// clock: the least a counter through such hooks costs under input.
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {
INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) {
#ifdef EMPTY_WITH_HOOK
    if (HMODULE hook = LoadLibraryA("EmptyHook.dll")) {
      using Start = void(__cdecl*)(HWND);
      if (auto start = reinterpret_cast<Start>(reinterpret_cast<void*>(GetProcAddress(hook, MAKEINTRESOURCEA(2))))) {
        start(hwnd);
      }
    }
#endif
#ifdef EMPTY_WITH_TIMERS
    SetTimer(hwnd, 1, 100, nullptr);
    SetTimer(hwnd, 2, 1000, nullptr);
    SetTimer(hwnd, 3, 1, nullptr);
#endif
#ifdef EMPTY_WITH_CLOCK
    CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 250, 520, 200, 16, hwnd, reinterpret_cast<HMENU>(100), nullptr,
                  nullptr);
    SetTimer(hwnd, 2, 1000, nullptr);
#endif
    return TRUE;
  }
#ifdef EMPTY_WITH_CLOCK
  if (msg == WM_TIMER && wp == 2) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char text[32];
    snprintf(text, sizeof text, "%02u:%02u:%02u", t.wHour, t.wMinute, t.wSecond);
    SetDlgItemTextA(hwnd, 100, text);
    return TRUE;
  }
#endif
  if (msg == WM_COMMAND && (LOWORD(wp) == IDCANCEL || LOWORD(wp) == IDOK)) {
    EndDialog(hwnd, 0);
    return TRUE;
  }
#ifdef EMPTY_WITH_TIMERS
  if (msg == WM_TIMER && wp == 3) {
    POINT pt;
    GetCursorPos(&pt);
    return TRUE;
  }
#endif
  if (msg == WM_CLOSE) {
    EndDialog(hwnd, 0);
    return TRUE;
  }
  return FALSE;
}

void Add(std::vector<WORD>& v, const wchar_t* s) {
  do v.push_back(*s);
  while (*s++);
}
}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int) {
  // DLGTEMPLATE in memory: 256 x 305 dialog units, caption "EmptyDialog".
  std::vector<WORD> t;
  DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE | DS_MODALFRAME;
  t.push_back(LOWORD(style));
  t.push_back(HIWORD(style));
  t.push_back(0);
  t.push_back(0);  // exStyle
  t.push_back(0);  // no controls
  t.push_back(0);
  t.push_back(0);
  t.push_back(256);
  t.push_back(305);
  t.push_back(0);  // no menu
  t.push_back(0);  // default class
  Add(t, L"EmptyDialog");
  return static_cast<int>(DialogBoxIndirectParamW(inst, reinterpret_cast<DLGTEMPLATE*>(t.data()), nullptr, Proc, 0));
}
