#include "history_window/heat_map_view.h"

#include <exception>
#include <string>

#include "base/text_format.h"
#include "ui/data_exchange.h"

namespace tallivo::history {

namespace {

constexpr wchar_t kClassName[] = L"TallivoHeatMapView";

COLORREF CellColour(uint64_t value, uint64_t max) { return value ? HeatColour(value, max) : kPlainColour; }

void DrawTextIn(HDC dc, const std::string& text, RECT r, UINT format) {
  const std::wstring wide = Wide(text);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

CHeatMapView::~CHeatMapView() { DestroyView(); }

bool CHeatMapView::Create(HWND parent, int id) { return CreateView(kClassName, parent, id); }

void CHeatMapView::SetGrid(const WeekHourGrid& grid) {
  m_grid = grid;
  Redraw();
  // The same cell may hold another figure now.
  if (m_hwnd) SetViewText(m_hwnd, CellHoverText(m_grid, m_hover));
}

void CHeatMapView::Relayout(int width, int height) { m_layout = LayoutHeatMap(width, height, m_dpi); }

void CHeatMapView::UpdateHover() {
  const CellHit hit = m_pointer.inside ? HitHeatCell(m_layout, m_pointer.at.x, m_pointer.at.y) : CellHit{};
  if (hit != m_hover) {
    m_hover = hit;
    Redraw();
  }
  SetViewText(m_hwnd, CellHoverText(m_grid, m_hover));
}

void CHeatMapView::Draw(HDC dc) {
  RECT rc;
  GetClientRect(m_hwnd, &rc);
  FillSolid(dc, rc, kViewBackground);
  HGDIOBJ oldFont = SelectObject(dc, ViewFont(m_hwnd, m_font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kViewText);
  const HeatMapLayout& l = m_layout;
  const auto px = [this](int length) { return dpi::Scale(length, m_dpi); };

  for (int d = 0; d < 7; ++d) {
    const PixelRect cell = HeatCellRect(l, d, 0);
    DrawTextIn(dc, WeekdayName(d), {l.dayLabels.left, cell.top, l.dayLabels.right, cell.bottom}, DT_RIGHT | DT_VCENTER);
  }
  for (int h = 0; h < 24; h += l.hourLabelStep) {
    const PixelRect cell = HeatCellRect(l, 0, h);
    const int mid = (cell.left + cell.right) / 2;
    DrawTextIn(dc, std::to_string(h), {mid - px(20), l.hourLabels.top, mid + px(20), l.hourLabels.bottom},
               DT_CENTER | DT_VCENTER);
  }

  for (int d = 0; d < 7; ++d) {
    for (int h = 0; h < 24; ++h) {
      FillSolid(dc, ToRect(HeatCellRect(l, d, h)), CellColour(m_grid.cells[d][h], m_grid.max));
    }
  }
  if (m_hover.Hit()) {
    RECT r = ToRect(HeatCellRect(l, m_hover.weekday, m_hover.hour));
    HBRUSH frame = CreateSolidBrush(kViewHover);
    if (frame) {
      FrameRect(dc, &r, frame);
      DeleteObject(frame);
    }
  }

  // The scale: plain at 0 on the left, the range's busiest hour on the right.
  const PixelRect& bar = l.legend;
  for (int x = bar.left; x < bar.right; ++x) {
    const uint64_t v = LegendValue(x - bar.left, bar.Width(), m_grid.max);
    FillSolid(dc, {x, bar.top, x + 1, bar.bottom}, CellColour(v, m_grid.max));
  }
  const RECT legendRow = {l.dayLabels.left, bar.top - px(6), l.dayLabels.right, bar.bottom + px(6)};
  DrawTextIn(dc, "0", legendRow, DT_RIGHT | DT_VCENTER);
  DrawTextIn(dc, std::to_string(m_grid.max) + "次", {bar.right + px(6), legendRow.top, l.grid.right, legendRow.bottom},
             DT_LEFT | DT_VCENTER);

  DrawStrip(dc, l.strip, CellHoverText(m_grid, m_hover));
  SelectObject(dc, oldFont);
}

}  // namespace tallivo::history
