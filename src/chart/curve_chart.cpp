#include "chart/curve_chart.h"

#include <array>
#include <string>

#include "base/text_format.h"
#include "ui/dpi.h"

using tallivo::ChartRect;
using tallivo::ChartRgb;
namespace chart = tallivo::chart;

namespace {

// The caption is Chinese. "Times New Roman" has no such glyphs, and not every
// system links a CJK font to it (Wine does not), so the labels use 宋体,
// which has the digits as well.
constexpr wchar_t kFontFace[] = L"宋体";

COLORREF Colour(ChartRgb c) { return RGB(c.r, c.g, c.b); }

ChartRect ToChartRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

}  // namespace

CCurveChart::CCurveChart() { InitializeCriticalSection(&m_lock); }

CCurveChart::~CCurveChart() {
  DeleteFrame();
  if (m_backgroundDc) DeleteDC(m_backgroundDc);
  if (m_backgroundBitmap) DeleteObject(m_backgroundBitmap);
  if (m_barBrush) DeleteObject(m_barBrush);
  if (m_gridPen) DeleteObject(m_gridPen);
  if (m_font) DeleteObject(m_font);
  DeleteCriticalSection(&m_lock);
}

void CCurveChart::OnAttach() {
  HWND h = Hwnd();
  SetWindowLongPtrW(h, GWL_STYLE, GetWindowLongPtrW(h, GWL_STYLE) | SS_NOTIFY);
  RECT rc;
  GetClientRect(h, &rc);
  {
    Lock lock(&m_lock);
    m_model.SetDpi(ui::WindowDpi(h), rc.right - rc.left, rc.bottom - rc.top);
  }
  CreateDpiObjects();
}

void CCurveChart::SetDpi(int dpi) {
  HWND h = Hwnd();
  if (!h) return;
  RECT rc;
  GetClientRect(h, &rc);
  {
    Lock lock(&m_lock);
    m_model.SetDpi(dpi, rc.right - rc.left, rc.bottom - rc.top);
  }
  // The bar pattern is drawn again at the next paint.
  if (m_barBrush) DeleteObject(m_barBrush);
  if (m_backgroundDc) DeleteDC(m_backgroundDc);
  if (m_backgroundBitmap) DeleteObject(m_backgroundBitmap);
  m_barBrush = nullptr;
  m_backgroundDc = nullptr;
  m_backgroundBitmap = nullptr;
  if (m_font) DeleteObject(m_font);
  if (m_gridPen) DeleteObject(m_gridPen);
  CreateDpiObjects();
  PictureChanged();
}

void CCurveChart::CreateDpiObjects() {
  HWND h = Hwnd();
  m_font = CreateFontW(-m_model.Px(chart::kFontPixels), 0, 0, 0, FW_THIN, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, kFontFace);
  m_gridPen = CreatePen(PS_SOLID, m_model.Px(1), Colour(chart::kGrid));
  // The window owns the region from here on.
  const int corner = m_model.Px(chart::kCornerEllipse);
  HRGN region = CreateRoundRectRgn(0, 0, m_model.Width(), m_model.Height(), corner, corner);
  if (region && !SetWindowRgn(h, region, TRUE)) DeleteObject(region);
}

void CCurveChart::PictureChanged() {
  // Drawn at the next paint, which the system sends only to a chart on
  // screen; a hidden one draws its picture when it is shown.
  if (HWND h = Hwnd()) InvalidateRect(h, nullptr, FALSE);
}

void CCurveChart::SetCaption(const char* prefix, const char* suffix) {
  {
    Lock lock(&m_lock);
    m_model.SetCaption(Text(prefix), Text(suffix));
  }
  PictureChanged();
}

void CCurveChart::SetAxis(UINT divisor, const char* label0, const char* label1, const char* label2, const char* label3,
                          const char* label4, const char* label5) {
  {
    Lock lock(&m_lock);
    m_model.SetAxis(divisor, {Text(label0), Text(label1), Text(label2), Text(label3), Text(label4), Text(label5)});
  }
  PictureChanged();
}

bool CCurveChart::SetStep(int step) {
  bool ok = false;
  {
    Lock lock(&m_lock);
    ok = m_model.SetStep(step);
  }
  PictureChanged();
  return ok;
}

void CCurveChart::SetGridX(int spacing) {
  {
    Lock lock(&m_lock);
    m_model.SetGridX(spacing);
  }
  PictureChanged();
}

void CCurveChart::AddPoint(float value) {
  {
    Lock lock(&m_lock);
    m_model.AddPoint(value);
  }
  PictureChanged();
}

LRESULT CCurveChart::OnMessage(UINT msg, WPARAM, LPARAM, bool* handled) {
  switch (msg) {
    case WM_SIZE: PictureChanged(); return 0;
    case WM_ERASEBKGND: *handled = true; return 1;
    case WM_PAINT:
      // The whole frame, never erased first.
      OnPaint();
      *handled = true;
      return 0;
    default: return 0;
  }
}

