// The notification-area icon of the main window: the record handed to the
// shell, the minimise-to-tray sequence and the tray menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

class CTrayIcon {
 public:
  CTrayIcon();
  // Fills the record; the icon itself appears at the first minimise.
  void Init(HWND owner, UINT callbackMessage, HICON icon);
  // The tip, applied with the current flags when it changed (the record
  // keeps it for the icon's next add). Fails harmlessly while there is no
  // icon. Returns whether it changed.
  bool SetTip(const std::string& tip);
  // The window was minimised: balloon text for the flag, icon added (with
  // the balloon the first time), window hidden, balloon flag dropped.
  void MinimiseToTray(int autoData);
  // The shell restarted: put the icon back if it was there.
  void OnTaskbarCreated();
  void Remove();
  // A balloon of its own on the icon; before the icon's first add (the
  // window was never minimised) a message box in its place.
  void Notify(const std::string& title, const std::string& text);
  // Right click: the tray menu at the pointer, commands to the owner.
  void ShowMenu(UINT menuId);
  const NOTIFYICONDATAW& Record() const { return m_record; }

 private:
  NOTIFYICONDATAW m_record;
  bool m_added = false;
};
