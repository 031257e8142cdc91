#include "ui/label_painter.h"

#include <algorithm>

namespace ui {

void LabelPainter::Set(HWND label, const std::wstring& text) {
  if (!label) return;
  // The window's own text without the control's immediate paint.
  DefWindowProcW(label, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (std::find(m_marked.begin(), m_marked.end(), label) == m_marked.end()) m_marked.push_back(label);
}

void LabelPainter::Paint(HWND dialog) {
  if (m_marked.empty()) return;
  // Not clipped to the dialog's own area: the labels are drawn over.
  HDC dc = IsWindowVisible(dialog) && !IsIconic(dialog) ? GetDCEx(dialog, nullptr, DCX_CACHE) : nullptr;
  if (!dc) {
    // Nobody sees it: each label paints itself when it shows.
    for (HWND label : m_marked) InvalidateRect(label, nullptr, TRUE);
    m_marked.clear();
    return;
  }
  const int saved = SaveDC(dc);
  wchar_t text[256];
  for (HWND label : m_marked) {
    if (!IsWindowVisible(label)) continue;
    RECT rc;
    GetClientRect(label, &rc);
    MapWindowPoints(label, dialog, reinterpret_cast<POINT*>(&rc), 2);
    const LONG style = GetWindowLongW(label, GWL_STYLE);
    UINT format = DT_EXPANDTABS;
    switch (style & SS_TYPEMASK) {
      case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
      case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
      case SS_LEFTNOWORDWRAP: format |= DT_LEFT; break;
      default: format |= DT_LEFT | DT_WORDBREAK; break;
    }
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE) format |= DT_SINGLELINE | DT_VCENTER;
    if (style & SS_ENDELLIPSIS) format |= DT_SINGLELINE | DT_END_ELLIPSIS;
    // The colours and the background the dialog gives its labels.
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label)));
    if (!brush) brush = GetSysColorBrush(COLOR_3DFACE);
    if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0))) SelectObject(dc, font);
    IntersectClipRect(dc, rc.left, rc.top, rc.right, rc.bottom);
    FillRect(dc, &rc, brush);
    const int n = GetWindowTextW(label, text, static_cast<int>(sizeof text / sizeof text[0]));
    DrawTextW(dc, text, n, &rc, format);
    SelectClipRgn(dc, nullptr);
  }
  RestoreDC(dc, saved);
  ReleaseDC(dialog, dc);
  m_marked.clear();
}

}  // namespace ui
