#include "history_window/view_canvas.h"

#include <exception>

#include "base/text_format.h"
#include "ui/data_exchange.h"
#include "ui/dpi.h"

namespace tallivo::history {

bool RegisterViewClass(const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW wc = {};
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (GetClassInfoExW(inst, name, &wc)) return true;
  wc.cbSize = sizeof wc;
  // Redrawn whole on every size change: the layout follows the size.
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = proc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  if (RegisterClassExW(&wc)) return true;
  // Another view of the class got there first.
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CreateViewWindow(const wchar_t* className, HWND parent, int id, void* self) {
  return CreateWindowExW(0, className, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), self);
}

void* ViewObject(HWND hwnd, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    void* self = reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return self;
  }
  return reinterpret_cast<void*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

HDC ViewCanvas::Prepare(HDC screen, int w, int h, bool* fresh) {
  *fresh = false;
  if (w <= 0 || h <= 0) return nullptr;
  if (m_dc && m_size.cx == w && m_size.cy == h) return m_dc;
  Release();
  m_dc = CreateCompatibleDC(screen);
  m_bitmap = CreateCompatibleBitmap(screen, w, h);
  if (!m_dc || !m_bitmap) {
    OutputDebugStringW(L"Tallivo: no memory bitmap for a history view\n");
    Release();
    return nullptr;
  }
  m_oldBitmap = SelectObject(m_dc, m_bitmap);
  m_size = {w, h};
  *fresh = true;
  return m_dc;
}

void ViewCanvas::Release() {
  if (m_dc && m_oldBitmap) SelectObject(m_dc, m_oldBitmap);
  if (m_dc) DeleteDC(m_dc);
  if (m_bitmap) DeleteObject(m_bitmap);
  m_dc = nullptr;
  m_bitmap = nullptr;
  m_oldBitmap = nullptr;
  m_size = {0, 0};
}

HFONT ViewFont(HWND view, HFONT setFont) {
  if (setFont) return setFont;
  if (HWND parent = GetParent(view)) {
    if (auto f = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0))) return f;
  }
  // Made once and kept for the life of the process, like a stock object.
  static HFONT own = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, L"宋体");
  return own ? own : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void PointerTracker::Moved(HWND view, LPARAM lp) {
  at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
  inside = true;
  if (!tracking) {
    TRACKMOUSEEVENT t = {sizeof t, TME_LEAVE, view, 0};
    tracking = TrackMouseEvent(&t) != FALSE;
  }
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void DrawStrip(HDC dc, const PixelRect& strip, const std::string& text) {
  RECT r = ToRect(strip);
  FillSolid(dc, r, RGB(0xF6, 0xF6, 0xF6));
  RECT line = {r.left, r.top, r.right, r.top + 1};
  FillSolid(dc, line, RGB(0xDC, 0xDC, 0xDC));
  r.left += 8;
  SetTextColor(dc, kViewText);
  const std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void SetViewText(HWND view, const std::string& text) {
  const std::wstring wide = Wide(text);
  wchar_t current[256] = L"";
  GetWindowTextW(view, current, 256);
  if (wide != current) SetWindowTextW(view, wide.c_str());
}

}  // namespace tallivo::history

namespace tallivo::history {

bool CCanvasView::CreateView(const wchar_t* className, HWND parent, int id) {
  if (m_hwnd || !RegisterViewClass(className, &CCanvasView::WndProc)) return false;
  m_dpi = ui::WindowDpi(parent);
  return CreateViewWindow(className, parent, id, this) != nullptr;
}

void CCanvasView::DestroyView() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

void CCanvasView::SetDpi(int dpi) {
  m_dpi = dpi > 0 ? dpi : dpi::kBaseDpi;
  if (!m_hwnd) return;
  RECT rc;
  GetClientRect(m_hwnd, &rc);
  Relayout(rc.right, rc.bottom);
  Redraw();
  UpdateHover();
}

void CCanvasView::Redraw() {
  m_stale = true;
  if (m_hwnd) InvalidateRect(m_hwnd, nullptr, FALSE);
}

LRESULT CALLBACK CCanvasView::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<CCanvasView*>(ViewObject(hwnd, msg, lp));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCCREATE) self->m_hwnd = hwnd;
  LRESULT r = 0;
  try {
    r = self->Handle(msg, wp, lp);
  } catch (...) {
    ui::ShowExceptionError(std::current_exception());
    r = DefWindowProcW(hwnd, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->m_hwnd = nullptr;
    self->m_canvas.Release();
  }
  return r;
}

LRESULT CCanvasView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(); return 0;
    case WM_SIZE:
      Relayout(LOWORD(lp), HIWORD(lp));
      m_stale = true;
      UpdateHover();
      return 0;
    case WM_MOUSEMOVE:
      m_pointer.Moved(m_hwnd, lp);
      UpdateHover();
      return 0;
    case WM_MOUSELEAVE:
      m_pointer.Left();
      UpdateHover();
      return 0;
    case WM_SHOWWINDOW:
      // Hidden under the pointer, no WM_MOUSELEAVE may come. A hidden view
      // keeps no picture: it is drawn anew when shown.
      if (!wp) {
        m_pointer.Left();
        UpdateHover();
        m_canvas.Release();
      }
      break;
    case WM_SETFONT:
      m_font = reinterpret_cast<HFONT>(wp);
      m_stale = true;
      if (LOWORD(lp)) InvalidateRect(m_hwnd, nullptr, FALSE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_font);
    default: break;
  }
  return DefWindowProcW(m_hwnd, msg, wp, lp);
}

void CCanvasView::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hwnd, &ps);
  if (!dc) return;
  RECT rc;
  GetClientRect(m_hwnd, &rc);
  bool fresh = false;
  if (HDC mem = m_canvas.Prepare(dc, rc.right, rc.bottom, &fresh)) {
    if (fresh || m_stale) Draw(mem);
    m_stale = false;
    BitBlt(dc, 0, 0, rc.right, rc.bottom, mem, 0, 0, SRCCOPY);
  }
  EndPaint(m_hwnd, &ps);
}

}  // namespace tallivo::history
