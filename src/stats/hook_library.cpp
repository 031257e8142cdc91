#include "stats/hook_library.h"

#include "base/module_path.h"
#include "base/text_format.h"
#include "hooks/hook_api.h"

namespace {

hookapi::StopFn g_stop = nullptr;
hookapi::StartFn g_start = nullptr;
hookapi::InstalledFn g_installed = nullptr;
hookapi::ReportsSeenFn g_reports = nullptr;
hookapi::WatchPointerFn g_watchPointer = nullptr;
hookapi::PointerMovesFn g_pointerMoves = nullptr;
hookapi::TakeSamplesFn g_takeSamples = nullptr;
hookapi::TakeEventsFn g_takeEvents = nullptr;
hookapi::StopTaskFn g_stopTask = nullptr;
hookapi::StartTaskFn g_startTask = nullptr;

// Only from the program's folder: a library of that name elsewhere on the
// search path is never taken.
HMODULE LoadBeside(const char* name) {
  const std::string folder = tallivo::ModuleFolder();
  if (folder.empty()) return nullptr;
  return LoadLibraryExW(tallivo::Wide(folder + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
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
    g_stop = Ordinal<hookapi::StopFn>(global, hookapi::kStopOrdinal);
    g_start = Ordinal<hookapi::StartFn>(global, hookapi::kStartOrdinal);
    g_installed = Ordinal<hookapi::InstalledFn>(global, hookapi::kInstalledOrdinal);
    g_reports = Ordinal<hookapi::ReportsSeenFn>(global, hookapi::kReportsSeenOrdinal);
    g_watchPointer = Ordinal<hookapi::WatchPointerFn>(global, hookapi::kWatchPointerOrdinal);
    g_pointerMoves = Ordinal<hookapi::PointerMovesFn>(global, hookapi::kPointerMovesOrdinal);
    g_takeSamples = Ordinal<hookapi::TakeSamplesFn>(global, hookapi::kTakeSamplesOrdinal);
    g_takeEvents = Ordinal<hookapi::TakeEventsFn>(global, hookapi::kTakeEventsOrdinal);
  }
  if (!g_stop || !g_start || !g_installed || !g_reports || !g_watchPointer || !g_pointerMoves || !g_takeSamples ||
      !g_takeEvents) {
    if (failedLibrary) *failedLibrary = "TallivoHook.dll";
    return false;
  }
  HMODULE task = LoadBeside("TallivoTaskHook.dll");
  if (task) {
    g_stopTask = Ordinal<hookapi::StopTaskFn>(task, hookapi::kStopOrdinal);
    g_startTask = Ordinal<hookapi::StartTaskFn>(task, hookapi::kStartOrdinal);
  }
  if (!g_stopTask || !g_startTask) {
    if (failedLibrary) *failedLibrary = "TallivoTaskHook.dll";
    return false;
  }
  return true;
}

HMODULE LoadFromProgramFolder(const char* name) { return LoadBeside(name); }

void StartGlobal(HWND target) {
  if (g_start) g_start(target);
}
void StopGlobal() {
  if (g_stop) g_stop();
}
bool GlobalHooksInstalled() { return g_installed && g_installed() != 0; }
DWORD GlobalReportsSeen() { return g_reports ? g_reports() : 0; }
DWORD WatchPointer() { return g_watchPointer ? g_watchPointer() : 0; }
DWORD PointerMoves() { return g_pointerMoves ? g_pointerMoves() : 0; }
unsigned TakeSamples(TallivoSample* out, unsigned capacity) { return g_takeSamples ? g_takeSamples(out, capacity) : 0; }
unsigned TakeEvents(TallivoEvent* out, unsigned capacity) { return g_takeEvents ? g_takeEvents(out, capacity) : 0; }
void StartTask(HWND target, DWORD threadId) {
  if (g_startTask) g_startTask(target, threadId);
}
void StopTask() {
  if (g_stopTask) g_stopTask();
}

}  // namespace hooklib
