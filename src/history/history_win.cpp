#include "history/history_win.h"

#include <shlobj.h>

#include <vector>

#include "base/text_format.h"

namespace tallivo::history {

HistoryPath PrepareHistoryPath() {
  HistoryPath p;
  wchar_t base[MAX_PATH] = {};
  std::wstring folder;
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, base))) {
    folder = base;
  } else {
    // No shell folder (a stripped-down system): the variable, or the
    // program's own folder as the last resort.
    DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH);
    if (n > 0 && n < MAX_PATH) folder = base;
  }
  if (!folder.empty()) {
    folder += L"\\Tallivo";
    p.folderReady = CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
  } else {
    folder = L"Tallivo";
  }
  const std::wstring file = folder + L"\\history.db";
  p.utf8 = Utf8(file);
  return p;
}

const std::string& ForegroundProgram::Current() {
  HWND fg = GetForegroundWindow();
  if (fg == m_hwnd) return m_exe;
  m_hwnd = fg;
  DWORD pid = 0;
  if (fg) GetWindowThreadProcessId(fg, &pid);
  if (pid == m_pid && pid != 0) return m_exe;
  m_pid = pid;
  m_exe.clear();
  if (!pid) return m_exe;
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return m_exe;
  std::vector<wchar_t> path(32768);
  DWORD size = static_cast<DWORD>(path.size());
  if (QueryFullProcessImageNameW(process, 0, path.data(), &size) && size > 0) {
    const wchar_t* name = path.data();
    for (DWORD i = 0; i < size; ++i) {
      if (path[i] == L'\\' || path[i] == L'/') name = path.data() + i + 1;
    }
    std::wstring lower(name, static_cast<size_t>(path.data() + size - name));
    if (!lower.empty()) CharLowerBuffW(lower.data(), static_cast<DWORD>(lower.size()));
    m_exe = Utf8(lower);
  }
  CloseHandle(process);
  return m_exe;
}

}  // namespace tallivo::history
