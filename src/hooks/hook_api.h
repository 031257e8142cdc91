// Entry points of the two hook libraries, imported by ordinal.
#pragma once

#include <windows.h>

extern "C" {
void __cdecl TallivoStopHook();                                  // TallivoHook.dll @1
void __cdecl TallivoStartHook(HWND target);                      // TallivoHook.dll @2
int __cdecl TallivoHookInstalled();                              // TallivoHook.dll @3
DWORD __cdecl TallivoHookReportsSeen();                          // TallivoHook.dll @4
void __cdecl TallivoStopTaskHook();                              // TallivoTaskHook.dll @1
void __cdecl TallivoStartTaskHook(HWND target, DWORD threadId);  // TallivoTaskHook.dll @2
}
