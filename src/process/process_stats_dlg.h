// The per-process panel: shows the input counts of the chosen process and
// its share of all input, docks beside the main window, and owns the
// process picker. The counting itself lives in the main window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "process/mag_dialog.h"

class CProcessPickerDlg;

class CProcessStatsDlg : public CMagDialog {
 public:
  CProcessStatsDlg();
  ~CProcessStatsDlg() override;

  // Called by the main window at every refresh tick with its five
  // per-process counters and the sum of its five global counters.
  static void SetProcessCounts(uint32_t left, uint32_t right, uint32_t middle, uint32_t wheel, uint32_t keys,
                               uint32_t globalTotal);
  // Called by the picker after a choice.
  static void SetProcessName(const std::string& name);

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  void OnTimer();
  void OnPickProcess();
  void OnClearProcessStats();

  // One set for the whole program: the main window writes the counts, the
  // picker the name, the panel reads them.
  static uint32_t s_left, s_right, s_middle, s_wheel, s_keys;
  static float s_globalTotal;
  static float s_processTotal;
  static int s_sharePercent;
  static std::string s_processName;

  HWND m_leftLabel = nullptr;
  std::unique_ptr<CProcessPickerDlg> m_picker;
  RECT m_panelRect = {};
};
