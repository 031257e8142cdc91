// Global counting as the main window runs it: TallivoHook.dll started for
// the window, watched once a second, set again when Windows dropped its
// hooks, and a failure to set them said once.
#pragma once

#include <windows.h>

#include <cstdint>

#include "stats/hook_watchdog.h"

namespace stats {

class GlobalHooks {
 public:
  // Start and stop counting into the window. A failure to start is
  // reported by the next Watch, once the window runs.
  void Start(HWND window);
  void Stop();
  // Once a second while the window runs.
  void Watch(HWND window);

 private:
  // Meant to run (off on the way out), watched, and whether their failure
  // has been reported since they last ran.
  bool m_on = false;
  tallivo::HookWatchdog m_watchdog;
  uint32_t m_lastInput = 0;
  bool m_failureShown = false;
};

}  // namespace stats
