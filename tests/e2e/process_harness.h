// The per-process panel and the process picker of a running program, read and driven from outside its process.
#pragma once

#include "harness.h"

namespace e2e {

HWND ProcessPanelWindow();
HWND ProcessPickerWindow();
// Waits until the panel shows these counts (left, right, middle, wheel,
// keys); each label that does not is reported as a failure.
bool PanelShows(std::array<uint32_t, 5> n);
// The picker's row naming exe in its second column, -1 when none does; and that column of every row, one per line.
int PickerRow(const App& app, const char* exe);
std::string PickerNames(const App& app);
// Opens the panel by the menu command unless it is shown, the picker from it, and double-clicks the executable's row.
bool ChooseProcess(const App& app, const char* exe);

}  // namespace e2e
