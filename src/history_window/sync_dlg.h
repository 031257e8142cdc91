// 多台电脑: the sync folder (typed, or picked with the system's folder
// picker; 停用 clears it), this computer's name as the others see it, and
// the computers whose copies are in the folder with the time each copy was
// made. OK stores both in the registry.
#pragma once

#include <windows.h>

#include "history_window/history_source.h"
#include "ui/dialog.h"

namespace tallivo::history {

class CSyncDlg : public ui::CDialog {
 public:
  explicit CSyncDlg(HistorySource* source);

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override;

 private:
  void Browse();
  // The computers in the folder now in the edit field.
  void FillList();

  HistorySource* m_source;
};

}  // namespace tallivo::history
