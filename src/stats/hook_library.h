// Loads the two hook libraries from the program's own folder and resolves
// their entry points by ordinal. The entry points of hooks/hook_api.h call
// through what was resolved here.
#pragma once

#include <windows.h>

#include <string>

namespace hooklib {

// Loads both libraries; on failure returns false and names the library
// that is missing or not the right one.
bool Load(std::string* failedLibrary);

// Any other library of ours (SkinH.dll), by full path from the program's
// folder only; null when it is not there.
HMODULE LoadFromProgramFolder(const char* name);

}  // namespace hooklib
