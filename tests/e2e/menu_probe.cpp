// Loaded into the program under test to read a menu item's state, which no other process can read: the request and the
// answer go through a named shared block. DllMain answers and refuses to stay loaded.
#include <windows.h>

#include "menu_probe.h"

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  HANDLE map = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, e2e::kMenuProbeName);
  if (!map) return FALSE;
  if (auto* p = static_cast<e2e::MenuProbe*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(e2e::MenuProbe)))) {
    HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(p->window));
    HMENU sub = GetSubMenu(GetMenu(window), p->submenu);
    p->state = sub ? GetMenuState(sub, p->command, MF_BYCOMMAND) : 0xFFFFFFFFu;
    p->done = 1;
    UnmapViewOfFile(p);
  }
  CloseHandle(map);
  return FALSE;
}
