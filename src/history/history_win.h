// The history's Windows side: where the file lives, and which program owns
// the foreground window.
#pragma once

#include <windows.h>

#include <string>

namespace tallivo::history {

struct HistoryPath {
  std::string utf8;
  bool folderReady = false;
};

// %LOCALAPPDATA%\Tallivo\history.db; the folder is created when missing.
HistoryPath PrepareHistoryPath();

// The lower-case file name (UTF-8) of the program that owns the foreground
// window, "" when there is none or it cannot be read. Looked up again only
// when the foreground window changes.
class ForegroundProgram {
 public:
  const std::string& Current();

 private:
  HWND m_hwnd = nullptr;
  DWORD m_pid = 0;
  std::string m_exe;
};

}  // namespace tallivo::history
