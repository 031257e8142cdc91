// The 每日 view's bar chart: one bar per day of the range for the chosen
// figure, drawn off-screen. The day under the pointer gets a tip with its
// exact figures; the same text is the window's text (WM_GETTEXT), "" when
// the pointer is over no bar.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "history_window/history_model.h"
#include "history_window/history_window_rules.h"

namespace tallivo::history {

class CDailyChartView {
 public:
  CDailyChartView() = default;
  ~CDailyChartView();
  CDailyChartView(const CDailyChartView&) = delete;
  CDailyChartView& operator=(const CDailyChartView&) = delete;

  // A hidden child window of parent with the given control id.
  bool Create(HWND parent, int id);
  HWND Hwnd() const { return m_hwnd; }
  // The days in date order.
  void SetDays(const std::vector<DayRow>& days, DayFigure figure);
  // The margins and the tip's width at this DPI from now on.
  void SetDpi(int dpi);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void Paint();
  void Render(HDC dc, int width, int height);
  void OnMouseMove(int x, int y);
  void Hover(int index, POINT screen);
  void FreeFrame();

  HWND m_hwnd = nullptr;
  HWND m_tip = nullptr;
  int m_dpi = dpi::kBaseDpi;
  std::vector<DayRow> m_days;
  DayFigure m_figure = DayFigure::Clicks;
  int m_hover = -1;
  bool m_tracking = false;
  std::string m_tipText;
  // The last frame, kept until the data or the size changes.
  HDC m_frameDc = nullptr;
  HBITMAP m_frame = nullptr;
  HGDIOBJ m_oldFrame = nullptr;
  SIZE m_frameSize = {};
  bool m_frameValid = false;
};

}  // namespace tallivo::history
