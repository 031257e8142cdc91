#include "history_window/history_export.h"

#include <commdlg.h>

#include <cwchar>
#include <iterator>

#include "base/text_format.h"
#include "history_window/history_window_rules.h"
#include "ui/dialog.h"
#include "ui/file_error.h"

namespace tallivo::history {

std::string AskCsvPath(HWND owner, const Range& range, CsvTable* table) {
  static const wchar_t* const kFilterNames[] = {L"每日 (*.csv)", L"时段 (*.csv)", L"按键 (*.csv)", L"程序 (*.csv)"};
  std::wstring filter;
  for (const wchar_t* name : kFilterNames) {
    filter += name;
    filter.push_back(L'\0');
    filter += L"*.csv";
    filter.push_back(L'\0');
  }
  wchar_t file[1024] = {};
  wcsncpy(file, Wide(CsvFileName(*table, range)).c_str(), std::size(file) - 1);
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(*table) + 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = std::size(file);
  ofn.lpstrDefExt = L"csv";
  ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
  if (!GetSaveFileNameW(&ofn)) return std::string();
  if (ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= 4) *table = static_cast<CsvTable>(ofn.nFilterIndex - 1);
  return Utf8(file);
}

uint32_t WriteFileReplacing(const std::string& path, const std::string& bytes) {
  std::wstring scratch = Wide(ScratchPathFor(path));
  if (scratch.empty()) {
    // A name near the length limit leaves no room for the suffix: a short
    // unique name in the same folder, so that the last step is a rename.
    wchar_t tmp[MAX_PATH] = {};
    const std::string folder = FolderOfPath(path);
    if (!GetTempFileNameW(folder.empty() ? L"." : Wide(folder).c_str(), L"tvc", 0, tmp)) return GetLastError();
    scratch = tmp;
  }
  HANDLE file = CreateFileW(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    DeleteFileW(scratch.c_str());  // the one GetTempFileNameW made, if any
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
  if (!error && !MoveFileExW(scratch.c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error) DeleteFileW(scratch.c_str());
  return error;
}

void ShowExportError(HWND owner, uint32_t systemError, const std::string& path) {
  wchar_t text[512] = {};
  if (LoadStringW(GetModuleHandleW(nullptr), ui::FileErrorStringId(systemError), text, 512) <= 0) {
    LoadStringW(GetModuleHandleW(nullptr), ui::kIdsCommandFailed, text, 512);
  }
  ui::AppMessageBox(owner, ui::FormatFileError(Utf8(text), path), MB_OK | MB_ICONSTOP);
}

}  // namespace tallivo::history
