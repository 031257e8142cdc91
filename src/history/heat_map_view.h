// The 时段 view: events by weekday (rows, Monday first) and hour (columns)
// as coloured cells, with the colour scale beside them. The cell under the
// pointer is named with its exact figure; the same text is the window's
// text (WM_GETTEXT), "" when the pointer is over no cell.
#pragma once

#include <windows.h>

#include "history/history_model.h"

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

  HWND m_hwnd = nullptr;
  WeekHourGrid m_grid;
};

}  // namespace tallivo::history
