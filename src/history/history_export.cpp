#include "history/history_export.h"

#include <commdlg.h>

#include <cstring>

#include "history/history_window_rules.h"
#include "ui/dialog.h"
#include "ui/file_error.h"

namespace tallivo::history {

std::string AskCsvPath(HWND owner, const Range& range, CsvTable* table) {
  static const char* const kFilterNames[] = {"每日 (*.csv)", "时段 (*.csv)", "按键 (*.csv)", "程序 (*.csv)"};
  std::string filter;
  for (const char* name : kFilterNames) {
    filter += name;
    filter.push_back('\0');
    filter += "*.csv";
    filter.push_back('\0');
  }
  char file[1024] = {};
  std::strncpy(file, CsvFileName(*table, range).c_str(), sizeof file - 1);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(*table) + 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrDefExt = "csv";
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
  if (!GetSaveFileNameA(&ofn)) return std::string();
  if (ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= 4) *table = static_cast<CsvTable>(ofn.nFilterIndex - 1);
  return file;
}

uint32_t WriteFileReplacing(const std::string& path, const std::string& bytes) {
  std::string scratch = ScratchPathFor(path);
  if (scratch.empty()) {
    // A name near the length limit leaves no room for the suffix: a short
    // unique name in the same folder, so that the last step is a rename.
    char tmp[MAX_PATH] = {};
    const std::string folder = FolderOfPath(path);
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "tvc", 0, tmp)) return GetLastError();
    scratch = tmp;
  }
  HANDLE file = CreateFileA(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    DeleteFileA(scratch.c_str());  // the one GetTempFileNameA made, if any
    return error;
  }
  DWORD error = 0;
  DWORD written = 0;
  if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
    error = GetLastError();
  } else if (written < bytes.size()) {
    error = ui::kErrorDiskFull;
  } else if (!FlushFileBuffers(file)) {
    error = GetLastError();
  }
  CloseHandle(file);
  if (!error && !MoveFileExA(scratch.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error) DeleteFileA(scratch.c_str());
  return error;
}

void ShowExportError(HWND owner, uint32_t systemError, const std::string& path) {
  char text[512] = {};
  if (LoadStringA(GetModuleHandleA(nullptr), ui::FileErrorStringId(systemError), text, sizeof text) <= 0) {
    LoadStringA(GetModuleHandleA(nullptr), ui::kIdsCommandFailed, text, sizeof text);
  }
  ui::AppMessageBox(owner, ui::FormatFileError(text, path).c_str(), MB_OK | MB_ICONSTOP);
}

}  // namespace tallivo::history
