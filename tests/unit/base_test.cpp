// The bottom layer: the private messages and the counters they feed, the
// GBK-safe text and path helpers.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "base/counters.h"
#include "base/messages.h"
#include "base/module_path.h"
#include "base/text_format.h"

using namespace tallivo;

TEST(Counters, EachMessageFeedsItsOwnCounterAndTotalsWrap) {
  const std::tuple<unsigned, unsigned, InputKind> messages[] = {{WM_INPUT_LBUTTON, WM_PROC_LBUTTON, InputKind::Left},
                                                                {WM_INPUT_RBUTTON, WM_PROC_RBUTTON, InputKind::Right},
                                                                {WM_INPUT_MBUTTON, WM_PROC_MBUTTON, InputKind::Middle},
                                                                {WM_INPUT_WHEEL, WM_PROC_WHEEL, InputKind::Wheel},
                                                                {WM_INPUT_KEY, WM_PROC_KEY, InputKind::Key}};
  InputCounters c;
  for (const auto& [global, process, want] : messages) {
    InputKind kind = InputKind::Key, processKind = InputKind::Key;
    EXPECT_TRUE(InputKindForMessage(global, &kind) && ProcessInputKindForMessage(process, &processKind)) << global;
    EXPECT_EQ(std::pair(kind, processKind), std::pair(want, want)) << global;
    c.Add(kind);
  }
  EXPECT_EQ(c, (InputCounters{1, 1, 1, 1, 1}));
  EXPECT_EQ(c.TotalClicks(), 4u);  // wheel steps count as clicks, keys do not
  InputKind kind;
  for (unsigned msg : {WM_TRAY_NOTIFY, WM_SET_HOTKEY, WM_PROC_LBUTTON, WM_INPUT_MOVING})
    EXPECT_FALSE(InputKindForMessage(msg, &kind)) << std::hex << msg;
  for (unsigned msg : {WM_INPUT_LBUTTON, WM_INPUT_MOVING, WM_PROC_WHEEL + 1, WM_PROC_SELECT})
    EXPECT_FALSE(ProcessInputKindForMessage(msg, &kind)) << std::hex << msg;
  // Silent wrap at 2^32, sums as unsigned 32-bit.
  c.left = 0xFFFFFFFFu;
  c.Add(InputKind::Left);
  EXPECT_EQ(c.left, 0u);
  c = InputCounters{0xFFFFFFFFu, 2, 0, 0, 0xFFFFFFFFu};
  EXPECT_EQ(c.TotalClicks(), 1u);
  EXPECT_EQ(c.GrandTotal(), 0u);
}

// "\x9C\x5C" is 淺 in GBK: its trail byte is a backslash. An exe renamed to
// 淺.exe, or a folder of that name, must not split at that byte; nor at the
// trail of the first and the last lead byte (0x81, 0xFE).
TEST(ModulePath, SplitsOnlyAtRealSeparators) {
  struct Case {
    std::string path, folder, name, app;
  } cases[] = {
      {"C:\\Tallivo\\Tallivo.exe", "C:\\Tallivo\\", "Tallivo.exe", "Tallivo"},
      {"C:\\x\\\x9C\x5C.exe", "C:\\x\\", "\x9C\x5C.exe", "\x9C\x5C"},
      {"C:\\\x81\x5C\\b.exe", "C:\\\x81\x5C\\", "b.exe", "b"},
      {"C:\\x\\\xFE\x5C", "C:\\x\\", "\xFE\x5C", "\xFE\x5C"},
      {"D:\\My Tools\\\xB1\xED\x9C\x5C\\\x9C\x5C", "D:\\My Tools\\\xB1\xED\x9C\x5C\\", "\x9C\x5C", "\x9C\x5C"},
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
  // 次 is two bytes in GBK: it does not fit in the second byte.
  const std::tuple<std::string, size_t, std::string> cases[] = {{"ab", 2, "ab"}, {"abc", 2, "ab"},
                                                                {"abc", 0, ""},  {"\x9C\x5C\x9C\x5C", 3, "\x9C\x5C"},
                                                                {"a次", 2, "a"}, {"a次b", 3, "a次"}};
  for (const auto& [text, max, cut] : cases) EXPECT_EQ(CutGbkText(text, max), cut) << text << " to " << max;
}
