// The process picker: lists the running processes, looked at every ten
// seconds and rebuilt when they changed, and on a double click hands the
// chosen process's window thread to the main window and its name to the
// per-process panel.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialog.h"

class CProcessPickerDlg : public ui::CDialog {
 public:
  CProcessPickerDlg();
  ~CProcessPickerDlg() override;

  // The first top-level window (front to back, visible or not) of the
  // process, or null when it has none.
  static HWND FindProcessWindow(DWORD processId);

 protected:
  BOOL OnInitDialog() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  void FillProcessList();
  void OnDblclkProcessList();
  static BOOL CALLBACK EnumWindowsProc(HWND hwnd, LPARAM lp);

  HWND m_processList = nullptr;
  std::unique_ptr<PROCESSENTRY32W> m_entry;
  // What the list shows: (id, file name) in the order of the snapshot.
  std::vector<std::pair<DWORD, std::string>> m_processes;
  bool m_listed = false;
};
