// Entry points of the two hook libraries. The libraries define them and
// export them by ordinal only (TallivoHook.def, TallivoTaskHook.def).
// Tallivo.exe never links against these names: it loads both libraries
// from its own folder at run time and calls through pointers resolved by
// ordinal (stats/hook_library.h), using the pointer types and ordinals
// below, so a missing or foreign library is reported instead of stopping
// the loader.
#pragma once

#include <windows.h>

extern "C" {
// One distance sample: the pointer's place at a 10 ms tick, and the tick's
// time (GetTickCount's clock).
struct TallivoSample {
  LONG x, y;
  DWORD atMs;
};
// Counted events alike, waiting for the window: the first one's time, the
// kind (offset in the input block of base/messages.h), a key stroke's
// virtual-key code, how many, and the foreground window then.
struct TallivoEvent {
  DWORD atMs;
  WORD kind;
  WORD code;
  DWORD count;
  DWORD reserved;
  ULONGLONG foreground;
};
void __cdecl TallivoStopHook();                                  // TallivoHook.dll @1
void __cdecl TallivoStartHook(HWND target);                      // TallivoHook.dll @2
int __cdecl TallivoHookInstalled();                              // TallivoHook.dll @3
DWORD __cdecl TallivoHookReportsSeen();                          // TallivoHook.dll @4
DWORD __cdecl TallivoWatchPointer();                             // TallivoHook.dll @5
DWORD __cdecl TallivoPointerMoves();                             // TallivoHook.dll @6
DWORD __cdecl TallivoTakeSamples(TallivoSample* out, DWORD capacity);  // TallivoHook.dll @7
DWORD __cdecl TallivoTakeEvents(TallivoEvent* out, DWORD capacity);    // TallivoHook.dll @8
void __cdecl TallivoStopTaskHook();                              // TallivoTaskHook.dll @1
void __cdecl TallivoStartTaskHook(HWND target, DWORD threadId);  // TallivoTaskHook.dll @2
}

namespace hookapi {

// Both libraries: stop and start.
constexpr int kStopOrdinal = 1;
constexpr int kStartOrdinal = 2;
// TallivoHook.dll only: the state its watchdog reads.
constexpr int kInstalledOrdinal = 3;
constexpr int kReportsSeenOrdinal = 4;
// TallivoHook.dll only: post WM_INPUT_MOVING once, at the next pointer move
// (returns the pointer moves seen so far), and those moves alone.
constexpr int kWatchPointerOrdinal = 5;
constexpr int kPointerMovesOrdinal = 6;
// TallivoHook.dll only: the distance samples taken from the pointer's
// moves since the last call.
constexpr int kTakeSamplesOrdinal = 7;
// TallivoHook.dll only: the counted events since the last call.
constexpr int kTakeEventsOrdinal = 8;

using StopFn = decltype(&TallivoStopHook);
using StartFn = decltype(&TallivoStartHook);
using InstalledFn = decltype(&TallivoHookInstalled);
using ReportsSeenFn = decltype(&TallivoHookReportsSeen);
using WatchPointerFn = decltype(&TallivoWatchPointer);
using PointerMovesFn = decltype(&TallivoPointerMoves);
using TakeSamplesFn = decltype(&TallivoTakeSamples);
using TakeEventsFn = decltype(&TallivoTakeEvents);
using StopTaskFn = decltype(&TallivoStopTaskHook);
using StartTaskFn = decltype(&TallivoStartTaskHook);

}  // namespace hookapi
