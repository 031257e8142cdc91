// A small window program for the per-process tests: one top-level window on its own thread, placed where the command
// line says ("x y w h").
#include <windows.h>

#include <cstdio>

namespace {
LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CONTEXTMENU: return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd, msg, wp, lp);
  }
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
  int x = 700, y = 20, w = 300, h = 260;
  sscanf(cmdLine, "%d %d %d %d", &x, &y, &w, &h);
  WNDCLASSA wc = {0, TargetProc, 0, 0, instance, nullptr, LoadCursor(nullptr, IDC_ARROW)};
  wc.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
  wc.lpszClassName = "TallivoTestTarget";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, "TallivoTestTarget", "Tallivo test target", WS_POPUP | WS_CAPTION | WS_VISIBLE, x, y,
                              w, h, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
