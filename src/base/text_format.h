// Text helpers for the narrow strings the program shows: printf-style
// formatting, and walking ANSI text in code page 936 (GBK), where a lead
// byte 0x81-0xFE starts a two-byte character whose trail byte may look
// like ASCII ('\', '.', ...).
#pragma once

#include <cstddef>
#include <string>

namespace tallivo {

// At most 511 bytes of output; longer results are cut.
std::string FormatText(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Bytes of the character that starts at text[i]: 2 for a lead byte with a
// byte after it, else 1.
size_t GbkCharBytes(const std::string& text, size_t i);

// The text cut to at most maxBytes bytes without splitting a double-byte
// character.
std::string CutGbkText(const std::string& text, size_t maxBytes);

}  // namespace tallivo
