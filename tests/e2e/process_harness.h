// The per-process panel and the process picker of a running program, read
// and driven from outside its process.
#pragma once

#include <cstring>

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
  RemoteList(HWND list, DWORD pid);
  ~RemoteList();
  RemoteList(const RemoteList&) = delete;
  RemoteList& operator=(const RemoteList&) = delete;
  // The row naming exe in its second column, -1 when none does.
  int Find(const char* exe);
  // The second column of every row, one per line.
  std::string Names();
  POINT RowPoint(int row);

 private:
  int Rows() const;
  std::string Name(int row);
  // Sends msg with a copy of *data in the shared block and copies it back.
  template <typename T>
  void Call(UINT msg, WPARAM wp, T* data) {
    memcpy(m_block.Local(), data, sizeof *data);
    SendMessageA(m_list, msg, wp, reinterpret_cast<LPARAM>(m_block.Remote()));
    memcpy(data, m_block.Local(), sizeof *data);
  }
  HWND m_list;
  HANDLE m_proc;
  SharedBlock m_block;
};

}  // namespace e2e
