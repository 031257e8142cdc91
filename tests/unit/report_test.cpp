#include <gtest/gtest.h>

#include "stats/report.h"

using namespace tallivo;

namespace {
std::tm Time(int y, int mo, int d, int h, int mi, int s) {
  std::tm t = {};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  return t;
}
}  // namespace

TEST(Report, BytesOfTheWholeFile) {
  ReportFigures f;
  f.left = 12;
  f.right = 34;
  f.middle = 5;
  f.wheel = 6;
  f.metres = 2.5f;
  f.totalClicks = 57;
  f.keys = 789;
  const std::string text =
      ReportText(ReportTimeLine(Time(2026, 3, 7, 8, 9, 5)), "软件已运行:1时2分3秒", ReportFigureLines(f));
  const std::string expected =
      "键鼠统计时间:2026年03月07日08时09分05秒\r\n"
      "软件已运行:1时2分3秒\r\n"
      "\r\n"
      "当前统计信息如下:\r\n"
      "\r\n"
      "鼠标左键点击:12次\r\n\r\n"
      "鼠标右键点击:34次\r\n\r\n"
      "鼠标中键点击:5次\r\n\r\n"
      "鼠标中键滚动:6次\r\n\r\n"
      "鼠标移动:2.50米\r\n\r\n"
      "鼠标一共敲击:57次\r\n\r\n"
      "键盘一共敲击:789次";
  EXPECT_EQ(text, expected);
  // GBK, not UTF-8: "键" is the two bytes BC FC.
  EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xBCu);
  EXPECT_EQ(static_cast<unsigned char>(text[1]), 0xFCu);
}

TEST(Report, AllZeroAndLargestCounts) {
  std::vector<std::string> zero = ReportFigureLines(ReportFigures{});
  ASSERT_EQ(zero.size(), 7u);
  EXPECT_EQ(zero[0], "鼠标左键点击:0次");
  EXPECT_EQ(zero[4], "鼠标移动:0.00米");
  EXPECT_EQ(zero[6], "键盘一共敲击:0次");
  ReportFigures big;
  big.left = 0xFFFFFFFFu;
  big.totalClicks = 0x80000000u;  // counts are unsigned, never negative
  std::vector<std::string> lines = ReportFigureLines(big);
  EXPECT_EQ(lines[0], "鼠标左键点击:4294967295次");
  EXPECT_EQ(lines[5], "鼠标一共敲击:2147483648次");
}

TEST(Report, EndsWithoutALineEnd) {
  const std::string text = ReportText("t", "r", ReportFigureLines(ReportFigures{}));
  EXPECT_NE(text.back(), '\n');
  EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos);
}

TEST(Report, SaveDialogSettings) {
  EXPECT_STREQ(kReportDefaultName, "键鼠统计信息");
  EXPECT_STREQ(kReportDefaultExt, "txt");
  const std::string filter = ReportFilter();
  EXPECT_EQ(filter, std::string("TxT Files (*.txt)\0*.txt\0\0", 25));
}
