// What the two drawn history views share on the Windows side: their window
// class, the off-screen picture they paint from, their font and the
// tracking of the pointer.
#pragma once

#include <windows.h>

#include <string>

#include "history_window/history_view_geometry.h"

namespace tallivo::history {

// Registers a view class once per process; false when it cannot be.
bool RegisterViewClass(const wchar_t* name, WNDPROC proc);
// A hidden child window of the class, whose WM_NCCREATE carries self.
HWND CreateViewWindow(const wchar_t* className, HWND parent, int id, void* self);
// The object a view window was created for (set at WM_NCCREATE).
void* ViewObject(HWND hwnd, UINT msg, LPARAM lp);

// The client-sized memory bitmap a view draws into; made again only when
// the size changes, so a paint is one BitBlt of a finished picture.
class ViewCanvas {
 public:
  ViewCanvas() = default;
  ~ViewCanvas() { Release(); }
  ViewCanvas(const ViewCanvas&) = delete;
  ViewCanvas& operator=(const ViewCanvas&) = delete;

  // The memory DC for a client of w x h; *fresh when it was just made (its
  // picture must be drawn). Null when GDI refused.
  HDC Prepare(HDC screen, int w, int h, bool* fresh);
  void Release();

 private:
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
  SIZE m_size = {0, 0};
};

// The font a view writes with: one set with WM_SETFONT, else its parent's
// (the dialog's), else a 宋体 font made once for the process.
HFONT ViewFont(HWND view, HFONT setFont);

// The pointer over a view: asks for WM_MOUSELEAVE once per entry.
struct PointerTracker {
  bool inside = false;
  bool tracking = false;
  POINT at = {0, 0};
  void Moved(HWND view, LPARAM lp);
  void Left() { inside = tracking = false; }
};

// A drawn view: its own child window, painted from a picture kept off
// screen, redrawn only when its data, its size or the thing under the
// pointer changes. Each view lays itself out, draws, and names what is
// under the pointer.
class CCanvasView {
 public:
  CCanvasView() = default;
  virtual ~CCanvasView() = default;
  CCanvasView(const CCanvasView&) = delete;
  CCanvasView& operator=(const CCanvasView&) = delete;
  HWND Hwnd() const { return m_hwnd; }
  // Laid out and drawn at this DPI from now on.
  void SetDpi(int dpi);

 protected:
  // A hidden child window of parent, of the view's class (registered once).
  bool CreateView(const wchar_t* className, HWND parent, int id);
  // Derived destructors call this first: the window's last messages must
  // still reach the whole object.
  void DestroyView();
  virtual void Relayout(int width, int height) = 0;
  virtual void Draw(HDC dc) = 0;
  // Names what is under the pointer; redraws when that changed.
  virtual void UpdateHover() = 0;
  void Redraw();

  HWND m_hwnd = nullptr;
  PointerTracker m_pointer;
  HFONT m_font = nullptr;  // from WM_SETFONT, not owned
  int m_dpi = dpi::kBaseDpi;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void OnPaint();

  ViewCanvas m_canvas;
  bool m_stale = true;  // the canvas does not show the current picture
};

inline RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }
void FillSolid(HDC dc, const RECT& r, COLORREF colour);
// The strip along the bottom with its text.
void DrawStrip(HDC dc, const PixelRect& strip, const std::string& text);
// The window text, written only when it changed.
void SetViewText(HWND view, const std::string& text);

constexpr COLORREF kViewBackground = RGB(255, 255, 255);
constexpr COLORREF kViewText = RGB(0x30, 0x30, 0x30);
constexpr COLORREF kViewBorder = RGB(0xA0, 0xA0, 0xA0);
constexpr COLORREF kViewHover = RGB(0x10, 0x10, 0x10);

}  // namespace tallivo::history
