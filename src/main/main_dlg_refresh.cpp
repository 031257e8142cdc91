// The main window's display: labels, status bar and tray tip, refreshed
// when something changed rather than on a clock and written only where
// somebody can see them, and the distance from the hook's samples.
#include "main/main_dlg.h"

#include <commctrl.h>

#include <ctime>

#include "base/messages.h"
#include "base/text_format.h"
#include "res/resource.h"
#include "stats/hook_library.h"
#include "stats/stats_text.h"
#include "stats/time_text.h"

using namespace tallivo;

namespace {
// Status-bar parts share the list of shown texts with the labels.
int StatusKey(int part) { return -1 - part; }

// The second of a hook's tick, from a take at `now` (`tick` then); a tick
// after the take's own is taken as now.
time_t SecondOfTick(time_t now, DWORD tick, DWORD atMs) {
  const DWORD ago = tick - atMs;
  return ago < 0x80000000u ? now - static_cast<time_t>(ago / 1000) : now;
}
}  // namespace

bool CMainStatsDlg::LabelsOnScreen() const { return IsWindowVisible(Hwnd()) && !IsIconic(Hwnd()); }

bool CMainStatsDlg::SomethingOnScreen() const {
  return LabelsOnScreen() || (m_processPanel.Hwnd() && IsWindowVisible(m_processPanel.Hwnd()));
}

// The shell tells of the pointer on the icon as it moves there; a tip
// stays up a while after the last word.
bool CMainStatsDlg::TipWatched() const { return m_tipWatchedAt != 0 && GetTickCount() - m_tipWatchedAt < 3000; }

bool CMainStatsDlg::RefreshTip() {
  return m_tray.SetTip(TipText(m_counters.TotalClicks()));
}

HWND CMainStatsDlg::Label(int id) {
  // Looked up once: each GetDlgItem is a walk through the dialog's children,
  // which under Wine costs a call to its server, as much as the write.
  for (const auto& [labelId, window] : m_labels) {
    if (labelId == id) return window;
  }
  HWND window = GetDlgItem(Hwnd(), id);
  if (window) m_labels.emplace_back(id, window);
  return window;
}

bool CMainStatsDlg::ShowLabel(int id, const std::string& text, bool onlyOnScreen) {
  if (!m_shown.Put(id, text, !onlyOnScreen || LabelsOnScreen())) return false;
  m_labelPainter.Set(Label(id), Wide(text));
  return true;
}

bool CMainStatsDlg::ShowStatus(int part, const std::string& text) {
  if (!m_statusBar || !m_shown.Put(StatusKey(part), text, true)) return false;
  SendMessageW(m_statusBar, SB_SETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(Wide(text).c_str()));
  return true;
}

void CMainStatsDlg::OnShown() {
  // The texts of each second that the hidden window did not write.
  m_shown.CatchUp([this](int key, const std::string& text) { SetWindowTextW(Label(key), Wide(text).c_str()); });
  // Not through RequestRefresh: while WM_SHOWWINDOW is handled the window
  // is not visible yet. The first tick writes what hidden ones did not.
  if (!m_refreshing) StartRefresh();
}

void CMainStatsDlg::StartRefresh() { m_refreshing = SetTimer(Hwnd(), TIMER_REFRESH, kRefreshMs, nullptr) != 0; }

void CMainStatsDlg::OnRefreshTick() {
  // Each step reports whether it changed anything; the first tick after the
  // last change changes nothing, and the timer rests until the next one.
  // The hook's move count before the take: a move after it keeps the tick.
  const DWORD moves = hooklib::PointerMoves();
  bool changed = TakeInput();
  changed |= TakePointerSamples();
  if (!SomethingOnScreen() && !m_writeAll) {
    // Hidden: only the tip, while the pointer is on the icon.
    changed |= RefreshTip();
    if (!TipWatched() || !changed) {
      KillTimer(Hwnd(), TIMER_REFRESH);
      m_refreshing = false;
    }
    return;
  }
  m_writeAll = false;
  changed |= moves != m_pointerMovesTaken;
  m_pointerMovesTaken = moves;
  changed |= RefreshCursorText();
  changed |= RefreshCounters();
  changed |= RefreshTotalClicks();
  changed |= RefreshStatusBar();
  if (!changed) {
    KillTimer(Hwnd(), TIMER_REFRESH);
    m_refreshing = false;
    // The next move says so with one message; one since the last take
    // keeps the tick going.
    if (hooklib::WatchPointer() != m_pointerMovesTaken) RequestRefresh();
  }
}

bool CMainStatsDlg::RefreshCursorText() {
  // The last sample is where the pointer is: no read of the cursor.
  const ScreenPoint p = m_distance.Last();
  return ShowLabel(IDC_CURSOR_POS, CursorText(p.x, p.y));
}

