// The floor for idle cost, memory and start-up: a plain dialog of the same
// size, with no timers and no hooks.
#include <windows.h>

#include <vector>

namespace {
INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == WM_COMMAND && (LOWORD(wp) == IDCANCEL || LOWORD(wp) == IDOK)) {
    EndDialog(hwnd, 0);
    return TRUE;
  }
  if (msg == WM_CLOSE) {
    EndDialog(hwnd, 0);
    return TRUE;
  }
  return FALSE;
}

void Add(std::vector<WORD>& v, const wchar_t* s) {
  do v.push_back(*s); while (*s++);
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
