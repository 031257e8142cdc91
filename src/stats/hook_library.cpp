#include "stats/hook_library.h"

#include <windows.h>

#include "app/profile_store.h"
#include "hooks/hook_api.h"
#include "tools/system_ops.h"

namespace {

using StopFn = void(__cdecl*)();
using StartFn = void(__cdecl*)(HWND);
using StartTaskFn = void(__cdecl*)(HWND, DWORD);
using InstalledFn = int(__cdecl*)();
using ReportsFn = DWORD(__cdecl*)();

StopFn g_stop = nullptr;
StartFn g_start = nullptr;
StopFn g_stopTask = nullptr;
StartTaskFn g_startTask = nullptr;
InstalledFn g_installed = nullptr;
ReportsFn g_reports = nullptr;

// Only from the program's folder: a library of that name elsewhere on the
// search path is never taken.
HMODULE LoadBeside(const char* name) {
  const std::string folder = tallivo::FolderOfModulePath(tools::ModulePath());
  if (folder.empty()) return nullptr;
  return LoadLibraryExA((folder + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

template <typename T>
T Ordinal(HMODULE m, int ordinal) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(m, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

namespace hooklib {

bool Load(std::string* failedLibrary) {
  HMODULE global = LoadBeside("TallivoHook.dll");
  if (global) {
    g_stop = Ordinal<StopFn>(global, 1);
    g_start = Ordinal<StartFn>(global, 2);
    g_installed = Ordinal<InstalledFn>(global, 3);
    g_reports = Ordinal<ReportsFn>(global, 4);
  }
  if (!g_stop || !g_start || !g_installed || !g_reports) {
    if (failedLibrary) *failedLibrary = "TallivoHook.dll";
    return false;
  }
  HMODULE task = LoadBeside("TallivoTaskHook.dll");
  if (task) {
    g_stopTask = Ordinal<StopFn>(task, 1);
    g_startTask = Ordinal<StartTaskFn>(task, 2);
  }
  if (!g_stopTask || !g_startTask) {
    if (failedLibrary) *failedLibrary = "TallivoTaskHook.dll";
    return false;
  }
  return true;
}

HMODULE LoadFromProgramFolder(const char* name) { return LoadBeside(name); }

}  // namespace hooklib

// The entry points the windows call; harmless before a successful Load.
void __cdecl TallivoStopHook() {
  if (g_stop) g_stop();
}
void __cdecl TallivoStartHook(HWND target) {
  if (g_start) g_start(target);
}
int __cdecl TallivoHookInstalled() { return g_installed ? g_installed() : 0; }
DWORD __cdecl TallivoHookReportsSeen() { return g_reports ? g_reports() : 0; }
void __cdecl TallivoStopTaskHook() {
  if (g_stopTask) g_stopTask();
}
void __cdecl TallivoStartTaskHook(HWND target, DWORD threadId) {
  if (g_startTask) g_startTask(target, threadId);
}