void CCurveChart::OnPaint() {
  HWND h = Hwnd();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  if (!dc) return;
  RECT rc;
  GetClientRect(h, &rc);
  const int w = rc.right - rc.left;
  const int ht = rc.bottom - rc.top;

  // The off-screen frame is made once and kept: making a memory DC and a
  // bitmap for every frame cost twice as much as drawing the frame.
  if (!m_frameDc || m_frameSize.cx != w || m_frameSize.cy != ht) CreateFrame(dc, w, ht);
  HDC mem = m_frameDc;
  if (mem) {
    POINT oldOrg = {};
    GetBrushOrgEx(mem, &oldOrg);
    if (!m_backgroundDc || !m_backgroundBitmap) CreateBackground(dc, rc);
    DrawGrid(mem, rc);
    {
      // Bars and caption of one frame come from the same samples.
      Lock lock(&m_lock);
      DrawBars(mem, rc);
      DrawLabels(mem);
    }
    SetBrushOrgEx(mem, oldOrg.x, oldOrg.y, nullptr);
    BitBlt(dc, rc.left, rc.top, w, ht, mem, 0, 0, SRCCOPY);
  }
  EndPaint(h, &ps);
}

void CCurveChart::CreateFrame(HDC screen, int w, int ht) {
  DeleteFrame();
  m_frameDc = CreateCompatibleDC(screen);
  m_frameBitmap = CreateCompatibleBitmap(screen, w, ht);
  if (!m_frameDc || !m_frameBitmap) {
    DeleteFrame();
    return;
  }
  m_oldFrameBitmap = SelectObject(m_frameDc, m_frameBitmap);
  m_frameSize = {w, ht};
}

void CCurveChart::DeleteFrame() {
  if (m_frameDc && m_oldFrameBitmap) SelectObject(m_frameDc, m_oldFrameBitmap);
  if (m_frameDc) DeleteDC(m_frameDc);
  if (m_frameBitmap) DeleteObject(m_frameBitmap);
  m_frameDc = nullptr;
  m_frameBitmap = nullptr;
  m_oldFrameBitmap = nullptr;
  m_frameSize = {0, 0};
}

void CCurveChart::CreateBackground(HDC screen, const RECT& client) {
  const int w = client.right - client.left;
  const int ht = client.bottom - client.top;
  if (!m_backgroundDc) m_backgroundDc = CreateCompatibleDC(screen);
  if (!m_backgroundBitmap) m_backgroundBitmap = CreateCompatibleBitmap(screen, w, ht);
  if (!m_backgroundDc || !m_backgroundBitmap) return;
  HGDIOBJ old = SelectObject(m_backgroundDc, m_backgroundBitmap);
  // Only the two leftmost columns carry the gradient; the rest of each bar
  // is black.
  PatBlt(m_backgroundDc, 0, 0, w, ht, BLACKNESS);
  const int columns = m_model.Px(chart::kGradientColumns);
  for (int row = 0; row < ht; ++row) {
    const COLORREF c = Colour(chart::GradientColour(row, ht));
    for (int column = 0; column < columns; ++column) SetPixelV(m_backgroundDc, column, row, c);
  }
  SelectObject(m_backgroundDc, old);
  if (!m_barBrush) m_barBrush = CreatePatternBrush(m_backgroundBitmap);
}

void CCurveChart::DrawGrid(HDC dc, const RECT& client) {
  SetBkColor(dc, Colour(chart::kBackground));
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  HGDIOBJ oldPen = SelectObject(dc, m_gridPen);
  std::vector<int> xs, ys;
  int w = 0, ht = 0;
  {
    Lock lock(&m_lock);
    xs = m_model.VerticalGridLines();
    ys = m_model.HorizontalGridLines();
    w = m_model.Width();
    ht = m_model.Height();
  }
  for (int x : xs) {
    MoveToEx(dc, x, 0, nullptr);
    LineTo(dc, x, ht);
  }
  for (int y : ys) {
    MoveToEx(dc, 0, y, nullptr);
    LineTo(dc, w, y);
  }
  SelectObject(dc, oldPen);
}

void CCurveChart::DrawBars(HDC dc, const RECT& client) {
  if (!m_barBrush) return;
  const COLORREF marker = Colour(chart::kMarker);
  const int dot = m_model.Px(1);
  for (const chart::Bar& bar : m_model.Bars(ToChartRect(client))) {
    SetBrushOrgEx(dc, bar.brushOrg.x, bar.brushOrg.y, nullptr);
    const RECT r = {bar.rect.left, bar.rect.top, bar.rect.right, bar.rect.bottom};
    FillRect(dc, &r, m_barBrush);
    for (int dy = 0; dy < dot; ++dy) {
      for (int dx = 0; dx < dot; ++dx) SetPixelV(dc, bar.marker.x + dx, bar.marker.y + dy, marker);
    }
  }
}

void CCurveChart::DrawLabels(HDC dc) {
  const COLORREF oldColour = GetTextColor(dc);
  const int oldMode = GetBkMode(dc);
  SetTextColor(dc, Colour(chart::kText));
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = m_font ? SelectObject(dc, m_font) : nullptr;
  for (const chart::Label& label : m_model.Labels()) {
    const std::wstring text = tallivo::Wide(label.text);
    TextOutW(dc, label.at.x, label.at.y, text.c_str(), static_cast<int>(text.size()));
  }
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  if (oldFont) SelectObject(dc, oldFont);
}
