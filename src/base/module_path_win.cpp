#include <windows.h>

#include "base/module_path.h"
#include "base/text_format.h"

namespace tallivo {

std::string ModulePath() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  // A cut-off path would make Windows start nothing, or something else.
  if (n == 0 || n >= MAX_PATH) return std::string();
  return Utf8(path, n);
}

std::string ModuleFolder() { return SplitPath(ModulePath()).folder; }

const char* AppName() {
  static const std::string name = [] {
    wchar_t path[MAX_PATH * 2] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 2 - 1);
    return AppNameFromModulePath(Utf8(path, n));
  }();
  return name.c_str();
}

}  // namespace tallivo
