// Idle auto-shutdown as the main window runs it: the limit the set-up
// dialog sends, the window timer that exists while the feature is on, the
// state label, and the once-a-second check.
#pragma once

#include <windows.h>

#include <cstdint>

namespace tools {

class IdleShutdownTimer {
 public:
  // The main window's timer id for the check.
  explicit IdleShutdownTimer(UINT_PTR timerId) : m_timerId(timerId) {}

  // The dialog's "开启" with the minutes: announce, label, (re)start the timer.
  void SwitchOn(HWND mainWindow, uint32_t minutes);
  // The dialog's "关闭": stop the timer, announce, label.
  void SwitchOff(HWND mainWindow);
  // A tick of the timer: requests the shutdown once idle long enough.
  void Check() const;
  uint32_t Minutes() const { return m_minutes; }

 private:
  UINT_PTR m_timerId;
  // The limit last received; never stored.
  uint32_t m_minutes = 0;
};

// A non-forced shutdown of the computer. Enables the process's shutdown
// privilege first: without it Windows refuses the request.
void RequestShutdown();

}  // namespace tools
