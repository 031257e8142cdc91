#include "ui/color_label.h"

#include <windowsx.h>

#include <string>
#include <vector>

void CColorLabel::SetTextColour(COLORREF colour) { m_state.SetTextColour(colour); }

void CColorLabel::SetUnderline(bool on, COLORREF colour) { m_state.SetUnderline(on, colour); }

void CColorLabel::SetUnderlineOnHover(bool on) { m_state.SetUnderlineOnHover(on); }

void CColorLabel::OnAttach() {
  // SS_NOTIFY makes the static report clicks to its dialog.
  const LONG style = GetWindowLongW(Hwnd(), GWL_STYLE);
  SetWindowLongW(Hwnd(), GWL_STYLE, style | SS_NOTIFY);
  const LRESULT font = SendMessageW(GetParent(Hwnd()), WM_GETFONT, 0, 0);
  SendMessageW(Hwnd(), WM_SETFONT, static_cast<WPARAM>(font), TRUE);
}

LRESULT CColorLabel::OnMessage(UINT msg, WPARAM, LPARAM lp, bool* handled) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      *handled = true;
      return 0;
    case WM_MOUSEMOVE: *handled = OnMouseMove(lp); return 0;
    case WM_LBUTTONDOWN:
      // Then the static's own handling sends the click to the dialog.
      Redraw();
      return 0;
    case WM_CAPTURECHANGED:
      // The capture can also go elsewhere (another window activated by the
      // click): the pointer is then no longer known to be over the label.
      if (m_state.Hovering() && reinterpret_cast<HWND>(lp) != Hwnd()) {
        m_state.Leave();
        Redraw();
      }
      return 0;
    default: return 0;
  }
}

void CColorLabel::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Hwnd(), &ps);
  const int savedDc = SaveDC(dc);
  SetTextColor(dc, m_state.TextColour());
  SetBkMode(dc, TRANSPARENT);
  if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0))) SelectObject(dc, font);
  RECT rc;
  GetClientRect(Hwnd(), &rc);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc, &tm);
  const tallivo::LabelLayout layout = tallivo::LayoutLabel(rc.top, rc.bottom, tm.tmHeight);
  std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(Hwnd())) + 1, 0);
  const int len = GetWindowTextW(Hwnd(), text.data(), static_cast<int>(text.size()));
  if (len > 0) TextOutW(dc, layout.textX, layout.textY, text.data(), len);
  if (m_state.Underline()) {
    HPEN pen = CreatePen(PS_SOLID, 1, m_state.UnderlineColour());
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, layout.lineX0, layout.lineY, nullptr);
    LineTo(dc, layout.lineX1, layout.lineY);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  RestoreDC(dc, savedDc);
  EndPaint(Hwnd(), &ps);
}

bool CColorLabel::OnMouseMove(LPARAM lp) {
  if (!m_state.Hovering()) {
    m_state.Enter();
    Redraw();
    SetCapture(Hwnd());
    return false;
  }
  RECT rc;
  GetClientRect(Hwnd(), &rc);
  const POINT pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  if (PtInRect(&rc, pt)) return false;
  // The capture delivered a move outside: the pointer has left.
  m_state.Leave();
  Redraw();
  ReleaseCapture();
  return true;
}

void CColorLabel::Redraw() {
  RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  // The label paints no background: the dialog repaints what lies under it.
  HWND parent = GetParent(Hwnd());
  RECT rc;
  GetWindowRect(Hwnd(), &rc);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  InvalidateRect(parent, &rc, TRUE);
}
