// The show/hide hotkey as the main window runs it: Ctrl+Alt plus the
// stored letter, registered for the main window, and the toggle it
// triggers.
#pragma once

#include <windows.h>

#include <vector>

namespace tools {

class ShowHideHotkey {
 public:
  // Registers the combination for the stored key. True when it now works
  // (also when no key is chosen: nothing to register, nothing failed).
  bool Register(HWND mainWindow, int storedKey);
  // Start-up: the key stored by the hotkey dialog.
  void RegisterStored(HWND mainWindow);
  // The hotkey was pressed: a visible window goes to the tray, a hidden
  // one comes back in front.
  static void Toggle(HWND mainWindow);

 private:
  // Keys registered during this run.
  std::vector<unsigned> m_keys;
};

}  // namespace tools
