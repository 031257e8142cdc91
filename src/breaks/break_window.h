// The break on screen and the dialog that sets breaks up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "breaks/break_rules.h"
#include "ui/dialog.h"

namespace tallivo::breaks {

// "休息一下" (template 173): on top, on the monitor that has the pointer,
// shown without taking the focus. Its buttons reach the target window as
// its commands IDC_BREAK_POSTPONE and IDC_BREAK_SKIP.
class CBreakWindow : public ui::CDialog {
 public:
  CBreakWindow();
  void Show(HWND target, const std::string& title, uint32_t remaining);
  // The second's countdown; input since the last one says so.
  void Update(uint32_t remaining, bool inputSeen);
  void Close();

 protected:
  BOOL OnInitDialog() override { return FALSE; }  // no focus: it is never active
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  HWND m_target = nullptr;
  std::string m_countdown, m_hint;
};

// "休息提醒" (template 172): on or off and the settings, stored under
// Breaks when every field is right; a wrong field gets the field's message
// and nothing changes.
class CBreaksDlg : public ui::CDialog {
 public:
  CBreaksDlg();
  const BreakSettings& Chosen() const { return m_chosen; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;

 private:
  BreakSettings m_chosen;
};

}  // namespace tallivo::breaks
