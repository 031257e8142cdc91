#include "tools/hotkey.h"

#include "base/profile_store.h"
#include "tools/hotkey_rules.h"

namespace tools {

bool ShowHideHotkey::Register(HWND mainWindow, int storedKey) {
  // One combination at a time: the one chosen before goes, whatever
  // becomes of the new one.
  if (m_key != 0) {
    UnregisterHotKey(mainWindow, tallivo::kHotkeyId);
    m_key = 0;
  }
  const unsigned vk = tallivo::HotkeyVirtualKey(storedKey);
  if (vk == 0) return true;  // no key chosen: nothing to register, nothing failed
  if (!RegisterHotKey(mainWindow, tallivo::kHotkeyId, tallivo::kHotkeyModifiers, vk)) return false;
  m_key = vk;
  return true;
}

void ShowHideHotkey::RegisterStored(HWND mainWindow) {
  Register(mainWindow, static_cast<int>(tallivo::Profile().ReadInt("QuickKey", "quickkey", 0)));
}

void ShowHideHotkey::Toggle(HWND mainWindow) {
  if (IsWindowVisible(mainWindow)) {
    // The minimise path takes it to the tray, as the minimise button does.
    PostMessageW(mainWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else {
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    SetForegroundWindow(mainWindow);
  }
}

}  // namespace tools
