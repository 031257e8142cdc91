#include "ui/dpi.h"

#include "ui/dpi_rules.h"

namespace ui {

namespace {

template <typename T>
T User32(const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : tallivo::dpi::kBaseDpi;
  if (dc) ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : tallivo::dpi::kBaseDpi;
}

}  // namespace

int WindowDpi(HWND hwnd) {
  static const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const UINT dpi = forWindow && hwnd ? forWindow(hwnd) : 0;
  return dpi ? static_cast<int>(dpi) : ScreenDpi();
}

int MetricForDpi(int index, int dpi) {
  static const auto forDpi = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, static_cast<UINT>(dpi));
  return tallivo::dpi::ScaleBetween(GetSystemMetrics(index), ScreenDpi(), dpi);
}

void PlaceWithinWorkArea(HWND hwnd, const RECT& wanted) {
  tallivo::PixelRect r = {wanted.left, wanted.top, wanted.right, wanted.bottom};
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  if (GetMonitorInfoW(MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &mi))
    r = tallivo::dpi::FitIntoWorkArea(r, {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom});
  RECT now;
  if (GetWindowRect(hwnd, &now) && now.left == r.left && now.top == r.top && now.right == r.right &&
      now.bottom == r.bottom)
    return;
  SetWindowPos(hwnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

HBITMAP ScaledBitmap(HBITMAP source, int dpi) {
  BITMAP info = {};
  if (!source || !GetObjectW(source, sizeof info, &info)) return nullptr;
  const int w = tallivo::dpi::Scale(info.bmWidth, dpi);
  const int h = tallivo::dpi::Scale(info.bmHeight, dpi);
  HDC screen = GetDC(nullptr);
  HDC from = CreateCompatibleDC(screen);
  HDC to = CreateCompatibleDC(screen);
  HBITMAP scaled = CreateCompatibleBitmap(screen, w, h);
  if (from && to && scaled) {
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, scaled);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, w, h, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
  }
  if (from) DeleteDC(from);
  if (to) DeleteDC(to);
  ReleaseDC(nullptr, screen);
  return scaled;
}

void ShowPictureAtDpi(HWND dlg, int controlId, UINT bitmapId, int dpi, HBITMAP* kept) {
  if (dpi == tallivo::dpi::kBaseDpi && !*kept) return;
  HBITMAP source = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  HBITMAP scaled = ScaledBitmap(source, dpi);
  if (source) DeleteObject(source);
  if (!scaled) return;
  // The picture control takes the bitmap's size.
  SendDlgItemMessageW(dlg, controlId, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled));
  if (*kept) DeleteObject(*kept);
  *kept = scaled;
}

}  // namespace ui
