// The version check dialog: each press of its button asks the update server
// on a worker thread of its own.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/color_label.h"
#include "ui/dialog.h"

struct UpdateCheck;

class CUpdateDlg : public ui::CDialog {
 public:
  CUpdateDlg();
  ~CUpdateDlg() override;

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  void OnCheck();
  void AbandonLastCheck();

  CColorLabel m_link;
  std::shared_ptr<UpdateCheck> m_lastCheck;
  HICON m_icon = nullptr;
};
