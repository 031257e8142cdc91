#include "tools/system_ops.h"

#include <commdlg.h>

#include <cstring>

#include "stats/report.h"
#include "ui/data_exchange.h"
#include "ui/file_error.h"

using tallivo::AutoStartOutcome;
using tallivo::RunKeyResult;

namespace tools {

void RequestShutdown() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid)) {
      AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  // Not checked: a refused request is asked again on the next tick.
  ExitWindowsEx(EWX_SHUTDOWN, 0);
}

std::string ModulePath() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // A cut-off path would make Windows start nothing, or something else.
  if (n == 0 || n >= MAX_PATH) return std::string();
  return std::string(path, n);
}

namespace {

// Always the per-user key, which may not exist yet in a new profile.
RunKeyResult WriteUserRunValue(const std::string& data) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, tallivo::kRunSubkey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return RunKeyResult::NoAccess;
  }
  // REG_SZ data with its terminating zero, as the registry expects.
  const LONG set = RegSetValueExA(key, tallivo::kRunValueName, 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
  return set == ERROR_SUCCESS ? RunKeyResult::Done : RunKeyResult::Failed;
}

bool RunValuePresent(HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, tallivo::kRunSubkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  const LONG r = RegQueryValueExA(key, tallivo::kRunValueName, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

RunKeyResult RemoveRunValue(HKEY root) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExA(root, tallivo::kRunSubkey, 0, KEY_WRITE, &key);
  if (opened != ERROR_SUCCESS) {
    // Only a value we cannot remove matters: it still starts the program.
    return RunValuePresent(root) ? RunKeyResult::NoAccess : RunKeyResult::Absent;
  }
  const LONG r = RegDeleteValueA(key, tallivo::kRunValueName);
  RegCloseKey(key);
  if (r == ERROR_SUCCESS) return RunKeyResult::Done;
  if (r == ERROR_FILE_NOT_FOUND) return RunKeyResult::Absent;
  return RunKeyResult::Failed;
}

}  // namespace

AutoStartOutcome RegisterAutoStart() {
  const std::string path = ModulePath();
  if (path.empty()) return tallivo::RegisterOutcome(RunKeyResult::Failed);
  return tallivo::RegisterOutcome(WriteUserRunValue(tallivo::RunValueData(path)));
}

AutoStartOutcome UnregisterAutoStart() {
  const RunKeyResult machine = RemoveRunValue(HKEY_LOCAL_MACHINE);
  const RunKeyResult user = RemoveRunValue(HKEY_CURRENT_USER);
  return tallivo::UnregisterOutcome(machine, user);
}

namespace {

std::string MarkerPath() { return tallivo::MarkerPathForModule(ModulePath()); }

// Creates or truncates the file and writes the bytes, flushed to the disk
// when asked. Others may read the file meanwhile (a virus scanner, a
// backup, the user). A failure is shown in the file-error box.
bool WriteWholeFile(const std::string& path, const char* data, DWORD size, bool flush) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ui::ShowFileError(GetLastError(), path.c_str());
    return false;
  }
  DWORD written = 0;
  DWORD error = 0;
  if (!WriteFile(file, data, size, &written, nullptr)) {
    error = GetLastError();
  } else if (written < size) {
    error = ui::kErrorDiskFull;
  } else if (flush && !FlushFileBuffers(file)) {
    error = GetLastError();
  }
  CloseHandle(file);
  if (error) ui::ShowFileError(error, path.c_str());
  return error == 0;
}

}  // namespace

bool ReadAutoStartMarker(std::string* content) {
  const std::string path = MarkerPath();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char byte = 0;
  DWORD got = 0;
  const BOOL ok = ReadFile(file, &byte, 1, &got, nullptr);
  CloseHandle(file);
  if (!ok) return false;
  content->assign(&byte, got);
  return true;
}

bool WriteAutoStartMarker(const char* text) {
  return WriteWholeFile(MarkerPath(), text, static_cast<DWORD>(std::strlen(text)), true);
}

std::string AskReportPath(HWND owner) {
  char file[1024] = {};
  std::strncpy(file, tallivo::kReportDefaultName, sizeof file - 1);
  const std::string filter = tallivo::ReportFilter();
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrDefExt = tallivo::kReportDefaultExt;
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
  if (!GetSaveFileNameA(&ofn)) return std::string();
  return file;
}

bool WriteReportFile(const std::string& path, const std::string& text) {
  return WriteWholeFile(path, text.data(), static_cast<DWORD>(text.size()), false);
}

}  // namespace tools
