// The main window's display: labels, status bar and tray tip, refreshed
// when something changed rather than on a clock, and the cursor sampling
// of the distance, which rests while the pointer does.
#include "main/main_dlg.h"

#include <commctrl.h>

#include <ctime>

#include "base/text_format.h"
#include "res/resource.h"
#include "stats/hook_library.h"
#include "stats/stats_text.h"
#include "stats/time_text.h"

using namespace tallivo;

namespace {
// Status-bar parts share the list of shown texts with the labels.
int StatusKey(int part) { return -1 - part; }
}  // namespace

bool CMainStatsDlg::LabelsOnScreen() const { return IsWindowVisible(Hwnd()) && !IsIconic(Hwnd()); }

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
  SetWindowTextW(Label(id), Wide(text).c_str());
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
  RequestRefresh();
}

void CMainStatsDlg::StartRefresh() { m_refreshing = SetTimer(Hwnd(), TIMER_REFRESH, kRefreshMs, nullptr) != 0; }

void CMainStatsDlg::OnRefreshTick() {
  // Each step reports whether it changed anything; the first tick after the
  // last change changes nothing, and the timer rests until the next one.
  bool changed = RefreshCursorText();
  changed |= RefreshCounters();
  changed |= RefreshTotalClicks();
  changed |= RefreshStatusBar();
  if (!changed) {
    KillTimer(Hwnd(), TIMER_REFRESH);
    m_refreshing = false;
  }
}

bool CMainStatsDlg::RefreshCursorText() {
  // While the sampling runs, its last sample is at most 10 ms old: no
  // second read of the cursor for the label.
  if (!m_samplingRest.Resting()) {
    const ScreenPoint p = m_distance.Last();
    return ShowLabel(IDC_CURSOR_POS, CursorText(p.x, p.y));
  }
  POINT pt = {};
  GetCursorPos(&pt);
  return ShowLabel(IDC_CURSOR_POS, CursorText(pt.x, pt.y));
}

bool CMainStatsDlg::RefreshCounters() {
  bool changed = m_tray.SetTip(TrayTip(m_totalClicks, m_counters.keys, m_distance.Metres()));

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

void CMainStatsDlg::SampleCursor() {
  // A failed read keeps the last position, so it counts no movement.
  static POINT pt = {};
  GetCursorPos(&pt);
  const uint32_t before = m_distance.Pixels();
  const bool moved = m_distance.Sample({pt.x, pt.y});
  // The hook sees a move before the cursor position shows it: what it had
  // seen by a sample that found the pointer moved is in that sample.
  if (moved) m_pointerMovesSampled = hooklib::PointerMoves();
  if (moved) {
    RecordMove(m_distance.Pixels() - before);
    ShowLabel(IDC_MOVE_METRES, MetresLabel(m_distance.Metres()));
    RequestRefresh();
  }
  if (m_samplingRest.AfterSample(moved)) RestSampling();
}

void CMainStatsDlg::RestSampling() {
  KillTimer(Hwnd(), TIMER_CURSOR);
  // A move the hook saw after the last sample that showed one, and before
  // the watch was set, is told by nobody: sample on. (A pointer pushed
  // against a screen edge is seen moving without going anywhere: it rests
  // two still seconds later.) A look every few seconds of rest covers a
  // pointer the hooks do not see move at all.
  const DWORD seen = hooklib::WatchPointer();
  if (seen != m_pointerMovesSampled) {
    m_pointerMovesSampled = seen;
    WakeSampling();
    return;
  }
  LookAtRestingPointer();
}

void CMainStatsDlg::WakeSampling() {
  if (!m_samplingRest.Wake()) return;
  // The next sample measures from the last sampled position: the first
  // step after the rest counts. Not one now: the hook is told of a move
  // before the cursor position shows it.
  SetTimer(Hwnd(), TIMER_CURSOR, kCursorMs, nullptr);
}

void CMainStatsDlg::CheckRestingPointer() {
  if (m_samplingRest.LookDue()) LookAtRestingPointer();
}

void CMainStatsDlg::LookAtRestingPointer() {
  POINT pt = {};
  if (GetCursorPos(&pt) && !(ScreenPoint{pt.x, pt.y} == m_distance.Last())) WakeSampling();
}
