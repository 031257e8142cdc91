// The main statistics window: owns the day's figures and every long-lived
// window object, drives the program from its timers and private messages.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "process/mag_dialog.h"
#include "process/process_stats_dlg.h"
#include "stats/counters.h"
#include "stats/distance.h"
#include "ui/dialog.h"

// Derives from the docking dialog: it is the owner the per-process panel
// docks to.
class CMainStatsDlg : public CMagDialog {
 public:
  CMainStatsDlg();
  ~CMainStatsDlg() override;

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

  // 100 ms tick
  void RefreshCursorText();
  void RefreshCounters();
  void RefreshTotalClicks();
  // distance timer
  void SampleCursor();
  void MeasureScreen();
  void FillTrayRecord();
  void CreateStatusBar();
  bool AskExit();
  // per-process counting
  void OnProcSelect(DWORD threadId);
  void OnProcReset();

  NOTIFYICONDATAA m_tray;
  std::string m_trayTip;
  tallivo::InputCounters m_counters;
  uint32_t m_totalClicks = 0;
  int m_autoData = 0;
  uint32_t m_runSeconds = 0;
  std::string m_runText;
  uint32_t m_idleMinutes = 0;
  tallivo::DistanceMeter m_distance;
  int m_startMonth = 0;
  int m_startDay = 0;
  int m_swapNext = 1;
  int m_autoStartOn = 1;
  std::string m_autoStartText;
  HWND m_statusBar = nullptr;
  tallivo::InputCounters m_procCounters;
  std::string m_cursorText;
  HICON m_hIcon = nullptr;
  CProcessStatsDlg m_processPanel;
};
