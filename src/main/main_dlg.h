// The main statistics window: owns the day's figures and every long-lived
// window object, drives the program from its timers and private messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "main/tray_icon.h"
#include "process/mag_dialog.h"
#include "process/process_stats_dlg.h"
#include "stats/counters.h"
#include "stats/day_store.h"
#include "stats/distance.h"
#include "stats/hook_watchdog.h"
#include "chart/chart_page.h"
#include "chart/tab_sheet.h"
#include "ui/dialog.h"

// Derives from the docking dialog: it is the owner the per-process panel
// docks to.
class CMainStatsDlg : public CMagDialog {
 public:
  CMainStatsDlg();
  ~CMainStatsDlg() override;

  // After the day's counters were cleared: the next point of either chart
  // counts only what happens from now on, not the fall to zero.
  void ResetChartTotals();

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

  // 100 ms tick
  void RefreshCursorText();
  void RefreshCounters();
  void RefreshTotalClicks();
  // 1 s tick
  void RefreshRunTimeAndClock();
  void RefreshUptime();
  void SaveDayFigures();
  void LoadDayFigures();
  void DrainPendingInput();
  void WatchHooks();
  void RefreshStatusBar();
  // distance timer
  void SampleCursor();
  void MeasureScreen();
  void CreateStatusBar();
  bool AskExit();
  void CreateChartPages();
  void SeedCharts();
  void FeedCharts();
  // per-process counting
  void OnProcSelect(DWORD threadId);
  void OnProcReset();

  // System tools (src/tools/main_tools.cpp)
  bool OnToolCommand(WORD id);
  bool OnToolMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR* result);
  void OnIdleShutdownOn(uint32_t minutes);
  void OnIdleShutdownOff();
  void CheckIdle();
  bool RegisterHotkey(int storedKey);
  void RegisterStoredHotkey();
  void OnHotkey();
  void SetAutoStartCheck(bool on);
  void OnToggleAutoStart();
  void RestoreAutoStart();
  void OnSwapButtons();
  void OnSaveReport();

  CTrayIcon m_tray;
  tallivo::InputCounters m_counters;
  uint32_t m_totalClicks = 0;
  uint32_t m_runSeconds = 0;
  std::string m_runText;
  uint32_t m_idleMinutes = 0;
  tallivo::DistanceMeter m_distance;
  int m_startMonth = 0;
  int m_startDay = 0;
  int m_swapNext = 1;
  int m_autoStartOn = 1;
  HWND m_statusBar = nullptr;
  tallivo::InputCounters m_procCounters;
  CTabSheet m_tabSheet;
  CChartPage m_hourPage{tallivo::kHourPage};
  CChartPage m_dayPage{tallivo::kDayPage};
  HICON m_hIcon = nullptr;
  CProcessStatsDlg m_processPanel;
  unsigned m_hotkeyKey = 0;  // the key registered now, 0 for none
  // The global hooks: meant to run, watched, and whether their failure
  // has been reported since they last ran.
  bool m_hooksOn = false;
  tallivo::HookWatchdog m_hookWatchdog;
  uint32_t m_lastInput = 0;
  bool m_hookFailureShown = false;
};
