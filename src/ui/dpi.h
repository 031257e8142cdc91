// The DPI of a window as the system gives it, on every Windows the program
// runs on: per monitor where the system knows it (Windows 10 1607 and
// later), else the screen's (Windows 7 and 8.1).
#pragma once

#include <windows.h>

namespace ui {

int WindowDpi(HWND hwnd);
// A system metric (SM_CXICON...) at a DPI.
int MetricForDpi(int index, int dpi);
// Moves and sizes the window to the rectangle, kept within the work area of the monitor it is on; nothing when it
// is already there.
void PlaceWithinWorkArea(HWND hwnd, const RECT& wanted);
// A copy of a bitmap at dpi / 96 times its size, halftoned; null on failure.
HBITMAP ScaledBitmap(HBITMAP source, int dpi);
// The picture control of a dialog shows the bitmap resource at the DPI; the
// copy it shows is kept in *kept (the caller deletes it at the end), the one
// of an earlier DPI deleted. At 96 DPI the template's own bitmap stays.
void ShowPictureAtDpi(HWND dlg, int controlId, UINT bitmapId, int dpi, HBITMAP* kept);

}  // namespace ui
