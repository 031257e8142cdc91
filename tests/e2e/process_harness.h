// The per-process panel and the process picker of a running program, read and driven from outside its process.
#pragma once

#include "harness.h"

namespace e2e {

HWND ProcessPanelWindow();
HWND ProcessPickerWindow();
// Waits until the panel shows these counts (left, right, middle, wheel,
// keys); each label that does not is reported as a failure.
bool PanelShows(std::array<uint32_t, 5> n);
// Opens the picker from the panel and double-clicks the executable's row.
bool ChooseProcess(DWORD programPid, const char* exe);

// The picker's list view, read from outside the program's process.
class RemoteList {
 public:
  RemoteList(HWND list, DWORD pid) : m_list(list), m_proc(OpenProcess(PROCESS_VM_OPERATION, FALSE, pid)) {}
  ~RemoteList() {
    if (m_proc) CloseHandle(m_proc);
  }
  RemoteList(const RemoteList&) = delete;
  RemoteList& operator=(const RemoteList&) = delete;
  // The row naming exe in its second column, -1 when none does.
  int Find(const char* exe);
  // The second column of every row, one per line.
  std::string Names();
  POINT RowPoint(int row);

 private:
  HWND m_list;
  HANDLE m_proc;
};

}  // namespace e2e
