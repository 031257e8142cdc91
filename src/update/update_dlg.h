// The version check dialog: each press of its button asks the update server
// on a worker thread (update_check.h).
#pragma once

#include <windows.h>

#include "ui/color_label.h"
#include "ui/dialog.h"

class CUpdateDlg : public ui::CDialog {
 public:
  CUpdateDlg();
  ~CUpdateDlg() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  CColorLabel m_link;
  HICON m_icon = nullptr;
  HBITMAP m_picture = nullptr;  // the picture at the dialog's DPI, when not 96
};
