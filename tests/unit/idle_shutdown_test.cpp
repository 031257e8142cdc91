#include <gtest/gtest.h>

#include "tools/idle_shutdown.h"

using namespace tallivo;

namespace {
constexpr uint32_t kMin = 60000;  // one minute in ticks
}

TEST(IdleShutdown, DueExactlyWhenTheIdleMinutesReachTheLimit) {
  struct Case {
    uint32_t limit;
    uint32_t now;
    uint32_t last;
    bool due;
  } cases[] = {
      // Limit 10: one millisecond short of ten minutes is still nine.
      {10, 5000000 + 10 * kMin - 1, 5000000, false},
      {10, 5000000 + 10 * kMin, 5000000, true},
      {10, 5000000 + 10 * kMin + 999, 5000000, true},
      {10, 5000000 + 59 * 1000 + 9 * kMin, 5000000, false},  // 9 min 59 s
      // Input arrived after the last check: idle starts again from there.
      {10, 7000000 + 9 * kMin, 7000000, false},
      // Longer idle than the limit keeps asking.
      {10, 5000000 + 600 * kMin, 5000000, true},
      // The largest limit.
      {5000, 100 + 5000 * kMin - 1, 100, false},
      {5000, 100 + 5000 * kMin, 100, true},
      // The tick counter wrapped between the last input and now.
      {10, 10 * kMin - 1000, 0xFFFFFFFFu - 999, true},
      {10, 10 * kMin - 1001, 0xFFFFFFFFu - 999, false},
      {15, 3 * kMin, 0u - 12 * kMin, true},
      {15, 2 * kMin, 0u - 12 * kMin, false},
      // Input and now in the same millisecond.
      {10, 123, 123, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IdleShutdownDue(c.limit, c.now, c.last), c.due)
        << "limit " << c.limit << " now " << c.now << " last " << c.last;
  }
}

TEST(IdleShutdown, LimitBelowTenNeverAsks) {
  // Only a valid limit arms the check, however long the machine was idle.
  for (uint32_t limit : {0u, 1u, 9u}) {
    EXPECT_FALSE(IdleShutdownDue(limit, 0xFFFFFFF0u, 0)) << limit;
  }
}

TEST(IdleShutdown, IdleMinutesRoundDown) {
  EXPECT_EQ(IdleMinutes(59999, 0), 0u);
  EXPECT_EQ(IdleMinutes(60000, 0), 1u);
  EXPECT_EQ(IdleMinutes(0, 1), 71582u);  // 2^32 - 1 ms after the input
}

TEST(IdleShutdown, AcceptedLimits) {
  EXPECT_FALSE(IdleLimitAccepted(0));
  EXPECT_FALSE(IdleLimitAccepted(9));
  EXPECT_TRUE(IdleLimitAccepted(10));
  EXPECT_TRUE(IdleLimitAccepted(5000));
  EXPECT_FALSE(IdleLimitAccepted(5001));
  EXPECT_FALSE(IdleLimitAccepted(0xFFFFFFFFu));
}
