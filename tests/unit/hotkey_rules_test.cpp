#include <gtest/gtest.h>

#include "tools/hotkey_rules.h"

using namespace tallivo;

TEST(HotkeyRules, FilterCutsBeforeTheFirstRefusedCharacter) {
  struct Case {
    std::string text;
    std::string kept;
  } cases[] = {
      {"", ""},
      {"A", "A"},
      {"Z", "Z"},
      {".", "."},
      {"a", ""},  // lower case arrives upper-cased from the edit; raw it is refused
      {"5", ""},
      {" ", ""},
      {"@", ""},  // 0x40, just below 'A'
      {"[", ""},  // 0x5B, just above 'Z'
      {",", ""},
      {"\xD6\xD0", ""},  // 中 in GBK: the lead byte is refused
      {"AB", "AB"},
      {"A5B", "A"},
      {"Q\xD6\xD0", "Q"},
      {"\x80", ""},
      {"\xFF", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FilterHotkeyText(c.text), c.kept) << c.text;
}

TEST(HotkeyRules, KeyFromTextAndBack) {
  EXPECT_EQ(HotkeyKeyFromText(""), 0);
  EXPECT_EQ(HotkeyKeyFromText("A"), 0x41);
  EXPECT_EQ(HotkeyKeyFromText("."), 0x2E);
  EXPECT_EQ(HotkeyKeyFromText("\xD6"), -42);  // signed byte
  EXPECT_EQ(HotkeyEditText(0), "");
  EXPECT_EQ(HotkeyEditText(0x41), "A");
  EXPECT_EQ(HotkeyEditText(0x2E), ".");
}

TEST(HotkeyRules, VirtualKeys) {
  EXPECT_EQ(HotkeyVirtualKey('A'), 0x41u);
  EXPECT_EQ(HotkeyVirtualKey('Z'), 0x5Au);
  // "." is the period key, never 0x2E (Delete: Ctrl+Alt+Delete is the system's).
  EXPECT_EQ(HotkeyVirtualKey('.'), 0xBEu);
  // Nothing the edit could never hold is registered.
  EXPECT_EQ(HotkeyVirtualKey(0), 0u);
  EXPECT_EQ(HotkeyVirtualKey('a'), 0u);
  EXPECT_EQ(HotkeyVirtualKey('5'), 0u);
  EXPECT_EQ(HotkeyVirtualKey(-42), 0u);
}
