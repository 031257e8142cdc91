#include "update/update_dlg.h"

#include <shellapi.h>

#include <string>

#include "base/maker.h"
#include "base/text_format.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "update/update_check.h"

CUpdateDlg::CUpdateDlg() : ui::CDialog(IDD_UPDATE) {
  m_icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PANEL));
}

// However the dialog ends, no check it started may show anything later.
CUpdateDlg::~CUpdateDlg() {
  update::AbandonChecks();
  if (m_picture) DeleteObject(m_picture);
}

BOOL CUpdateDlg::OnInitDialog() {
  const std::string maker = std::string("Tallivo  ") + tallivo::HomePageText();
  SetItemText(IDC_UPDATE_LINK, maker);
  m_link.AttachItem(Hwnd(), IDC_UPDATE_LINK);
  m_link.SetTextColour(tallivo::kLabelRed);
  m_link.SetUnderlineOnHover(true);
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
  ui::ShowPictureAtDpi(Hwnd(), IDC_UPDATE_PICTURE, IDB_UPDATE, ui::WindowDpi(Hwnd()), &m_picture);
  return TRUE;
}

bool CUpdateDlg::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case IDC_UPDATE_CHECK: update::StartCheck(); return true;
    case IDC_UPDATE_LINK:
      if (code != STN_CLICKED) return false;
      ShellExecuteW(Hwnd(), nullptr, tallivo::Wide(tallivo::kHomePage).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
      return true;
    default: return ui::CDialog::OnCommand(id, code, control);
  }
}

INT_PTR CUpdateDlg::OnMessage(UINT msg, WPARAM wp, LPARAM, bool*) {
  if (msg == WM_CLOSE) update::AbandonChecks();  // then the default close
  // The dialog manager scales the rest.
  if (msg == WM_DPICHANGED) ui::ShowPictureAtDpi(Hwnd(), IDC_UPDATE_PICTURE, IDB_UPDATE, LOWORD(wp), &m_picture);
  return 0;
}
