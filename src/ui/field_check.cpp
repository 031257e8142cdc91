#include "ui/field_check.h"

#include "base/text_format.h"

namespace ui {

const char kUintFieldNotANumber[] = "“请填入一个正整数。”";

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

UintField ParseUintField(const std::string& text, uint32_t min, uint32_t max, uint32_t* value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const size_t firstDigit = i;
  uint64_t v = 0;
  bool tooLarge = false;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    v = v * 10 + static_cast<uint64_t>(text[i] - '0');
    if (v > 0xFFFFFFFFull) {
      tooLarge = true;
      v = 0xFFFFFFFFull;
    }
    ++i;
  }
  if (i == firstDigit) return UintField::NotANumber;
  while (i < text.size() && IsBlank(text[i])) ++i;
  if (i != text.size()) return UintField::NotANumber;
  if (tooLarge || v < min || v > max) return UintField::OutOfRange;
  *value = static_cast<uint32_t>(v);
  return UintField::Ok;
}

std::string UintFieldRangeText(uint32_t min, uint32_t max) {
  return tallivo::FormatText("“请填入一个在%u和%u之间的整数。”", static_cast<unsigned>(min),
                             static_cast<unsigned>(max));
}

}  // namespace ui
