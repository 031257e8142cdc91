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
// A folder of our own beside it (made when missing), for work files and
// the private copies of other computers' files: ...\Tallivo\<name>.
std::string LocalPlace(const wchar_t* name);

// The sync folder's setting, HKCU\Software\Tallivo\Tallivo\Sync: Folder
// (missing or empty: off) and Name (missing or empty: the computer name).
struct SyncSettings {
  std::string folder;
  std::string name;       // as shown to the other computers
  std::string nameSaved;  // as stored, "" for the default
};
SyncSettings ReadSyncSettings();
// Stores both; an empty text removes its value. False when that failed.
bool WriteSyncSettings(const std::string& folder, const std::string& name);

// The lower-case file name (UTF-8) of the program that owns the foreground
// window, "" when there is none or it cannot be read. Looked up again only
// when the foreground window changes.
class ForegroundProgram {
 public:
  const std::string& Current() { return Of(GetForegroundWindow()); }
  // The same for a window that was in the foreground.
  const std::string& Of(HWND fg);

 private:
  HWND m_hwnd = nullptr;
  DWORD m_pid = 0;
  std::string m_exe;
};

}  // namespace tallivo::history
