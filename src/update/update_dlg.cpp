#include "update/update_dlg.h"

#include "res/resource.h"
#include "update/update_check.h"

CUpdateDlg::CUpdateDlg() : ui::CDialog(IDD_UPDATE) {
  m_icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PANEL));
}

CUpdateDlg::~CUpdateDlg() { AbandonLastCheck(); }

BOOL CUpdateDlg::OnInitDialog() {
  SendMessageA(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
  SendMessageA(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
  return TRUE;
}

void CUpdateDlg::OnCheck() {
  // Every press is one more independent check.
  if (auto check = StartUpdateCheck()) m_lastCheck = std::move(check);
}

void CUpdateDlg::AbandonLastCheck() {
  if (m_lastCheck) m_lastCheck->Abandon();
  m_lastCheck.reset();
}

bool CUpdateDlg::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case IDC_UPDATE_CHECK:
      OnCheck();
      return true;
    default:
      return ui::CDialog::OnCommand(id, code, control);
  }
}

INT_PTR CUpdateDlg::OnMessage(UINT msg, WPARAM, LPARAM, bool*) {
  if (msg == WM_CLOSE) AbandonLastCheck();  // then the default close
  return 0;
}
