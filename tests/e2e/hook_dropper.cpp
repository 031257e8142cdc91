// Loaded into the program under test to take its input hooks away behind its back, as Windows does with hooks it finds
// too slow: calls the hook library's entry for that in the program's own copy of the library, then refuses to stay
// loaded.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  if (HMODULE hooks = GetModuleHandleA("TallivoHook.dll")) {
    using DropFn = void(__cdecl*)();
    auto drop = reinterpret_cast<DropFn>(reinterpret_cast<void*>(GetProcAddress(hooks, MAKEINTRESOURCEA(100))));
    if (drop) drop();
  }
  return FALSE;
}
