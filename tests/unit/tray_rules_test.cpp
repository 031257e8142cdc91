#include <gtest/gtest.h>

#include "main/tray_rules.h"

using namespace tallivo;

TEST(TrayRules, FirstRunFlag) {
  struct Case {
    int flag;
    bool writeOne, hidden;
  } cases[] = {
      {0, true, false},   // very first start: visible, records itself
      {1, false, true},   // every later start: straight to the tray
      {2, false, false},  // honoured only for its balloon text
      {7, false, false},
      {-1, false, false},
  };
  for (const auto& c : cases) {
    StartAction a = StartActionForFlag(c.flag);
    EXPECT_EQ(a.writeFlagOne, c.writeOne) << c.flag;
    EXPECT_EQ(a.startHidden, c.hidden) << c.flag;
  }
}

TEST(TrayRules, BalloonTexts) {
  const BalloonText* one = BalloonForFlag(1);
  ASSERT_NE(one, nullptr);
  EXPECT_STREQ(one->title, "温馨提示");
  EXPECT_STREQ(one->text,
               "为了不影响您的视线，软件自动启动后最小化，如果不满意可关闭自动启动。请注意观察您的当前记录!!");
  const BalloonText* two = BalloonForFlag(2);
  ASSERT_NE(two, nullptr);
  EXPECT_STREQ(two->title, "温馨提示");
  EXPECT_STREQ(two->text, "为了您每次开机全面统计，请开启软件自动启动。请注意观察您的当前记录!!");
  EXPECT_EQ(BalloonForFlag(0), nullptr);
  EXPECT_EQ(BalloonForFlag(3), nullptr);
  // The texts fit the record's 256- and 64-byte fields.
  EXPECT_LT(std::string(one->text).size(), 256u);
  EXPECT_LT(std::string(two->text).size(), 256u);
  EXPECT_LT(std::string(one->title).size(), 64u);
}
