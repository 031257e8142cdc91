#include "tools/tool_dialogs.h"

#include <shellapi.h>

#include <string>

#include "base/maker.h"
#include "base/messages.h"
#include "base/profile_store.h"
#include "base/text_format.h"
#include "res/resource.h"
#include "tools/hotkey_rules.h"
#include "tools/idle_shutdown.h"
#include "ui/data_exchange.h"

using namespace tallivo;

namespace {
HWND OwnerOf(HWND dialog) { return GetWindow(dialog, GW_OWNER); }
}  // namespace

// ------------------------------------------------------------ idle shutdown

CIdleShutdownDlg::CIdleShutdownDlg() : ui::CDialog(IDD_IDLE_SHUTDOWN) {}

BOOL CIdleShutdownDlg::OnInitDialog() {
  // Always 0: the dialog does not show the current setting.
  ui::SetUintField(Hwnd(), IDC_IDLE_MINUTES, m_minutes);
  return TRUE;
}

bool CIdleShutdownDlg::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case IDC_IDLE_ON: OnSwitchOn(); return true;
    case IDC_IDLE_OFF: OnSwitchOff(); return true;
    default: return ui::CDialog::OnCommand(id, code, control);
  }
}

void CIdleShutdownDlg::OnSwitchOn() {
  if (!ui::GetUintField(Hwnd(), IDC_IDLE_MINUTES, kIdleMinMinutes, kIdleMaxMinutes, &m_minutes)) return;
  SendMessageW(OwnerOf(Hwnd()), WM_IDLE_SHUTDOWN_ON, m_minutes, 0);
}

void CIdleShutdownDlg::OnSwitchOff() { SendMessageW(OwnerOf(Hwnd()), WM_IDLE_SHUTDOWN_OFF, 0, 0); }

// ------------------------------------------------------------------ hotkey

CHotkeyDlg::CHotkeyDlg() : ui::CDialog(IDD_HOTKEY) {}

BOOL CHotkeyDlg::OnInitDialog() {
  SendDlgItemMessageW(Hwnd(), IDC_HOTKEY_EDIT, EM_LIMITTEXT, 1, 0);
  const uint32_t stored = Profile().ReadInt("QuickKey", "quickkey", 0);
  SetItemText(IDC_HOTKEY_EDIT, HotkeyEditText(stored));
  return TRUE;
}

bool CHotkeyDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_HOTKEY_EDIT && code == EN_CHANGE) {
    FilterKeyEdit();
    return true;
  }
  if (id == IDC_HOTKEY_SET) {
    OnSet();
    return true;
  }
  return ui::CDialog::OnCommand(id, code, control);
}

void CHotkeyDlg::FilterKeyEdit() {
  const std::string text = ItemText(IDC_HOTKEY_EDIT);
  const std::string kept = FilterHotkeyText(text);
  // Writing the shorter text notifies again; that time it is left alone.
  if (kept != text) SetItemText(IDC_HOTKEY_EDIT, kept);
}

void CHotkeyDlg::OnSet() {
  const int key = HotkeyKeyFromText(ItemText(IDC_HOTKEY_EDIT));
  Profile().WriteInt("QuickKey", "quickkey", static_cast<uint32_t>(key));
  // The main window answers whether the combination is now usable.
  const LRESULT registered = SendMessageW(OwnerOf(Hwnd()), WM_SET_HOTKEY, static_cast<WPARAM>(key), 0);
  const std::string message = registered ? std::string(kHotkeySetOk) : HotkeyTakenMessage(key);
  ui::PromptBox(Hwnd(), message, MB_OK);
}

// ------------------------------------------------------------- information

CAboutDlg::CAboutDlg() : ui::CDialog(IDD_ABOUT) {}

CContactDlg::CContactDlg() : ui::CDialog(IDD_CONTACT) {}

BOOL CContactDlg::OnInitDialog() {
  SetItemText(IDC_HOME_PAGE, HomePageText());
  m_homePage.AttachItem(Hwnd(), IDC_HOME_PAGE);
  m_homePage.SetTextColour(kLabelRed);
  return TRUE;
}

bool CContactDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_HOME_PAGE && code == STN_CLICKED) {
    ShellExecuteW(Hwnd(), nullptr, Wide(kHomePage).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    return true;
  }
  return ui::CDialog::OnCommand(id, code, control);
}
