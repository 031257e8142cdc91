// The CSV export on the platform: the save dialog and a write that never
// leaves a half-written file under the chosen name.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "history_window/history_model.h"

namespace tallivo::history {

// The save dialog, one filter per table (每日, 时段, 按键, 程序), starting at
// the given table with its default name. "" when cancelled; *table becomes
// the table of the chosen filter.
std::string AskCsvPath(HWND owner, const Range& range, CsvTable* table);

// Writes the bytes to a scratch file beside path and then puts it in
// path's place in one step (replacing a file there). Returns 0, or the
// system error code of the step that failed (ERROR_DISK_FULL for a short
// write); the scratch file is gone either way.
uint32_t WriteFileReplacing(const std::string& path, const std::string& bytes);

// The file-error text of the code for path, as the report's save shows it,
// in a box owned by owner.
void ShowExportError(HWND owner, uint32_t systemError, const std::string& path);

}  // namespace tallivo::history
