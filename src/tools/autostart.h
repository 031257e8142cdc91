// Start with Windows on the platform: the Run values, the marker beside
// the executable, and the state the main window's command switches.
#pragma once

#include <windows.h>

#include <string>

#include "tools/autostart_rules.h"

namespace tools {

// Writes the per-user Run value "Tallivo" with the executable's quoted path.
tallivo::AutoStartOutcome RegisterAutoStart();
// Removes the Run value from the per-user and the machine-wide key.
tallivo::AutoStartOutcome UnregisterAutoStart();

// The marker beside the executable. Reading fails when it cannot be opened
// (then autostart is off); an empty file reads as "".
bool ReadAutoStartMarker(std::string* content);
// Rewrites it whole; a failure is shown in the file-error box.
bool WriteAutoStartMarker(const char* text);

// The main window's start-with-Windows state: the flag its command
// switches, and the check mark of the item in its menu bar.
class AutoStart {
 public:
  // Start-up: the state the marker asks for; on registers again.
  void Restore(HWND mainWindow);
  // The command, from the main menu or the tray menu.
  void Toggle(HWND mainWindow);
  bool On() const { return m_on != 0; }

 private:
  static void SetCheck(HWND mainWindow, bool on);
  // Always set by Restore, whatever it held before.
  int m_on = 1;
};

}  // namespace tools
