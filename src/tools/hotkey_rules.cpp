#include "tools/hotkey_rules.h"

#include <cstdio>

namespace tallivo {

const char kHotkeySetOk[] = "快捷键设置成功";

bool HotkeyCharAccepted(char c) {
  const signed char s = static_cast<signed char>(c);
  return (s >= 'A' && s <= 'Z') || s == '.';
}

std::string FilterHotkeyText(const std::string& text) {
  size_t n = 0;
  while (n < text.size() && HotkeyCharAccepted(text[n])) ++n;
  return text.substr(0, n);
}

int HotkeyKeyFromText(const std::string& text) {
  if (text.empty()) return 0;
  return static_cast<signed char>(text[0]);
}

std::string HotkeyEditText(uint32_t storedKey) {
  const char c = static_cast<char>(storedKey & 0xFFu);
  if (c == 0) return std::string();
  return std::string(1, c);
}

unsigned HotkeyVirtualKey(int storedKey) {
  if (storedKey >= 'A' && storedKey <= 'Z') return static_cast<unsigned>(storedKey);
  if (storedKey == '.') return kPeriodKey;
  return 0;
}

std::string HotkeyTakenMessage(int storedKey) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "快捷键已保存,但Ctrl+Alt+%c已被其他程序占用,现在不能使用",
                static_cast<char>(storedKey));
  return buf;
}

}  // namespace tallivo
