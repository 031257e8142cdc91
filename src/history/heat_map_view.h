// The 时段 view: events by weekday (rows, Monday first) and hour (columns)
// as coloured cells, with the colour scale beside them. The cell under the
// pointer is named with its exact figure; the same text is the window's
// text (WM_GETTEXT), "" when the pointer is over no cell.
#pragma once

#include <windows.h>

#include "history/history_model.h"
#include "history/history_view_geometry.h"
#include "history/view_canvas.h"

namespace tallivo::history {

class CHeatMapView {
 public:
  CHeatMapView() = default;
  ~CHeatMapView();
  CHeatMapView(const CHeatMapView&) = delete;
  CHeatMapView& operator=(const CHeatMapView&) = delete;

  // A hidden child window of parent with the given control id.
  bool Create(HWND parent, int id);
  HWND Hwnd() const { return m_hwnd; }
  void SetGrid(const WeekHourGrid& grid);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void OnPaint();
  void Draw(HDC dc);
  // Names the cell under the pointer; redraws when it is another one.
  void UpdateHover();
  void Redraw();

  HWND m_hwnd = nullptr;
  WeekHourGrid m_grid;
  HeatMapLayout m_layout;
  ViewCanvas m_canvas;
  bool m_stale = true;  // the canvas does not show the current picture
  PointerTracker m_pointer;
  CellHit m_hover;
  HFONT m_font = nullptr;  // from WM_SETFONT, not owned
};

}  // namespace tallivo::history
