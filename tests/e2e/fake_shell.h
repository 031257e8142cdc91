// Stands in for the shell's notification area: a window of the tray's class that the program's Shell_NotifyIcon calls
// reach first, recording each call. Under Wine those calls arrive as WM_COPYDATA in Wine's own layout.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace e2e {

struct TrayCall {
  DWORD message = 0;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
  UINT flags = 0;
  std::string tip;  // UTF-8
  std::string info;
};

class FakeShell {
 public:
  FakeShell();
  ~FakeShell();
  // True when Shell_NotifyIcon of other programs reaches this window.
  bool Active() const;
  // As a shell that started anew: no icon, no calls.
  void Restart() {
    m_calls.clear();
    m_exists = false;
  }
  bool IconExists() const { return m_exists; }
  // The newest tip the program set, "" when none.
  std::string LastTip() const;
  // The balloon text of the newest add; "<no balloon>" when it had none.
  std::string Balloon() const;
  // The newest balloon text of any call, "" when none.
  std::string LastInfo() const;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND m_hwnd = nullptr;
  bool m_exists = false;
  std::vector<TrayCall> m_calls;
};

}  // namespace e2e
