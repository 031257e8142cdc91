// CChartPage: a borderless child dialog in the tab sheet that turns the main
// window's running input total into a rate, one bar per page tick.
#pragma once

#include <windows.h>

#include "chart/chart_page_model.h"
#include "chart/curve_chart.h"
#include "ui/dialog.h"

class CChartPage : public ui::CDialog {
 public:
  explicit CChartPage(const tallivo::ChartPageSettings& settings);

  void SetCurrentTotal(float total) { m_totals.SetCurrentTotal(total); }
  void SetPreviousTotal(float total) { m_totals.SetPreviousTotal(total); }
  void ShiftTotalsDown(float by) { m_totals.ShiftDown(by); }
  // The chart sized for the DPI, then drawn at it.
  void SetDpi(int dpi);
  const tallivo::ChartPageSettings& Settings() const { return m_settings; }

 protected:
  BOOL OnInitDialog() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  void OnTick();
  void SizeChart(int dpi);

  const tallivo::ChartPageSettings& m_settings;
  CCurveChart m_chart;
  tallivo::RateSampler m_totals;
};
