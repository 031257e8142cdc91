#include "chart/chart_page.h"

#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/dpi_rules.h"

namespace {
constexpr UINT_PTR kPageTimer = 1;
}

CChartPage::CChartPage(const tallivo::ChartPageSettings& settings)
    : ui::CDialog(settings.templateId), m_settings(settings) {}

BOOL CChartPage::OnInitDialog() {
  HWND h = Hwnd();
  // The template's "System" font does not grow with the DPI, so the chart's
  // size is set here and not taken from the template's units.
  SizeChart(ui::WindowDpi(h));
  m_chart.AttachItem(h, IDC_CHART);
  const auto& s = m_settings;
  m_chart.SetCaption(s.captionPrefix, s.captionSuffix);
  m_chart.SetAxis(s.divisor, s.labels[0], s.labels[1], s.labels[2], s.labels[3], s.labels[4], s.labels[5]);
  m_chart.SetStep(s.step);
  m_chart.SetGridX(s.gridX);
  // Runs whether or not the page is on show; a hidden page keeps its history.
  SetTimer(h, kPageTimer, s.periodMs, nullptr);
  return TRUE;
}

void CChartPage::SizeChart(int dpi) {
  if (HWND chart = GetDlgItem(Hwnd(), IDC_CHART)) {
    SetWindowPos(chart, nullptr, 0, 0, tallivo::dpi::Scale(tallivo::kChartWidth, dpi),
                 tallivo::dpi::Scale(tallivo::kChartHeight, dpi), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CChartPage::SetDpi(int dpi) {
  SizeChart(dpi);
  m_chart.SetDpi(dpi);
}

void CChartPage::OnTick() { m_chart.AddPoint(m_totals.Tick()); }

INT_PTR CChartPage::OnMessage(UINT msg, WPARAM, LPARAM, bool*) {
  // Every timer message is a tick, whatever its id; then default processing.
  if (msg == WM_TIMER) OnTick();
  return 0;
}
