#include <windows.h>

#include "base/module_path.h"

namespace tallivo {

std::string ModulePath() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  // A cut-off path would make Windows start nothing, or something else.
  if (n == 0 || n >= MAX_PATH) return std::string();
  return std::string(path, n);
}

std::string ModuleFolder() { return SplitPath(ModulePath()).folder; }

const char* AppName() {
  static const std::string name = [] {
    char path[MAX_PATH * 2] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path - 1);
    return AppNameFromModulePath(std::string(path, n));
  }();
  return name.c_str();
}

}  // namespace tallivo
