#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "hooks/input_filter.h"

using namespace tallivo;

TEST(WheelAccumulator, StepsPerReport) {
  struct Case {
    std::vector<int> deltas;
    std::vector<unsigned> steps;
    int pending;
  } cases[] = {
      {{120}, {1}, 0},
      {{-120}, {1}, 0},
      {{240}, {2}, 0},
      {{60, 60}, {0, 1}, 0},            // fine-grained wheel: halves add up
      {{40, 40, 40, 40}, {0, 0, 1}, 40},
      {{100, -100}, {0, 0}, -100},      // a change of direction drops the fraction
      {{119, 1, 119}, {0, 1, 0}, 119},
      {{-60, -60, -60}, {0, 1, 0}, -60},
      {{0}, {0}, 0},
      {{360, -120}, {3, 1}, 0},
  };
  for (const auto& c : cases) {
    WheelAccumulator w;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      EXPECT_EQ(w.Add(c.deltas[i]), c.steps[i]) << "report " << i;
    }
    for (size_t i = c.steps.size(); i < c.deltas.size(); ++i) w.Add(c.deltas[i]);
    EXPECT_EQ(w.Pending(), c.pending);
  }
}

TEST(WheelAccumulator, ExtremeDeltasDoNotOverflow) {
  WheelAccumulator w;
  EXPECT_EQ(w.Add(SHRT_MIN), 273u);  // -32768 / 120
  WheelAccumulator v;
  v.Add(119);
  EXPECT_EQ(v.Add(INT_MAX), static_cast<unsigned>((119LL + INT_MAX) / 120));
}

TEST(KeyRepeatFilter, AutoRepeatCountsOnce) {
  KeyRepeatFilter f;
  EXPECT_TRUE(f.KeyDown('B'));
  EXPECT_FALSE(f.KeyDown('B'));
  EXPECT_FALSE(f.KeyDown('B'));
  f.KeyUp('B');
  EXPECT_TRUE(f.KeyDown('B'));
}

TEST(KeyRepeatFilter, KeysAreIndependent) {
  KeyRepeatFilter f;
  EXPECT_TRUE(f.KeyDown(0x10));  // Shift held
  EXPECT_TRUE(f.KeyDown('A'));
  f.KeyUp('A');
  EXPECT_TRUE(f.KeyDown('A'));
  EXPECT_FALSE(f.KeyDown(0x10));
  EXPECT_TRUE(f.KeyDown(0));
  EXPECT_TRUE(f.KeyDown(255));
  EXPECT_FALSE(f.KeyDown(255));
  EXPECT_TRUE(f.KeyDown(31));
  EXPECT_TRUE(f.KeyDown(32));
}

TEST(KeyRepeatFilter, OutOfRangeCodesAlwaysCountAndResetClears) {
  KeyRepeatFilter f;
  EXPECT_TRUE(f.KeyDown(256));
  EXPECT_TRUE(f.KeyDown(256));
  f.KeyUp(1000);  // harmless
  EXPECT_TRUE(f.KeyDown('X'));
  f.Reset();
  EXPECT_TRUE(f.KeyDown('X'));
}

TEST(PostBacklog, KeepsEveryEventUntilItCanBePosted) {
  PostBacklog b(0x466);
  EXPECT_TRUE(b.Empty());
  for (int i = 0; i < 3; ++i) b.Add(0x466);
  b.Add(0x46B);
  b.Add(0x500);  // not one of ours: ignored
  EXPECT_EQ(b.Total(), 4u);
  std::vector<unsigned> posted;
  int room = 2;  // the queue takes two, then is full again
  EXPECT_FALSE(b.Flush([&](unsigned m) {
    if (room == 0) return false;
    --room;
    posted.push_back(m);
    return true;
  }));
  EXPECT_EQ(posted, (std::vector<unsigned>{0x466, 0x466}));
  EXPECT_EQ(b.Total(), 2u);
  EXPECT_TRUE(b.Flush([&](unsigned m) {
    posted.push_back(m);
    return true;
  }));
  EXPECT_EQ(posted, (std::vector<unsigned>{0x466, 0x466, 0x466, 0x46B}));
  EXPECT_TRUE(b.Empty());
}
