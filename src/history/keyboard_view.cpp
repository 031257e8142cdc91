#include "history/keyboard_view.h"

#include <algorithm>
#include <exception>
#include <string>

#include "ui/data_exchange.h"

namespace tallivo::history {

namespace {

constexpr char kClassName[] = "TallivoKeyboardView";

}  // namespace

CKeyboardView::~CKeyboardView() {
  if (m_hwnd) DestroyWindow(m_hwnd);
}

bool CKeyboardView::Create(HWND parent, int id) {
  if (m_hwnd || !RegisterViewClass(kClassName, &CKeyboardView::WndProc)) return false;
  return CreateViewWindow(kClassName, parent, id, this) != nullptr;
}

void CKeyboardView::SetCounts(const std::vector<KeyTotal>& totals) {
  m_totals = totals;
  // Keys that share a code (the two Enters) both get its count; codes on no
  // cap are not drawn and do not set the scale either.
  m_strokes = CapStrokes(m_totals);
  m_max = m_strokes.empty() ? 0 : *std::max_element(m_strokes.begin(), m_strokes.end());
  Redraw();
  if (m_hwnd) UpdateHover();
}

void CKeyboardView::Redraw() {
  m_stale = true;
  if (m_hwnd) InvalidateRect(m_hwnd, nullptr, FALSE);
}

LRESULT CALLBACK CKeyboardView::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<CKeyboardView*>(ViewObject(hwnd, msg, lp));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCCREATE) self->m_hwnd = hwnd;
  LRESULT r = 0;
  try {
    r = self->Handle(msg, wp, lp);
  } catch (...) {
    ui::ShowExceptionError(std::current_exception());
    r = DefWindowProcA(hwnd, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->m_hwnd = nullptr;
    self->m_canvas.Release();
  }
  return r;
}

LRESULT CKeyboardView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(); return 0;
    case WM_SIZE:
      m_layout = LayoutStandardKeyboard(LOWORD(lp), HIWORD(lp));
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
      // Hidden under the pointer, no WM_MOUSELEAVE may come.
      if (!wp) {
        m_pointer.Left();
        UpdateHover();
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
  return DefWindowProcA(m_hwnd, msg, wp, lp);
}

void CKeyboardView::UpdateHover() {
  const int hit = m_pointer.inside ? HitKey(m_layout, m_pointer.at.x, m_pointer.at.y) : -1;
  if (hit != m_hover) {
    m_hover = hit;
    Redraw();
  }
  SetViewText(m_hwnd, HoverText());
}

std::string CKeyboardView::HoverText() const {
  const std::vector<KeyCap>& caps = StandardKeyboard();
  if (m_hover < 0 || static_cast<size_t>(m_hover) >= caps.size()) return "";
  const size_t i = static_cast<size_t>(m_hover);
  return KeyHoverText(caps[i].vk, i < m_strokes.size() ? m_strokes[i] : 0);
}

void CKeyboardView::OnPaint() {
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

void CKeyboardView::Draw(HDC dc) {
  RECT rc;
  GetClientRect(m_hwnd, &rc);
  FillSolid(dc, rc, kViewBackground);
  HGDIOBJ oldFont = SelectObject(dc, ViewFont(m_hwnd, m_font));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  SetBkMode(dc, TRANSPARENT);

  const std::vector<KeyCap>& caps = StandardKeyboard();
  const int corner = std::clamp(static_cast<int>(m_layout.scale / 6), 2, 8);
  const size_t n = std::min(caps.size(), m_layout.keys.size());
  for (size_t i = 0; i < n; ++i) {
    const uint64_t strokes = i < m_strokes.size() ? m_strokes[i] : 0;
    const COLORREF fill = strokes ? HeatColour(strokes, m_max) : kPlainColour;
    RECT r = ToRect(m_layout.keys[i]);
    SetDCBrushColor(dc, fill);
    SetDCPenColor(dc, static_cast<int>(i) == m_hover ? kViewHover : kViewBorder);
    RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
    SetTextColor(dc, TextColourOn(fill));
    InflateRect(&r, -1, -1);
    const char* label = caps[i].label ? caps[i].label : "";
    DrawTextA(dc, label, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

  DrawStrip(dc, m_layout.strip, HoverText());
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldFont);
}

}  // namespace tallivo::history
