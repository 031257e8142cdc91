// The main window's side of the activity charts: the tab sheet's two pages,
// seeded at start, fed every 100 ms, started over after a clear and carried
// into a new day.
#include "chart/chart_page_model.h"
#include "main/main_dlg.h"

using namespace tallivo;

void CMainStatsDlg::CreateChartPages() {
  m_tabSheet.AddPage(kHourPage.title, &m_hourPage, kHourPage.templateId);
  m_tabSheet.AddPage(kDayPage.title, &m_dayPage, kDayPage.templateId);
  m_tabSheet.CreatePages(0);
}

void CMainStatsDlg::SeedCharts() {
  const float total = TotalForChart(m_counters.GrandTotal());
  m_hourPage.SetPreviousTotal(total);
  m_dayPage.SetPreviousTotal(total);
}

void CMainStatsDlg::FeedCharts() {
  const float total = TotalForChart(m_counters.GrandTotal());
  m_hourPage.SetCurrentTotal(total);
  m_dayPage.SetCurrentTotal(total);
}

void CMainStatsDlg::ResetChartTotals() {
  // Called once the counters are zero. The current totals start over as
  // well: a page tick before the next 100 ms feed would otherwise plot the
  // whole cleared total as activity.
  SeedCharts();
  FeedCharts();
}

void CMainStatsDlg::CarryChartsIntoNewDay() {
  // Called before the counters start over at midnight. The charts are
  // rolling windows: the events since their last tick still count, the
  // drop to zero does not.
  const float total = TotalForChart(m_counters.GrandTotal());
  m_hourPage.ShiftTotalsDown(total);
  m_dayPage.ShiftTotalsDown(total);
}
