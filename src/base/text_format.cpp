#include "base/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace tallivo {

std::string FormatText(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  if (n < 0) return std::string();
  return std::string(buf, static_cast<size_t>(n) < sizeof buf ? static_cast<size_t>(n) : sizeof buf - 1);
}

size_t GbkCharBytes(const std::string& text, size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  return (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
}

std::string CutGbkText(const std::string& text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t end = 0;
  while (end < maxBytes) {
    const size_t len = GbkCharBytes(text, end);
    if (end + len > maxBytes) break;
    end += len;
  }
  return text.substr(0, end);
}

}  // namespace tallivo
