#include "main/tray_icon.h"

#include <cstring>

#include "main/tray_rules.h"

namespace {
// The record in its classic layout (488 bytes on 32-bit Windows, up to the
// balloon flags); the platform macro gives the right size for each build.
constexpr DWORD kRecordSize = NOTIFYICONDATAA_V2_SIZE;
constexpr UINT kIconId = 128;
}  // namespace

CTrayIcon::CTrayIcon() { std::memset(&m_record, 0, sizeof m_record); }

void CTrayIcon::Init(HWND owner, UINT callbackMessage, HICON icon) {
  m_record.cbSize = kRecordSize;
  m_record.hWnd = owner;
  m_record.uID = kIconId;
  m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
  m_record.uCallbackMessage = callbackMessage;
  m_record.hIcon = icon;
  m_record.dwInfoFlags = NIIF_INFO;
  m_record.uTimeout = 3;
}

bool CTrayIcon::SetTip(const char* tip) {
  // Compared as it would be stored: cut to the field.
  if (strncmp(m_record.szTip, tip, sizeof m_record.szTip - 1) == 0) return false;
  lstrcpynA(m_record.szTip, tip, sizeof m_record.szTip);
  Shell_NotifyIconA(NIM_MODIFY, &m_record);
  return true;
}

void CTrayIcon::MinimiseToTray(int autoData) {
  if (const tallivo::BalloonText* b = tallivo::BalloonForFlag(autoData)) {
    lstrcpynA(m_record.szInfoTitle, b->title, sizeof m_record.szInfoTitle);
    lstrcpynA(m_record.szInfo, b->text, sizeof m_record.szInfo);
  }
  m_record.uTimeout = 3;
  // Modify, then add: whichever applies to whether the icon exists. The
  // first add still carries the balloon flag, later ones do not.
  Shell_NotifyIconA(NIM_MODIFY, &m_record);
  Shell_NotifyIconA(NIM_ADD, &m_record);
  m_added = true;
  ShowWindow(m_record.hWnd, SW_HIDE);
  m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Shell_NotifyIconA(NIM_MODIFY, &m_record);
}

void CTrayIcon::OnTaskbarCreated() {
  if (m_added) Shell_NotifyIconA(NIM_ADD, &m_record);
}

void CTrayIcon::Remove() {
  Shell_NotifyIconA(NIM_DELETE, &m_record);
  m_added = false;
}

void CTrayIcon::ShowMenu(UINT menuId) {
  HWND owner = m_record.hWnd;
  SetForegroundWindow(owner);
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menuId));
  if (!menu) return;
  POINT pt = {};
  GetCursorPos(&pt);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
  DestroyMenu(menu);
}
