#include <gtest/gtest.h>

#include "main/messages.h"
#include "stats/counters.h"

using namespace tallivo;

TEST(Counters, EachMessageFeedsItsOwnCounter) {
  struct Case {
    unsigned msg;
    uint32_t InputCounters::*field;
  } cases[] = {
      {WM_INPUT_LBUTTON, &InputCounters::left},   {WM_INPUT_RBUTTON, &InputCounters::right},
      {WM_INPUT_MBUTTON, &InputCounters::middle}, {WM_INPUT_WHEEL, &InputCounters::wheel},
      {WM_INPUT_KEY, &InputCounters::keys},
  };
  for (const auto& c : cases) {
    InputCounters counters;
    InputKind kind;
    ASSERT_TRUE(InputKindForMessage(c.msg, &kind)) << std::hex << c.msg;
    counters.Add(kind);
    EXPECT_EQ(counters.*(c.field), 1u) << std::hex << c.msg;
    EXPECT_EQ(counters.GrandTotal(), 1u);
  }
}

TEST(Counters, MessagesWithoutACounterAreNotInput) {
  InputKind kind;
  for (unsigned msg : {WM_TRAY_NOTIFY, WM_SET_HOTKEY, kWmUser + 101, kWmUser + 111, WM_PROC_LBUTTON}) {
    EXPECT_FALSE(InputKindForMessage(msg, &kind)) << std::hex << msg;
  }
  for (unsigned msg : {kWmUser + 116, kWmUser + 118, kWmUser + 119, WM_PROC_SELECT, WM_PROC_RESET,
                       WM_INPUT_LBUTTON}) {
    EXPECT_FALSE(ProcessInputKindForMessage(msg, &kind)) << std::hex << msg;
  }
  ASSERT_TRUE(ProcessInputKindForMessage(WM_PROC_KEY, &kind));
  EXPECT_EQ(kind, InputKind::Key);
  ASSERT_TRUE(ProcessInputKindForMessage(WM_PROC_WHEEL, &kind));
  EXPECT_EQ(kind, InputKind::Wheel);
}

TEST(Counters, MessageNumbersAreFixed) {
  // Other programs (the hook libraries) post these numbers.
  EXPECT_EQ(WM_INPUT_LBUTTON, 0x466u);
  EXPECT_EQ(WM_INPUT_KEY, 0x46Bu);
  EXPECT_EQ(WM_TRAY_NOTIFY, 0x46Au);
  EXPECT_EQ(WM_PROC_LBUTTON, 0x470u);
  EXPECT_EQ(WM_PROC_KEY, 0x475u);
  EXPECT_EQ(WM_PROC_SELECT, 0x478u);
  EXPECT_EQ(WM_PROC_RESET, 0x479u);
}

TEST(Counters, TotalClicksCountsWheelButNotKeys) {
  InputCounters c;
  c.Add(InputKind::Wheel);
  EXPECT_EQ(c.TotalClicks(), 1u);
  c.Add(InputKind::Key);
  EXPECT_EQ(c.TotalClicks(), 1u);
  EXPECT_EQ(c.GrandTotal(), 2u);
}

TEST(Counters, WrapSilentlyAt2To32) {
  InputCounters c;
  c.left = 0xFFFFFFFFu;
  c.Add(InputKind::Left);
  EXPECT_EQ(c.left, 0u);

  c.left = 0xFFFFFFFFu;
  c.right = 2;
  EXPECT_EQ(c.TotalClicks(), 1u);  // sum taken as unsigned 32-bit
  c.keys = 0xFFFFFFFFu;
  EXPECT_EQ(c.GrandTotal(), 0u);
}

TEST(Counters, ClearZeroesAll) {
  InputCounters c{1, 2, 3, 4, 5};
  c.Clear();
  EXPECT_EQ(c.GrandTotal(), 0u);
}
