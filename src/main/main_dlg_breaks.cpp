// The main window's part in the breaks: the clock is fed once a second from
// what the day's counters and the pointer did, the break window follows it
// and the history keeps what became of each break. While breaks are off
// none of it runs.
#include <ctime>

#include "breaks/break_window.h"
#include "main/main_dlg.h"
#include "res/resource.h"
#include "stats/stats_text.h"

using namespace tallivo;
using breaks::BreakKind;
using history::BreakDelta;

namespace {
// A number that changes at local midnight.
int64_t DayNumberOf(time_t t) {
  const history::LocalHour h = history::LocalHourAt(t);
  return int64_t{h.year} * 10000 + h.month * 100 + h.day;
}
}  // namespace

void CMainStatsDlg::StartBreaks(const breaks::BreakSettings& s) {
  m_breaks.SetSettings(s);
  if (!m_breaks.Settings().on) return;
  const time_t now = time(nullptr);
  uint64_t active = 0;
  // The day's active time so far counts toward the limit.
  if (m_breaks.Settings().dailyLimit > 0) {
    std::string why;
    if (history::HistoryStore* store = ReadableStore(&why)) {
      const std::string today = history::DateKey(history::LocalHourAt(now));
      for (const history::DayRow& r : store->Days(today, today)) active += r.activeSeconds;
    }
  }
  m_breaks.StartDay(DayNumberOf(now), active);
  m_breakEventsSeen = m_counters.GrandTotal();
  m_breakPixelsSeen = m_distance.Pixels();
}

void CMainStatsDlg::BreaksSecond(time_t now) {
  if (!m_breaks.Settings().on) return;
  // The counters start again at midnight and at a clear.
  const uint32_t total = m_counters.GrandTotal();
  const uint32_t events = total >= m_breakEventsSeen ? total - m_breakEventsSeen : total;
  m_breakEventsSeen = total;
  const uint32_t pixels = m_distance.Pixels();
  const bool moved = pixels != m_breakPixelsSeen;
  m_breakPixelsSeen = pixels;

  const breaks::Step s = m_breaks.Second(now / 60, DayNumberOf(now), events, moved);
  if (s.due) {
    if (!s.dueAgain) RecordBreak(*s.due, &BreakDelta::due);
    m_breakWindow.Show(Hwnd(), breaks::BreakTitle(*s.due, m_breaks.Settings()), m_breaks.Remaining());
  } else if (m_breaks.Showing()) {
    m_breakWindow.Update(m_breaks.Remaining(), s.countdownReset);
  }
  if (s.taken) {
    RecordBreak(*s.taken, &BreakDelta::taken);
    m_breakWindow.Close();
  }
  if (s.takenByPause) RecordBreak(*s.takenByPause, &BreakDelta::taken);
  if (s.limitReached) m_tray.Notify("每日上限", breaks::DailyLimitText(m_breaks.Settings().dailyLimit));
}

void CMainStatsDlg::OnBreakButton(WORD id) {
  const std::optional<BreakKind> kind = m_breaks.Showing();
  m_breakWindow.Close();
  if (!kind) return;
  if (id == IDC_BREAK_POSTPONE) {
    m_breaks.Postpone();
    RecordBreak(*kind, &BreakDelta::postponed);
  } else {
    m_breaks.Skip();
    RecordBreak(*kind, &BreakDelta::skipped);
  }
  RefreshTip();
}

void CMainStatsDlg::RecordBreak(BreakKind kind, uint64_t BreakDelta::*field) {
  m_history.AddBreak(time(nullptr), breaks::KindKey(kind), field);
}

void CMainStatsDlg::OnBreaksDialog() {
  breaks::CBreaksDlg dlg;
  if (dlg.DoModal() != IDOK) return;
  if (dlg.Chosen().on && !m_breaks.Settings().on) {
    StartBreaks(dlg.Chosen());
  } else {
    m_breaks.SetSettings(dlg.Chosen());
    if (!dlg.Chosen().on) m_breakWindow.Close();
  }
  RefreshTip();
}

std::string CMainStatsDlg::TipText(uint32_t totalClicks) const {
  std::string tip = TrayTip(totalClicks, m_counters.keys, m_distance.Metres());
  if (!m_breaks.Settings().on) return tip;
  tip += '\n';
  tip += breaks::NextBreakLine(m_breaks);
  return tip;
}
