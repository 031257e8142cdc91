// The show/hide hotkey as the main window runs it: Ctrl+Alt plus the
// stored letter, registered for the main window, and the toggle it
// triggers.
#pragma once

#include <windows.h>

namespace tools {

class ShowHideHotkey {
 public:
  // Registers the combination for the stored key in place of the one
  // before. True when it now works (also when no key is chosen: nothing to
  // register, nothing failed).
  bool Register(HWND mainWindow, int storedKey);
  // Start-up: the key stored by the hotkey dialog.
  void RegisterStored(HWND mainWindow);
  // The hotkey was pressed: a visible window goes to the tray, a hidden
  // one comes back in front.
  static void Toggle(HWND mainWindow);

 private:
  // The key registered now, 0 for none.
  unsigned m_key = 0;
};

}  // namespace tools
