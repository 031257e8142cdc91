// Loads the two hook libraries from the program's own folder and resolves
// their entry points by ordinal. The entry points of hooks/hook_api.h call
// through what was resolved here.
#pragma once

#include <string>

namespace hooklib {

// Loads both libraries; on failure returns false and names the library
// that is missing or not the right one.
bool Load(std::string* failedLibrary);

}  // namespace hooklib
