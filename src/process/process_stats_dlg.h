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
#include "ui/shown_texts.h"

class CProcessPickerDlg;

class CProcessStatsDlg : public CMagDialog {
 public:
  CProcessStatsDlg();
  ~CProcessStatsDlg() override;

  // Called by the main window at its refresh ticks with its per-process
  // counters and the sum of its five global counters; the panel shows what
  // changed at once.
  static void SetProcessCounts(const tallivo::InputCounters& counts, uint32_t globalTotal);
  // Called by the picker after a choice.
  static void SetProcessName(const std::string& name);

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;

 private:
  // Writes the labels whose text changed. They change only with the
  // figures: the panel needs no timer of its own.
  void Refresh();
  static void RefreshPanel();
  void OnPickProcess();
  void OnClearProcessStats();

  // One set for the whole program: the main window writes the counts, the
  // picker the name, the panel reads them.
  static tallivo::InputCounters s_counts;
  static int s_sharePercent;
  static std::string s_processName;
  // The panel of the program (there is one), while its window exists.
  static CProcessStatsDlg* s_panel;

  ui::ShownTexts m_shown;

  std::unique_ptr<CProcessPickerDlg> m_picker;
};
