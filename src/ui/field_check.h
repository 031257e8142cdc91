// The unsigned-integer field check of dialog edits: parsing, the range
// check and the two texts the user sees when a value is refused.
#pragma once

#include <cstdint>
#include <string>

namespace ui {

enum class UintField { Ok, NotANumber, OutOfRange };

// Blanks and tabs around the digits are allowed; anything else (an empty
// text, a sign, a letter) is not a number. A number too large for 32 bits
// is out of range rather than wrapped into it.
UintField ParseUintField(const std::string& text, uint32_t min, uint32_t max, uint32_t* value);

// "“请填入一个正整数。”"
extern const char kUintFieldNotANumber[];
// "“请填入一个在%1和%2之间的整数。”" with the bounds filled in.
std::string UintFieldRangeText(uint32_t min, uint32_t max);

}  // namespace ui
