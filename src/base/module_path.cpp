#include "base/module_path.h"

#include "base/text_format.h"

namespace tallivo {

PathParts SplitPath(const std::string& path) {
  size_t nameStart = 0;
  for (size_t i = 0; i < path.size(); i += GbkCharBytes(path, i)) {
    const char c = path[i];
    if (c == '\\' || c == '/' || c == ':') nameStart = i + 1;
  }
  return {path.substr(0, nameStart), path.substr(nameStart)};
}

std::string AppNameFromModulePath(const std::string& path) {
  const std::string name = SplitPath(path).name;
  size_t lastDot = std::string::npos;
  for (size_t i = 0; i < name.size(); i += GbkCharBytes(name, i)) {
    if (name[i] == '.') lastDot = i;
  }
  if (lastDot != std::string::npos && lastDot > 0) return name.substr(0, lastDot);
  return name;
}

}  // namespace tallivo
