// The bottom layer: the private messages and the counters they feed, the
// GBK-safe text and path helpers.
#include <gtest/gtest.h>

#include <string>

#include "base/counters.h"
#include "base/messages.h"
#include "base/module_path.h"
#include "base/text_format.h"

using namespace tallivo;

TEST(Counters, MessagesFeedTheirCountersAndTotalsWrap) {
  const unsigned messages[] = {WM_INPUT_LBUTTON, WM_INPUT_RBUTTON, WM_INPUT_MBUTTON, WM_INPUT_WHEEL, WM_INPUT_KEY};
  InputCounters c;
  for (unsigned msg : messages) {
    InputKind kind;
    ASSERT_TRUE(InputKindForMessage(msg, &kind)) << std::hex << msg;
    c.Add(kind);
  }
  EXPECT_EQ(c.left + c.right + c.middle + c.wheel + c.keys, 5u);
  EXPECT_EQ(c.left, 1u);
  EXPECT_EQ(c.keys, 1u);
  EXPECT_EQ(c.TotalClicks(), 4u);  // wheel steps count as clicks, keys do not
  InputKind kind;
  for (unsigned msg : {WM_TRAY_NOTIFY, WM_SET_HOTKEY, WM_PROC_LBUTTON, WM_INPUT_MOVING})
    EXPECT_FALSE(InputKindForMessage(msg, &kind)) << std::hex << msg;
  for (unsigned msg : {WM_INPUT_LBUTTON, WM_INPUT_MOVING})
    EXPECT_FALSE(ProcessInputKindForMessage(msg, &kind)) << std::hex << msg;
  ASSERT_TRUE(ProcessInputKindForMessage(WM_PROC_WHEEL, &kind));
  EXPECT_EQ(kind, InputKind::Wheel);
  // Silent wrap at 2^32, sums as unsigned 32-bit.
  c.left = 0xFFFFFFFFu;
  c.Add(InputKind::Left);
  EXPECT_EQ(c.left, 0u);
  c = InputCounters{0xFFFFFFFFu, 2, 0, 0, 0xFFFFFFFFu};
  EXPECT_EQ(c.TotalClicks(), 1u);
  EXPECT_EQ(c.GrandTotal(), 0u);
}

// "\x9C\x5C" is 淺 in GBK: its trail byte is a backslash. An exe renamed to
// 淺.exe, or a folder of that name, must not split at that byte.
TEST(ModulePath, SplitsOnlyAtRealSeparators) {
  struct Case {
    std::string path, folder, name, app;
  } cases[] = {
      {"C:\\Tallivo\\Tallivo.exe", "C:\\Tallivo\\", "Tallivo.exe", "Tallivo"},
      {"C:\\x\\\x9C\x5C.exe", "C:\\x\\", "\x9C\x5C.exe", "\x9C\x5C"},
      {"C:\\\x9C\x5C\\b.exe", "C:\\\x9C\x5C\\", "b.exe", "b"},
      {"D:\\My Tools\\\xB1\xED\x9C\x5C\\\x9C\x5C", "D:\\My Tools\\\xB1\xED\x9C\x5C\\", "\x9C\x5C", "\x9C\x5C"},
      {"D:\\\x9C\x5C\x9C\x5C\\\x9C\x5C", "D:\\\x9C\x5C\x9C\x5C\\", "\x9C\x5C", "\x9C\x5C"},
      {"C:\\x\\renamed.copy.exe", "C:\\x\\", "renamed.copy.exe", "renamed.copy"},
      {"/unix/style/app.exe", "/unix/style/", "app.exe", "app"},
      {"Z:tallivo.EXE", "Z:", "tallivo.EXE", "tallivo"},
      {"Tallivo.exe", "", "Tallivo.exe", "Tallivo"},
      {"C:\\x\\.exe", "C:\\x\\", ".exe", ".exe"},
      // A lead byte at the very end has no trail: it is a byte of its own.
      {"C:\\x\\a\x81", "C:\\x\\", "a\x81", "a\x81"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    const PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.folder, c.folder) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
    EXPECT_EQ(AppNameFromModulePath(c.path), c.app) << c.path;
  }
}

TEST(TextFormat, CutsNeverSplitACharacter) {
  EXPECT_EQ(FormatText("%s", std::string(600, 'a').c_str()), std::string(511, 'a'));
  EXPECT_EQ(FormatText("%u次", 4294967295u), "4294967295\xB4\xCE");
  struct Case {
    std::string text;
    size_t max;
    std::string cut;
  } cases[] = {
      {"ab", 2, "ab"},
      {"abc", 2, "ab"},
      {"a\xB4\xCE", 2, "a"},  // 次 does not fit in the second byte
      {"a\xB4\xCE"
       "b",
       3, "a\xB4\xCE"},
      {"\x9C\x5C\x9C\x5C", 3, "\x9C\x5C"},
      {"abc", 0, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CutGbkText(c.text, c.max), c.cut) << c.text << " to " << c.max;
}
