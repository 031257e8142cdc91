#include "main/tray_icon.h"

#include <cstring>
#include <cwchar>

#include "base/text_format.h"
#include "main/tray_rules.h"

namespace {
// The record in its classic layout, up to the balloon flags; the platform
// macro gives the right size for each build.
constexpr DWORD kRecordSize = NOTIFYICONDATAW_V2_SIZE;

// text cut to the field, whole characters, and zero-terminated.
template <size_t N>
void CopyField(wchar_t (&field)[N], const std::string& text) {
  const std::wstring wide = tallivo::Wide(tallivo::CutToUtf16Units(text, N - 1));
  wcsncpy(field, wide.c_str(), N);
}
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

bool CTrayIcon::SetTip(const std::string& tip) {
  // Compared as it would be stored: cut to the field.
  decltype(m_record.szTip) stored;
  CopyField(stored, tip);
  if (wcscmp(m_record.szTip, stored) == 0) return false;
  wcscpy(m_record.szTip, stored);
  Shell_NotifyIconW(NIM_MODIFY, &m_record);
  return true;
}

void CTrayIcon::MinimiseToTray(int autoData) {
  if (const tallivo::BalloonText* b = tallivo::BalloonForFlag(autoData)) {
    CopyField(m_record.szInfoTitle, b->title);
    CopyField(m_record.szInfo, b->text);
  }
  m_record.uTimeout = 3;
  // Modify, then add: whichever applies to whether the icon exists. The
  // first add still carries the balloon flag, later ones do not.
  Shell_NotifyIconW(NIM_MODIFY, &m_record);
  Shell_NotifyIconW(NIM_ADD, &m_record);
  m_added = true;
  ShowWindow(m_record.hWnd, SW_HIDE);
  m_record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  Shell_NotifyIconW(NIM_MODIFY, &m_record);
}

void CTrayIcon::OnTaskbarCreated() {
  if (m_added) Shell_NotifyIconW(NIM_ADD, &m_record);
}

void CTrayIcon::Notify(const std::string& title, const std::string& text) {
  if (!m_added) {
    MessageBoxW(m_record.hWnd, tallivo::Wide(text).c_str(), tallivo::Wide(title).c_str(), MB_OK | MB_ICONINFORMATION);
    return;
  }
  CopyField(m_record.szInfoTitle, title);
  CopyField(m_record.szInfo, text);
  m_record.uFlags |= NIF_INFO;
  m_record.uTimeout = 10000;
  Shell_NotifyIconW(NIM_MODIFY, &m_record);
  m_record.uFlags &= ~NIF_INFO;
}

void CTrayIcon::Remove() {
  Shell_NotifyIconW(NIM_DELETE, &m_record);
  m_added = false;
}

void CTrayIcon::ShowMenu(UINT menuId) {
  HWND owner = m_record.hWnd;
  SetForegroundWindow(owner);
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(menuId));
  if (!menu) return;
  POINT pt = {};
  GetCursorPos(&pt);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_RIGHTBUTTON, pt.x, pt.y, 0, owner, nullptr);
  DestroyMenu(menu);
}
