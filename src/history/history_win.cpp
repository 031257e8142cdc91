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

std::string LocalPlace(const wchar_t* name) {
  const std::wstring history = Wide(PrepareHistoryPath().utf8);
  std::wstring place = history.substr(0, history.find_last_of(L'\\') + 1) + name;
  CreateDirectoryW(place.c_str(), nullptr);
  return Utf8(place);
}

namespace {

constexpr wchar_t kSyncKey[] = L"Software\\Tallivo\\Tallivo\\Sync";

std::string ReadText(HKEY key, const wchar_t* value) {
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf - sizeof buf[0];
  if (RegGetValueW(key, nullptr, value, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return "";
  return Utf8(std::wstring(buf));
}

bool WriteText(HKEY key, const wchar_t* value, const std::string& text) {
  if (text.empty()) {
    const LSTATUS rc = RegDeleteValueW(key, value);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
  }
  const std::wstring w = Wide(text);
  return RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(w.c_str()),
                        static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace

SyncSettings ReadSyncSettings() {
  SyncSettings s;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSyncKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    s.folder = ReadText(key, L"Folder");
    s.nameSaved = ReadText(key, L"Name");
    RegCloseKey(key);
  }
  // A folder typed with a slash at its end is the same folder.
  while (s.folder.size() > 3 && (s.folder.back() == '\\' || s.folder.back() == '/')) s.folder.pop_back();
  s.name = s.nameSaved;
  if (s.name.empty()) {
    wchar_t buf[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
    s.name = GetComputerNameW(buf, &n) ? Utf8(std::wstring(buf, n)) : "";
  }
  return s;
}

bool WriteSyncSettings(const std::string& folder, const std::string& name) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSyncKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const bool ok = WriteText(key, L"Folder", folder) && WriteText(key, L"Name", name);
  RegCloseKey(key);
  return ok;
}

const std::string& ForegroundProgram::Of(HWND fg) {
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
