// Text helpers for the program's strings: UTF-8 in the logic, UTF-16 at
// the Windows calls (the converters below are the window side's).
#pragma once

#include <cstddef>
#include <string>

namespace tallivo {

// At most 511 bytes of output; longer results are cut.
std::string FormatText(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// UTF-16 units the UTF-8 text takes (two for a character beyond U+FFFF):
// what a length limit of the wide Windows calls counts.
size_t Utf16Length(const std::string& utf8);

// The UTF-8 text cut to at most maxUnits UTF-16 units, or maxBytes bytes,
// without splitting a character.
std::string CutToUtf16Units(const std::string& utf8, size_t maxUnits);
std::string CutUtf8Text(const std::string& utf8, size_t maxBytes);

// Windows only (text_format_win.cpp): UTF-8 to UTF-16 and back.
std::wstring Wide(const std::string& utf8);
std::string Utf8(const wchar_t* text, size_t length);
std::string Utf8(const std::wstring& text);

}  // namespace tallivo
