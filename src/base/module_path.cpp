#include "base/module_path.h"

namespace tallivo {

PathParts SplitPath(const std::string& path) {
  const size_t separator = path.find_last_of("\\/:");
  const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  return {path.substr(0, nameStart), path.substr(nameStart)};
}

std::string AppNameFromModulePath(const std::string& path) {
  const std::string name = SplitPath(path).name;
  const size_t lastDot = name.rfind('.');
  if (lastDot != std::string::npos && lastDot > 0) return name.substr(0, lastDot);
  return name;
}

}  // namespace tallivo
