// The program's own file: the folder it lies in and the name it goes by.
// Paths are UTF-8 text, whose multi-byte characters never hold a byte that
// looks like a separator or a dot.
#pragma once

#include <string>

namespace tallivo {

struct PathParts {
  std::string folder;  // up to and including the last separator; "" without one
  std::string name;    // the rest
};

// Separators are '\', '/' and the ':' of a drive.
PathParts SplitPath(const std::string& path);

// The application name used in the registry path and message-box captions:
// the file name without directory and extension.
std::string AppNameFromModulePath(const std::string& path);

// Windows only (module_path_win.cpp).
// The executable's full path, or "" when it cannot be had whole.
std::string ModulePath();
// The executable's folder with its trailing '\', or "" as above.
std::string ModuleFolder();
// AppNameFromModulePath of the executable, read once.
const char* AppName();

}  // namespace tallivo
