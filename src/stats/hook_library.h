// The exe's side of the hook libraries: loads both from the program's own
// folder, resolves their entry points by ordinal (hooks/hook_api.h) and
// calls through them. The calls have names of their own so that they are
// never taken for the libraries' exports.
#pragma once

#include <windows.h>

#include <string>

#include "hooks/hook_api.h"

namespace hooklib {

// Loads both libraries; on failure returns false and names the library
// that is missing or not the right one.
bool Load(std::string* failedLibrary);

// Global counting (TallivoHook.dll) and per-process counting
// (TallivoTaskHook.dll). Each does nothing before a successful Load.
void StartGlobal(HWND target);
void StopGlobal();
// For the watchdog: whether both global hooks are in place since the last
// start, and how many input reports they have seen (wraps).
bool GlobalHooksInstalled();
DWORD GlobalReportsSeen();
// WM_INPUT_MOVING to the counting window at the next pointer move or
// counted event, once;
// returns the pointer moves the hook has seen so far (wraps), which
// PointerMoves reads alone.
DWORD WatchPointer();
DWORD PointerMoves();
// The distance samples the hook took from the pointer's moves since the
// last call, oldest first (at most capacity; the rest wait).
unsigned TakeSamples(TallivoSample* out, unsigned capacity);
// The counted events the hook keeps for the window since the last call,
// oldest first (at most capacity; the rest wait).
unsigned TakeEvents(TallivoEvent* out, unsigned capacity);
void StartTask(HWND target, DWORD threadId);
void StopTask();
// Any other library of ours (SkinH.dll), by full path from the program's
// folder only; null when it is not there.
HMODULE LoadFromProgramFolder(const char* name);

}  // namespace hooklib
