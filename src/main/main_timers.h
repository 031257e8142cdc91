// Timers of the main window.
#pragma once

namespace tallivo {

constexpr unsigned TIMER_REFRESH = 1;  // 100 ms
constexpr unsigned TIMER_SECOND = 2;   // 1 s
constexpr unsigned TIMER_IDLE = 3;     // 1 s, only while idle shutdown is on
// Once, just after the window first shows: what start-up can leave until then.
constexpr unsigned TIMER_LATE_START = 5;

constexpr unsigned kRefreshMs = 100;
constexpr unsigned kSecondMs = 1000;

}  // namespace tallivo
