#include <gtest/gtest.h>

#include "stats/time_text.h"

using namespace tallivo;

TEST(TimeText, RunTime) {
  struct Case {
    uint32_t seconds;
    const char* text;
  } cases[] = {
      {0, "软件已运行:0时0分0秒"},
      {1, "软件已运行:0时0分1秒"},
      {59, "软件已运行:0时0分59秒"},
      {60, "软件已运行:0时1分0秒"},
      {3661, "软件已运行:1时1分1秒"},
      {25 * 3600 + 61, "软件已运行:25时1分1秒"},  // no wrap at 24 hours
      {4294967295u, "软件已运行:1193046时28分15秒"},
  };
  for (const auto& c : cases) EXPECT_EQ(RunTimeText(c.seconds), c.text) << c.seconds;
}

TEST(TimeText, Uptime) {
  struct Case {
    uint32_t ms;
    const char* text;
  } cases[] = {
      {0, "系统已开机:0小时0分0秒"},
      {999, "系统已开机:0小时0分0秒"},
      {(23 * 3600 + 59 * 60 + 59) * 1000u, "系统已开机:23小时59分59秒"},
      {24 * 3600 * 1000u, "系统已开机:1天0小时0分0秒"},
      {(2 * 86400 + 3 * 3600 + 4 * 60 + 5) * 1000u, "系统已开机:2天3小时4分5秒"},
      // The tick count wraps after 2^32 ms (49 days 17:02:47.295).
      {4294967295u, "系统已开机:49天17小时2分47秒"},
      {4294967295u + 1001u, "系统已开机:0小时0分1秒"},
  };
  for (const auto& c : cases) EXPECT_EQ(UptimeText(c.ms), c.text) << c.ms;
}

TEST(TimeText, Clock) {
  std::tm t = {};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 6;
  t.tm_hour = 9;
  t.tm_min = 5;
  t.tm_sec = 7;
  EXPECT_EQ(ClockText(t), "当前:2026年12月06日 09:05:07");
}

TEST(TimeText, Laps) {
  EXPECT_EQ(LapsText(0.0f), "今天你围着鸟巢奔跑了0.00圈~~");
  EXPECT_EQ(LapsText(400.0f), "今天你围着鸟巢奔跑了1.00圈~~");
  EXPECT_EQ(LapsText(1000.0f), "今天你围着鸟巢奔跑了2.50圈~~");
}

TEST(TimeText, MilestoneBoundaries) {
  struct Case {
    uint32_t clicks;
    const char* text;
  } cases[] = {
      {0, "你当前没有点击死任何动物!"},         {99, "你当前没有点击死任何动物!"},
      {100, "当前你已经点击死一条蚯蚓！"},      {500, "当前你已经点击死一条蚯蚓！"},
      {501, "当前你已经点击死一只老鼠！"},      {5000, "当前你已经点击死一只老鼠！"},
      {5001, "当前你已经点击死一只猫！"},       {10000, "当前你已经点击死一只猫！"},
      {10001, "当前你已经点击死一只狼！"},      {20000, "当前你已经点击死一只狼！"},
      {20001, "当前你已经点击死一只老虎！"},    {50000, "当前你已经点击死一只老虎！"},
      {50001, "当前你已经点击死一头大象！"},    {150000, "当前你已经点击死一头大象！"},
      {150001, "已经没有动物可以阻止你点击了~~"}, {4294967295u, "已经没有动物可以阻止你点击了~~"},
  };
  for (const auto& c : cases) EXPECT_STREQ(MilestoneText(c.clicks), c.text) << c.clicks;
}
