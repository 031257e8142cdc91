// Private window messages of the main window, and its timers.
// Kept free of <windows.h> so the logic side and the hook libraries agree on
// the same numbers.
#pragma once

namespace tallivo {

constexpr unsigned kWmUser = 0x0400;

// Posted by TallivoHook.dll, one per counted event.
constexpr unsigned WM_INPUT_LBUTTON = kWmUser + 102;
constexpr unsigned WM_INPUT_RBUTTON = kWmUser + 103;
constexpr unsigned WM_INPUT_MBUTTON = kWmUser + 104;
constexpr unsigned WM_INPUT_WHEEL = kWmUser + 105;
constexpr unsigned WM_TRAY_NOTIFY = kWmUser + 106;
constexpr unsigned WM_INPUT_KEY = kWmUser + 107;
// Sent by the tool dialogs.
constexpr unsigned WM_SET_HOTKEY = kWmUser + 108;
constexpr unsigned WM_IDLE_SHUTDOWN_ON = kWmUser + 109;
constexpr unsigned WM_IDLE_SHUTDOWN_OFF = kWmUser + 110;
// Posted by TallivoTaskHook.dll for events of the chosen thread.
constexpr unsigned WM_PROC_LBUTTON = kWmUser + 112;
constexpr unsigned WM_PROC_RBUTTON = kWmUser + 113;
constexpr unsigned WM_PROC_MBUTTON = kWmUser + 114;
constexpr unsigned WM_PROC_WHEEL = kWmUser + 115;
constexpr unsigned WM_PROC_KEY = kWmUser + 117;
// Sent by the process picker and the per-process panel.
constexpr unsigned WM_PROC_SELECT = kWmUser + 120;
constexpr unsigned WM_PROC_RESET = kWmUser + 121;

// Timers of the main window.
constexpr unsigned TIMER_REFRESH = 1;  // 100 ms
constexpr unsigned TIMER_SECOND = 2;   // 1 s
constexpr unsigned TIMER_IDLE = 3;     // 1 s, only while idle shutdown is on
constexpr unsigned TIMER_CURSOR = 4;   // 1 ms requested, raised by the system to ~10 ms

constexpr unsigned kRefreshMs = 100;
constexpr unsigned kSecondMs = 1000;
constexpr unsigned kCursorMs = 1;

}  // namespace tallivo
