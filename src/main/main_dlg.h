// The main statistics window: owns the day's figures and every long-lived
// window object, drives the program from its timers and private messages.
#pragma once

#include <windows.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "base/counters.h"
#include "breaks/break_rules.h"
#include "breaks/break_window.h"
#include "chart/chart_page.h"
#include "chart/tab_sheet.h"
#include "history_window/history_dlg.h"
#include "history/history_recorder.h"
#include "history_window/history_source.h"
#include "history/history_store.h"
#include "history/history_win.h"
#include "history/sync_folder.h"
#include "main/main_timers.h"
#include "main/tray_icon.h"
#include "process/process_stats_dlg.h"
#include "stats/day_store.h"
#include "stats/distance.h"
#include "stats/global_hooks.h"
#include "tools/autostart.h"
#include "tools/button_swap.h"
#include "tools/hotkey.h"
#include "tools/idle_shutdown_timer.h"
#include "ui/dialog.h"
#include "ui/label_painter.h"
#include "ui/mag_dialog.h"
#include "ui/shown_texts.h"

// Derives from the docking dialog: it is the owner the per-process panel
// docks to.
class CMainStatsDlg : public CMagDialog, public tallivo::history::HistorySource {
 public:
  CMainStatsDlg();
  ~CMainStatsDlg() override;

  // After the day's counters were cleared: the next point of either chart
  // counts only what happens from now on, not the fall to zero.
  void ResetChartTotals();

  // The history window's store: what was gathered written first.
  tallivo::history::HistoryStore* ReadableStore(std::string* why) override;
  void HistoryChanged() override { m_copySchedule.Changed(); }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  void OnTimer(UINT_PTR id);
  void OnPaintIconic();
  void OnExit();
  bool OnClose();
  void OnDestroy();
  void OnSize(WPARAM type);
  void OnTrayNotify(LPARAM mouseMsg);
  void OnShowWindow();
  void OnClearStats();

  // What the window and the tray show (main_dlg_refresh.cpp). The 100 ms
  // tick runs only while something may have changed: an event, a pointer
  // move, a clear, the window coming on screen; a tick that changes nothing
  // stops it.
  // Hidden, the window writes nothing of it: the tray tip once a second
  // (every tick while the pointer rests on the icon), the rest when shown.
  void RequestRefresh() {
    if (!m_refreshing && (SomethingOnScreen() || TipWatched())) StartRefresh();
  }
  bool SomethingOnScreen() const;
  bool TipWatched() const;
  bool RefreshTip();
  void StartRefresh();
  void OnRefreshTick();
  bool RefreshCursorText();
  bool RefreshCounters();
  bool RefreshTotalClicks();
  bool RefreshStatusBar();
  // Labels are written only when their text changed; those that change
  // every second (onlyOnScreen) not at all while the window is hidden, and
  // it writes what they missed when it is shown again.
  bool LabelsOnScreen() const;
  bool ShowLabel(int id, const std::string& text, bool onlyOnScreen = false);
  HWND Label(int id);
  bool ShowStatus(int part, const std::string& text);
  void OnShown();
  // 1 s tick
  void RefreshRunTimeAndClock();
  void ShowRunTimeAndClock();
  void RefreshUptime();
  tallivo::DayFigures CurrentDayFigures() const;
  // All ten entries (the ways out), or those that changed (every second).
  void SaveDayFigures();
  void SaveChangedDayFigures();
  void LoadDayFigures();
  void DrainPendingInput();
  // Starts the day's figures over when the local date has changed since
  // the last check (or than the day of `now`, an event's time); cheap
  // enough to run before every counted event.
  void RollOverDayIfNeeded(time_t now = time(nullptr));
  void TakeDate();
  // The distance: the hook library samples the pointer's moves every 10 ms
  // of their own reports; the window takes the samples with its ticks
  // (the 100 ms one while it is shown and something moves, the 1 s one
  // always). True when any came. A pointer placed by a program, which the
  // hooks do not see, is looked for every few seconds.
  bool TakePointerSamples();
  // The clicks, wheel steps and key strokes the hook library keeps for the
  // window, taken with the same ticks (and at once when the foreground
  // window changed), each filed under its own second. True when any came.
  bool TakeInput();
  void LookAtPointer();
  // One sample of the pointer's place, its step filed under `at`; true when it moved.
  bool SamplePointer(tallivo::ScreenPoint p, time_t at);
  void MeasureScreen();
  void CreateStatusBar();
  // Everything the window draws or sizes in pixels, at m_dpi: icons,
  // banner, status bar parts, charts.
  void ApplyDpi();
  void LoadIcons();
  void ScaleBanner();
  void OnDpiChanged(int dpi, const RECT* suggested);
  bool AskExit();
  void CreateChartPages();
  void CreateProcessPanel();
  void SeedCharts();
  void FeedCharts();
  // The history of days (main_dlg_history.cpp).
  void RecordEvent(tallivo::InputKind kind, WPARAM wp);
  void RecordMove(uint32_t pixels, time_t at);
  // Writes what the history gathered; quiet on the way out, where no
  // message box may stop the program from ending.
  void FlushHistory(bool quiet);
  void OnHistoryWindow();
  // This computer's copy in the sync folder: due once a second at most,
  // made by the worker; on the way out made and waited for.
  void SyncTick();
  void RequestCopy();
  void FinalCopy();
  void OnSyncDialog();
  void CarryChartsIntoNewDay();
  // Breaks (main_dlg_breaks.cpp): fed by the 1 s tick while on.
  void StartBreaks(const tallivo::breaks::BreakSettings& s);
  void BreaksSecond(time_t now);
  void OnBreakButton(WORD id);
  void OnBreaksDialog();
  void RecordBreak(tallivo::breaks::BreakKind kind, uint64_t tallivo::history::BreakDelta::*field);
  // The tray tip, with the time to the next break when breaks are on.
  std::string TipText(uint32_t totalClicks) const;
  // per-process counting
  void OnProcSelect(DWORD threadId);
  void OnProcReset();

