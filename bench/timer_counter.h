// What the bench and timer_counter.dll share, by name, across processes.
#pragma once

#include <windows.h>

constexpr char kTimerCountName[] = "TallivoBenchTimerCount";

struct TimerCount {
  LONG64 window;            // set by the bench: a window of the thread to watch
  volatile LONG installed;  // set by the library once its hook is in place
  volatile LONG timers;     // WM_TIMER taken from the queue
  volatile LONG messages;   // every message taken from the queue
};
