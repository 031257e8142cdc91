#include <gtest/gtest.h>

#include "process/process_text.h"

using namespace tallivo;

TEST(ProcessShare, WholePercentTruncated) {
  struct Case {
    uint32_t process, global;
    int want;
  } cases[] = {
      {0, 0, 0},        // nothing counted yet
      {0, 7, 0},
      {1, 3, 33},
      {2, 3, 66},
      {29, 100, 28},    // 0.29 as a double lies just below 0.29
      {57, 100, 56},    // the same for 0.57
      {1, 100, 1},
      {99, 100, 99},
      {5, 5, 100},      // every input went to the chosen process
      {1, 1, 100},
      {6, 5, 0},        // the main counters were cleared meanwhile
      {1, 0, 0},
      {4000000000u, 4000000001u, 100},  // equal once rounded to float
      {1u << 24, 1u << 25, 50},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SharePercent(static_cast<float>(c.process), static_cast<float>(c.global)), c.want)
        << c.process << " of " << c.global;
  }
}

TEST(ProcessShare, ShareLineStartsWithTheNameAndEndsWithPercent) {
  EXPECT_EQ(ShareLine("", 0), " 进程占全局比:0%");  // before the first choice
  EXPECT_EQ(ShareLine("notepad", 28), "notepad 进程占全局比:28%");
  EXPECT_EQ(ShareLine("记事本", 100), "记事本 进程占全局比:100%");
  // A percent sign in a process name is text, not a conversion.
  EXPECT_EQ(ShareLine("a%d%s", 5), "a%d%s 进程占全局比:5%");
}

TEST(ProcessShare, PanelLabelsAreUnsigned) {
  EXPECT_EQ(PanelLeftLabel(0), "左键点击:  0次");
  EXPECT_EQ(PanelRightLabel(12), "右键点击:  12次");
  EXPECT_EQ(PanelMiddleLabel(2147483648u), "中键点击:  2147483648次");
  EXPECT_EQ(PanelWheelLabel(4294967295u), "中键滚动:  4294967295次");
  EXPECT_EQ(PanelMouseLabel(3000000000u), "鼠标共点击:3000000000次");
  EXPECT_EQ(PanelKeysLabel(7), "键盘共敲击:7次");
}

TEST(ProcessShare, MouseTotalCountsWheelStepsAndTotalsWrap) {
  ProcessCounts c;
  c.left = 1;
  c.wheel = 5;
  EXPECT_EQ(c.MouseTotal(), 6u);
  c.keys = 4;
  EXPECT_EQ(c.Total(), 10u);
  c.right = 3;
  c.middle = 2;
  EXPECT_EQ(c.MouseTotal(), 11u);
  EXPECT_EQ(c.Total(), 15u);
  ProcessCounts big;
  big.left = 0xFFFFFFFFu;
  big.keys = 2;
  EXPECT_EQ(big.Total(), 1u);
  EXPECT_EQ(big.MouseTotal(), 0xFFFFFFFFu);
}

TEST(ProcessName, CutsOnlyAThreeLetterExtension) {
  struct Case {
    const char* exe;
    const char* name;
  } cases[] = {
      {"notepad.exe", "notepad"},
      {"NOTEPAD.EXE", "NOTEPAD"},
      {"a.exe", "a"},
      {".exe", ""},
      {"setup.x86.exe", "setup.x86"},
      {"记事本.exe", "记事本"},
      {"tallivo_target.exe", "tallivo_target"},
      // No three-letter extension: kept whole.
      {"init", "init"},
      {"kworker", "kworker"},
      {"exe", "exe"},
      {"", ""},
      {"a.b", "a.b"},
      {"python3.11", "python3.11"},
      {"archive.tar.gz", "archive.tar.gz"},
      {"tool.jpeg", "tool.jpeg"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProcessNameFromExe(c.exe), c.name) << c.exe;
}

TEST(ProcessName, IdTextIsRightAlignedInFivePlaces) {
  EXPECT_EQ(ProcessIdText(0), "    0");
  EXPECT_EQ(ProcessIdText(4), "    4");
  EXPECT_EQ(ProcessIdText(1234), " 1234");
  EXPECT_EQ(ProcessIdText(65535), "65535");
  EXPECT_EQ(ProcessIdText(123456), "123456");
  EXPECT_EQ(ProcessIdText(4294967295u), "4294967295");
}
