#include "app/profile_store.h"

namespace tallivo {

namespace {

struct PathSplit {
  size_t nameStart = 0;                // first byte of the file name
  size_t lastDot = std::string::npos;  // last '.' of the file name
};

PathSplit SplitPath(const std::string& path) {
  // Walk the path as code-page-936 text: a trail byte of a double-byte
  // character may be 0x5C ('\') and must not be taken for a separator.
  size_t nameStart = 0;
  size_t lastDot = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (c >= 0x81 && c <= 0xFE && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (c == '\\' || c == '/' || c == ':') {
      nameStart = i + 1;
      lastDot = std::string::npos;
    } else if (c == '.') {
      lastDot = i;
    }
  }
  return {nameStart, lastDot};
}

}  // namespace

std::string AppNameFromModulePath(const std::string& path) {
  const PathSplit split = SplitPath(path);
  if (split.lastDot != std::string::npos && split.lastDot > split.nameStart) {
    return path.substr(split.nameStart, split.lastDot - split.nameStart);
  }
  return path.substr(split.nameStart);
}

std::string FolderOfModulePath(const std::string& path) { return path.substr(0, SplitPath(path).nameStart); }

}  // namespace tallivo