  // System tools (main_dlg_tools.cpp): each hands the work to the tool's
  // own object below.
  bool OnToolCommand(WORD id);
  bool OnToolMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result);
  void OnIdleShutdownOn(uint32_t minutes);
  void OnIdleShutdownOff();
  void CheckIdle();
  bool RegisterHotkey(int storedKey);
  void RegisterStoredHotkey();
  void OnHotkey();
  void OnToggleAutoStart();
  void RestoreAutoStart();
  void OnSwapButtons();
  void OnSaveReport();

  CTrayIcon m_tray;
  tallivo::InputCounters m_counters;
  uint32_t m_totalClicks = 0;
  uint32_t m_runSeconds = 0;
  std::string m_runText;
  tools::IdleShutdownTimer m_idleShutdown{tallivo::TIMER_IDLE};
  tallivo::DistanceMeter m_distance;
  int m_startMonth = 0;
  int m_startDay = 0;
  int m_startYear = 0;
  tallivo::DayClock m_dayClock{0};
  tools::ButtonSwap m_buttonSwap;
  tools::AutoStart m_autoStart;
  HWND m_statusBar = nullptr;
  tallivo::InputCounters m_procCounters;
  CTabSheet m_tabSheet;
  CChartPage m_hourPage{tallivo::kHourPage};
  CChartPage m_dayPage{tallivo::kDayPage};
  HICON m_hIcon = nullptr;
  HICON m_smallIcon = nullptr;
  HICON m_bigIcon = nullptr;  // at the window's DPI, when not 96
  HICON m_trayIcon = nullptr;
  HBITMAP m_banner = nullptr;  // the banner at the window's DPI, when not 96
  int m_dpi = 96;
  CProcessStatsDlg m_processPanel;
  tools::ShowHideHotkey m_hotkey;
  stats::GlobalHooks m_globalHooks;
  tallivo::history::HistoryStore m_historyStore;
  tallivo::history::Recorder m_history;
  tallivo::history::HistoryPath m_historyPath;
  tallivo::history::ForegroundProgram m_foreground;
  tallivo::history::CHistoryDlg m_historyWindow;
  tallivo::history::SyncSettings m_sync;
  tallivo::history::CopySchedule m_copySchedule;
  tallivo::history::CopyWorker m_copyWorker;
  ui::ShownTexts m_shown;
  // The labels written by the ticks, drawn together at each tick's end.
  ui::LabelPainter m_labelPainter;
  std::vector<std::pair<int, HWND>> m_labels;  // by control id, found once
  bool m_refreshing = false;
  DWORD m_pointerMovesTaken = 0;  // the hook's move count at the last take
  unsigned m_secondsSinceLook = 0;
  bool m_writeAll = false;        // the next refresh tick writes everything, hidden or not
  DWORD m_tipWatchedAt = 0;       // when the shell last said the pointer is on the icon
  tallivo::DayFiguresSaver m_daySaver;
  tallivo::breaks::BreakClock m_breaks;
  tallivo::breaks::CBreakWindow m_breakWindow;
  uint32_t m_breakEventsSeen = 0;  // the day's events and pixels at the last second
  uint32_t m_breakPixelsSeen = 0;
};
