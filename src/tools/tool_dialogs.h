// The small modal dialogs of the system tools. Each is constructed on the
// spot, owned by the main window, and keeps no state between uses.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/color_label.h"
#include "ui/dialog.h"

// Idle shutdown set-up (template 136): "开启" sends the checked minutes to
// the main window, "关闭" switches the feature off. Neither closes it, nor
// does Enter: only the close box and Esc do.
class CIdleShutdownDlg : public ui::CDialog {
 public:
  CIdleShutdownDlg();

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  // Enter would drop what was typed without a word.
  void OnOK() override {}

 private:
  void OnSwitchOn();
  void OnSwitchOff();
  uint32_t m_minutes = 0;
};

// Show/hide hotkey (template 137): one letter A-Z or ".", stored and
// announced to the main window by "设置". Closed only by the close box and
// Esc, like the idle shutdown dialog.
class CHotkeyDlg : public ui::CDialog {
 public:
  CHotkeyDlg();

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override {}

 private:
  void FilterKeyEdit();
  void OnSet();
};

// About (template 100): texts only.
class CAboutDlg : public ui::CDialog {
 public:
  CAboutDlg();
};

// Contact (template 135): the home page as a colour label; a click on it
// opens the page in the browser.
class CContactDlg : public ui::CDialog {
 public:
  CContactDlg();

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;

 private:
  CColorLabel m_homePage;
};
