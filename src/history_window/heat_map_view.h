// The 时段 view: events by weekday (rows, Monday first) and hour (columns)
// as coloured cells, with the colour scale beside them. The cell under the
// pointer is named with its exact figure; the same text is the window's
// text (WM_GETTEXT), "" when the pointer is over no cell.
#pragma once

#include <windows.h>

#include "history_window/history_model.h"
#include "history_window/history_view_geometry.h"
#include "history_window/view_canvas.h"

namespace tallivo::history {

class CHeatMapView : public CCanvasView {
 public:
  CHeatMapView() = default;
  ~CHeatMapView() override;

  // A hidden child window of parent with the given control id.
  bool Create(HWND parent, int id);
  void SetGrid(const WeekHourGrid& grid);

 private:
  void Relayout(int width, int height) override;
  void Draw(HDC dc) override;
  // Names the cell under the pointer; redraws when it is another one.
  void UpdateHover() override;

  WeekHourGrid m_grid;
  HeatMapLayout m_layout;
  CellHit m_hover;
};

}  // namespace tallivo::history
