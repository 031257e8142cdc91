#include "history_window/keyboard_view.h"

#include <algorithm>
#include <exception>
#include <string>

#include "base/text_format.h"
#include "ui/data_exchange.h"

namespace tallivo::history {

namespace {

constexpr wchar_t kClassName[] = L"TallivoKeyboardView";

// What each moved key types in the layout, from the system's own tables
// (the key names of GetKeyNameText are not what a key types).
KeyFaces SystemFaces(HKL layout) {
  KeyFaces faces;
  for (const KeyCap& c : StandardKeyboard()) {
    if (!c.scan) continue;
    const UINT vk = MapVirtualKeyExW(c.scan, MAPVK_VSC_TO_VK, layout);
    // The high bit marks a dead key (an accent typed before its letter).
    const wchar_t typed = static_cast<wchar_t>(MapVirtualKeyExW(vk, MAPVK_VK_TO_CHAR, layout) & 0xFFFF);
    std::wstring label;
    if (typed > L' ') {
      label.assign(1, typed);
      CharUpperBuffW(label.data(), 1);
    }
    faces.push_back({c.scan, {vk, Utf8(label)}});
  }
  return faces;
}

}  // namespace

CKeyboardView::~CKeyboardView() { DestroyView(); }

bool CKeyboardView::Create(HWND parent, int id) {
  m_caps = KeyboardIn(SystemFaces(GetKeyboardLayout(0)));
  return CreateView(kClassName, parent, id);
}

void CKeyboardView::FollowLayout() {
  std::vector<KeyCap> caps = KeyboardIn(SystemFaces(GetKeyboardLayout(0)));
  const bool same = std::equal(caps.begin(), caps.end(), m_caps.begin(), m_caps.end(),
                               [](const KeyCap& a, const KeyCap& b) { return a.vk == b.vk && a.label == b.label; });
  if (same) return;
  m_caps = std::move(caps);
  SetCounts(m_totals);
}

void CKeyboardView::SetCounts(const std::vector<KeyTotal>& totals) {
  m_totals = totals;
  // Keys that share a code (the two Enters) both get its count; codes on no
  // cap are not drawn and do not set the scale either.
  m_strokes = CapStrokes(m_totals, m_caps);
  m_max = m_strokes.empty() ? 0 : *std::max_element(m_strokes.begin(), m_strokes.end());
  Redraw();
  if (m_hwnd) UpdateHover();
}

void CKeyboardView::Relayout(int width, int height) { m_layout = LayoutKeyboard(m_caps, KeyboardWidth(), KeyboardHeight(), width, height, m_dpi); }

void CKeyboardView::UpdateHover() {
  const int hit = m_pointer.inside ? HitKey(m_layout, m_pointer.at.x, m_pointer.at.y) : -1;
  if (hit != m_hover) {
    m_hover = hit;
    Redraw();
  }
  SetViewText(m_hwnd, HoverText());
}

std::string CKeyboardView::HoverText() const {
  const std::vector<KeyCap>& caps = m_caps;
  if (m_hover < 0 || static_cast<size_t>(m_hover) >= caps.size()) return "";
  const size_t i = static_cast<size_t>(m_hover);
  return KeyHoverText(caps[i].vk, i < m_strokes.size() ? m_strokes[i] : 0);
}

void CKeyboardView::Draw(HDC dc) {
  RECT rc;
  GetClientRect(m_hwnd, &rc);
  FillSolid(dc, rc, kViewBackground);
  HGDIOBJ oldFont = SelectObject(dc, ViewFont(m_hwnd, m_font));
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  SetBkMode(dc, TRANSPARENT);

  const std::vector<KeyCap>& caps = m_caps;
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
    const std::wstring label = Wide(caps[i].label);
    DrawTextW(dc, label.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

  DrawStrip(dc, m_layout.strip, HoverText());
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldFont);
}

}  // namespace tallivo::history
