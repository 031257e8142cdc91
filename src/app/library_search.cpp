// A library named without a path is looked for in the program's folder
// first, before the system folder (LoadLibrary also tries the current
// directory and PATH); only the KnownDLLs always come from the system
// folder. A portable copy unpacked into a downloads folder must never load
// a wininet.dll or winmm.dll that happens to lie beside it, so:
// - kernel32, user32, gdi32, advapi32, shell32, comdlg32, ole32 and msvcrt
//   are KnownDLLs on Windows 7 to 11 and stay ordinary imports;
// - comctl32, WinINet and WinMM are none on current Windows: they are
//   delay-loaded (see CMakeLists.txt), and the hook below loads them at
//   their first call, after RestrictLibrarySearch, from the system folder
//   (common controls 6 from the side-by-side store the manifest names:
//   that redirection comes before any search); what they import in turn
//   comes from there too;
// - whatever is loaded by name later, by us or inside system libraries, is
//   looked for in the system folder only.
// Our own libraries are loaded by full path (stats/hook_library.h).
#include "app/library_search.h"

#include <windows.h>
#include <delayimp.h>

#include <cstring>
#include <string>

namespace {

// name: the ASCII name of a system library.
HMODULE LoadSystemLibrary(const char* name) {
  const std::wstring wide(name, name + strlen(name));
  // The flag needs Windows 8, or Windows 7 with KB2533623; without it the
  // call fails and the full path does the same (common controls 5 then,
  // the plain look).
  if (HMODULE m = LoadLibraryExW(wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return m;
  wchar_t dir[MAX_PATH] = {};
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  return LoadLibraryExW((std::wstring(dir, n) + L"\\" + wide).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC WINAPI DelayLoadHook(unsigned note, PDelayLoadInfo info) {
  if (note != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
  return reinterpret_cast<FARPROC>(LoadSystemLibrary(info->szDll));
}

}  // namespace

// Consulted by the delay-load helper before it loads a library itself.
PfnDliHook __pfnDliNotifyHook2 = DelayLoadHook;

namespace app {

void RestrictLibrarySearch() {
  using SetDirsFn = BOOL(WINAPI*)(DWORD);
  const auto setDirs = reinterpret_cast<SetDirsFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDirs && setDirs(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  // An older Windows 7: at least never the current directory.
  SetDllDirectoryW(L"");
}

}  // namespace app
