#include "tools/hotkey.h"

#include <algorithm>

#include "base/profile_store.h"
#include "tools/hotkey_rules.h"

namespace tools {

bool ShowHideHotkey::Register(HWND mainWindow, int storedKey) {
  const unsigned vk = tallivo::HotkeyVirtualKey(storedKey);
  if (vk == 0) return true;  // no key chosen: nothing to register, nothing failed
  if (RegisterHotKey(mainWindow, tallivo::kHotkeyId, tallivo::kHotkeyModifiers, vk)) {
    if (std::find(m_keys.begin(), m_keys.end(), vk) == m_keys.end()) m_keys.push_back(vk);
    return true;
  }
  // Earlier keys stay registered beside the new one; choosing one of them
  // again is refused as taken, but it is ours and it works.
  return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED &&
         std::find(m_keys.begin(), m_keys.end(), vk) != m_keys.end();
}

void ShowHideHotkey::RegisterStored(HWND mainWindow) {
  Register(mainWindow, static_cast<int>(tallivo::Profile().ReadInt("QuickKey", "quickkey", 0)));
}

void ShowHideHotkey::Toggle(HWND mainWindow) {
  if (IsWindowVisible(mainWindow)) {
    // The minimise path takes it to the tray, as the minimise button does.
    PostMessageA(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else {
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    SetForegroundWindow(mainWindow);
  }
}

}  // namespace tools
