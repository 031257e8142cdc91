#include <gtest/gtest.h>

#include "stats/stats_text.h"

using namespace tallivo;

TEST(StatsText, LiteralsAreGbk) {
  // "左" is D7 F3 in GBK; the program hands these bytes to the ANSI calls.
  const std::string s = CounterLabel(InputKind::Left, 0);
  ASSERT_GE(s.size(), 2u);
  EXPECT_EQ(static_cast<unsigned char>(s[0]), 0xD7);
  EXPECT_EQ(static_cast<unsigned char>(s[1]), 0xF3);
}

TEST(StatsText, CounterLabels) {
  struct Case {
    InputKind kind;
    uint32_t value;
    const char* text;
  } cases[] = {
      {InputKind::Left, 0, "左键点击:   0次"},
      {InputKind::Right, 12, "右键点击:   12次"},
      {InputKind::Middle, 7, "中键点击:   7次"},
      {InputKind::Wheel, 3, "中键滚动:   3次"},
      {InputKind::Key, 42, "键盘共敲击: 42次"},
      // Unsigned: a count of 2^31 or more never shows as negative.
      {InputKind::Left, 2147483648u, "左键点击:   2147483648次"},
      {InputKind::Key, 4294967295u, "键盘共敲击: 4294967295次"},
  };
  for (const auto& c : cases) EXPECT_EQ(CounterLabel(c.kind, c.value), c.text);
  EXPECT_EQ(TotalClicksLabel(3000000000u), "鼠标共点击: 3000000000次");
}

TEST(StatsText, CursorAndMetres) {
  EXPECT_EQ(CursorText(12, 345), "当前鼠标的位置:12,345");
  EXPECT_EQ(CursorText(-1920, -5), "当前鼠标的位置:-1920,-5");
  EXPECT_EQ(MetresLabel(0.0f), "鼠标运行:   0.00米");
  EXPECT_EQ(MetresLabel(2.0f), "鼠标运行:   2.00米");
  EXPECT_EQ(MetresLabel(1234.567f), "鼠标运行:   1234.57米");
}

TEST(StatsText, TrayTip) {
  EXPECT_EQ(TrayTip(15, 7, 1.5f), "当前统计:鼠标点击15次,键盘敲击7次,鼠标移动1.50米");
}

TEST(StatsText, TrayTipFitsAtLargestFigures) {
  // The largest metre figure: every pixel of a wrapped total at one pixel per metre.
  const std::string tip = TrayTip(4294967295u, 4294967295u, 4294967295.0f);
  EXPECT_LT(tip.size(), kTrayTipSize);
  EXPECT_EQ(tip, "当前统计:鼠标点击4294967295次,键盘敲击4294967295次,鼠标移动4294967296.00米");
}
