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

namespace {
// Bytes of the character that starts with lead: 1 for ASCII and for a
// stray continuation or invalid byte (taken as one character, as the
// converters replace it by one).
size_t Utf8CharBytes(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// Walks whole characters; stops before the first one for which fits(end,
// units) is false, where end and units are the bytes and UTF-16 units up
// to and including that character. Returns the bytes taken.
template <typename Fits>
size_t TakeChars(const std::string& text, Fits fits) {
  size_t end = 0;
  size_t units = 0;
  while (end < text.size()) {
    size_t len = Utf8CharBytes(static_cast<unsigned char>(text[end]));
    if (end + len > text.size()) len = text.size() - end;
    const size_t charUnits = len == 4 ? 2 : 1;
    if (!fits(end + len, units + charUnits)) break;
    end += len;
    units += charUnits;
  }
  return end;
}
}  // namespace

size_t Utf16Length(const std::string& utf8) {
  size_t units = 0;
  TakeChars(utf8, [&units](size_t, size_t u) {
    units = u;
    return true;
  });
  return units;
}

std::string CutToUtf16Units(const std::string& utf8, size_t maxUnits) {
  return utf8.substr(0, TakeChars(utf8, [maxUnits](size_t, size_t units) { return units <= maxUnits; }));
}

std::string CutUtf8Text(const std::string& utf8, size_t maxBytes) {
  return utf8.substr(0, TakeChars(utf8, [maxBytes](size_t bytes, size_t) { return bytes <= maxBytes; }));
}

}  // namespace tallivo
