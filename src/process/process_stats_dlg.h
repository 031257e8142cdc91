// The per-process panel: shows the input counts of the chosen process and
// its share of all input, docks beside the main window, and owns the
// process picker. The counting itself lives in the main window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/counters.h"
#include "ui/mag_dialog.h"

class CProcessPickerDlg;

class CProcessStatsDlg : public CMagDialog {
 public:
  CProcessStatsDlg();
  ~CProcessStatsDlg() override;

  // Called by the main window at every refresh tick with its per-process
  // counters and the sum of its five global counters.
  static void SetProcessCounts(const tallivo::InputCounters& counts, uint32_t globalTotal);
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
  static tallivo::InputCounters s_counts;
  static int s_sharePercent;
  static std::string s_processName;

  std::unique_ptr<CProcessPickerDlg> m_picker;
};