bool CMainStatsDlg::RefreshCounters() {
  // The tip only while the pointer is on the icon; else the second's tick.
  bool changed = TipWatched() && m_tray.SetTip(TipText(m_totalClicks));

  static const struct {
    int id;
    InputKind kind;
  } kLabels[] = {
      {IDC_LEFT_CLICKS, InputKind::Left},  {IDC_RIGHT_CLICKS, InputKind::Right}, {IDC_MIDDLE_CLICKS, InputKind::Middle},
      {IDC_WHEEL_STEPS, InputKind::Wheel}, {IDC_KEY_STROKES, InputKind::Key},
  };
  const uint32_t values[] = {m_counters.left, m_counters.right, m_counters.middle, m_counters.wheel, m_counters.keys};
  for (size_t i = 0; i < sizeof kLabels / sizeof kLabels[0]; ++i) {
    changed |= ShowLabel(kLabels[i].id, CounterLabel(kLabels[i].kind, values[i]));
  }
  FeedCharts();

  CProcessStatsDlg::SetProcessCounts(m_procCounters, m_counters.GrandTotal());
  return changed;
}

bool CMainStatsDlg::RefreshTotalClicks() {
  // The tip of the next tick shows the new total: a change here keeps the
  // refresh going for that tick.
  const uint32_t total = m_counters.TotalClicks();
  const bool changed = total != m_totalClicks;
  m_totalClicks = total;
  return ShowLabel(IDC_TOTAL_CLICKS, TotalClicksLabel(m_totalClicks)) || changed;
}

bool CMainStatsDlg::RefreshStatusBar() {
  bool changed = ShowStatus(0, LapsText(m_distance.Metres()));
  changed |= ShowStatus(1, MilestoneText(m_totalClicks));
  return changed;
}

void CMainStatsDlg::RefreshRunTimeAndClock() {
  ++m_runSeconds;
  ShowRunTimeAndClock();
}

void CMainStatsDlg::ShowRunTimeAndClock() {
  m_runText = RunTimeText(m_runSeconds);
  // Texts that change every second are left alone while nobody sees them.
  ShowLabel(IDC_RUN_TIME, m_runText, true);
  time_t now = time(nullptr);
  if (const tm* local = localtime(&now)) ShowLabel(IDC_CLOCK, ClockText(*local), true);
}

void CMainStatsDlg::RefreshUptime() { ShowLabel(IDC_UPTIME, UptimeText(GetTickCount64()), true); }

bool CMainStatsDlg::TakePointerSamples() {
  TallivoSample samples[256];
  bool any = false;
  const time_t now = time(nullptr);
  const DWORD tick = GetTickCount();
  for (unsigned n; (n = hooklib::TakeSamples(samples, 256)) > 0;) {
    any = true;
    for (unsigned i = 0; i < n; ++i) {
      // Filed under the second of its own tick, as counted then.
      SamplePointer({samples[i].x, samples[i].y}, SecondOfTick(now, tick, samples[i].atMs));
    }
    if (n < 256) break;
  }
  if (any) ShowLabel(IDC_MOVE_METRES, MetresLabel(m_distance.Metres()), true);
  return any;
}

bool CMainStatsDlg::TakeInput() {
  TallivoEvent events[256];
  bool any = false;
  const time_t now = time(nullptr);
  const DWORD tick = GetTickCount();
  for (unsigned n; (n = hooklib::TakeEvents(events, 256)) > 0;) {
    any = true;
    for (unsigned i = 0; i < n; ++i) {
      const TallivoEvent& e = events[i];
      InputKind kind;
      if (!InputKindForMessage(kGlobalInputFirst + e.kind, &kind)) continue;
      // An event before midnight still belongs to that day; one older than
      // the day shown (taken after the day turned) to this one.
      time_t at = SecondOfTick(now, tick, e.atMs);
      if (at < m_dayClock.Start()) at = m_dayClock.Start();
      RollOverDayIfNeeded(at);
      m_counters.Add(kind, e.count);
      const unsigned vk = kind == InputKind::Key ? e.code : 0;
      m_history.AddEvent(at, kind, vk, m_foreground.Of(reinterpret_cast<HWND>(static_cast<uintptr_t>(e.foreground))),
                         e.count);
    }
    if (n < 256) break;
  }
  return any;
}

bool CMainStatsDlg::SamplePointer(ScreenPoint p, time_t at) {
  const uint32_t before = m_distance.Pixels();
  if (!m_distance.Sample(p)) return false;
  RecordMove(m_distance.Pixels() - before, at);
  return true;
}

void CMainStatsDlg::LookAtPointer() {
  // A pointer placed by a program: the hooks see no move, the cursor does.
  m_secondsSinceLook = 0;
  POINT pt = {};
  if (GetCursorPos(&pt) && SamplePointer({pt.x, pt.y}, time(nullptr))) {
    ShowLabel(IDC_MOVE_METRES, MetresLabel(m_distance.Metres()), true);
    RequestRefresh();
  }
}
