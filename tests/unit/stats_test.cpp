// Counting, distance, and the texts the figures are shown in.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "base/counters.h"
#include "hooks/input_filter.h"
#include "stats/distance.h"
#include "stats/hook_watchdog.h"
#include "stats/pointer_rest.h"
#include "stats/stats_text.h"
#include "stats/time_text.h"

using namespace tallivo;

TEST(InputFilter, WheelStepsPerReport) {
  struct Case {
    std::vector<int> deltas;
    unsigned steps;
    int pending;
  } cases[] = {
      {{120}, 1, 0},
      {{-120}, 1, 0},
      {{360, -120}, 4, 0},
      {{60, 60}, 1, 0},  // fine-grained wheel: halves add up
      {{40, 40, 40, 40}, 1, 40},
      {{100, -100}, 0, -100},  // a change of direction drops the fraction
      {{119, 1, 119}, 1, 119},
  };
  for (const auto& c : cases) {
    WheelAccumulator w;
    unsigned steps = 0;
    for (int d : c.deltas) steps += w.Add(d);
    EXPECT_EQ(steps, c.steps) << c.deltas.size() << " reports from " << c.deltas[0];
    EXPECT_EQ(w.Pending(), c.pending);
  }
  WheelAccumulator w;
  EXPECT_EQ(w.Add(SHRT_MIN), 273u);
  w.Add(119);
  EXPECT_EQ(w.Add(INT_MAX), static_cast<unsigned>((119LL + INT_MAX) / 120));  // no overflow
}

TEST(InputFilter, AutoRepeatCountsOncePerKey) {
  KeyRepeatFilter f;
  EXPECT_TRUE(f.KeyDown(0x10));  // Shift held over letters
  EXPECT_TRUE(f.KeyDown('A'));
  EXPECT_FALSE(f.KeyDown('A'));
  f.KeyUp('A');
  EXPECT_TRUE(f.KeyDown('A'));
  EXPECT_FALSE(f.KeyDown(0x10));
  EXPECT_TRUE(f.KeyDown(256));  // out of range: always counts
  EXPECT_TRUE(f.KeyDown(256));
  f.KeyUp(1000);
  f.Reset();
  EXPECT_TRUE(f.KeyDown(0x10));
}

TEST(InputFilter, BacklogKeepsEveryEventWithItsKeyCodeUntilItCanBePosted) {
  using Posted = std::vector<std::pair<unsigned, unsigned>>;
  constexpr unsigned L = 0x466, K = 0x46B;
  struct Case {
    const char* what;
    Posted added;            // (message, code) in the order of arrival
    std::vector<int> rooms;  // how many posts each flush gets through
    Posted posted;           // everything that went out, over all flushes
    uint64_t left;
  } cases[] = {
      {"clicks and keys, all at once",
       {{L, 0}, {K, 'A'}, {L, 0}, {K, 'B'}, {K, 'A'}},
       {100},
       {{L, 0}, {L, 0}, {K, 'A'}, {K, 'A'}, {K, 'B'}},
       0},
      {"a full queue stops a flush among the keys; the next goes on from there",
       {{K, 'Z'}, {K, 'A'}, {K, 'Z'}, {K, 0x0D}},
       {2, 1, 100},
       {{K, 0x0D}, {K, 'A'}, {K, 'Z'}, {K, 'Z'}},
       0},
      {"a queue that stays full keeps the rest", {{K, 0xFE}, {K, 0x01}, {L, 0}}, {1, 0, 1}, {{L, 0}, {K, 0x01}}, 1},
      {"not one of ours: ignored; a code out of range kept as 0",
       {{0x500, 7}, {K, 300}, {K, 255}},
       {100},
       {{K, 0}, {K, 255}},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    PostBacklog b(L);
    for (const auto& [msg, code] : c.added) b.Add(msg, code);
    Posted posted;
    for (int room : c.rooms) {
      const bool all =
          b.Flush([&](unsigned m, unsigned code) { return room-- > 0 && (posted.emplace_back(m, code), true); });
      EXPECT_EQ(all, b.Empty());
    }
    EXPECT_EQ(posted, c.posted);
    EXPECT_EQ(b.Total(), c.left);
  }
  // A burst far beyond a full queue: every stroke goes out with its code.
  PostBacklog burst(L);
  for (int i = 0; i < 30000; ++i) burst.Add(K, 1 + i % 254);
  std::vector<int> perCode(256);
  int flushes = 0;
  for (int room = 10000; !burst.Empty() && flushes < 10; ++flushes, room = 10000)
    burst.Flush([&](unsigned, unsigned code) { return room-- > 0 && (++perCode[code], true); });
  EXPECT_TRUE(burst.Empty());
  for (int code = 1; code <= 254; ++code) EXPECT_EQ(perCode[code], code <= 30000 % 254 ? 119 : 118) << code;
}

TEST(Distance, StepsAreTruncatedEuclideanLengths) {
  struct Case {
    int64_t dx, dy;
    uint32_t step;
  } cases[] = {{3, 4, 5}, {-3, -4, 5},        {1, 1, 1},
               {7, 7, 9}, {-1023, 767, 1278}, {4294967295LL, 4294967295LL, 0xFFFFFFFFu}};
  for (const auto& c : cases) EXPECT_EQ(DistanceStep(c.dx, c.dy), c.step) << c.dx << "," << c.dy;
  EXPECT_FLOAT_EQ(PixelsPerMetre(-4134), 4134.0f);
  EXPECT_FLOAT_EQ(PixelsPerMetre(0), 3780.0f);  // no size reported: 96 dpi, never divide by 0
}

TEST(Distance, SamplesAccumulateConvertAndWrap) {
  DistanceMeter m;
  m.SetPixelsPerMetre(3780.0f);
  m.SetStart({100, 100});
  EXPECT_FALSE(m.Sample({100, 100}));  // no move, nothing changes
  EXPECT_TRUE(m.Sample({103, 104}));
  EXPECT_TRUE(m.Sample({104, 105}));
  EXPECT_EQ(m.Pixels(), 6u);
  m.SetPixels(7560);
  EXPECT_FLOAT_EQ(m.Metres(), 6.0f / 3780.0f);  // recomputed only by a sample that moved
  EXPECT_TRUE(m.Sample({104, 104}));
  EXPECT_EQ(MetresLabel(m.Metres()), "鼠标运行:   2.00米");
  m.SetPixels(0xFFFFFFFEu);
  m.Sample({107, 108});
  EXPECT_EQ(m.Pixels(), 3u);
}

TEST(Distance, SamplingRestsOnlyAfterTwoSecondsStillAndTheFirstStepAfterItCounts) {
  DistanceMeter m;
  m.SetStart({10, 10});
  SamplingRest rest;
  const unsigned still = SamplingRest::kStillSamples;
  // (samples that found the pointer still, then whether one moved) in turn,
  // and whether the last of them stops the sampling.
  const struct {
    unsigned stillSamples;
    bool thenMoved;
    bool stops;
  } runs[] = {
      {0, true, false},
      {still - 1, true, false},  // a move starts the count over
      {still - 1, false, true},  // the 200th still sample in a row
  };
  int x = 10;
  for (const auto& r : runs) {
    bool stopped = false;
    for (unsigned i = 0; i < r.stillSamples; ++i) stopped = rest.AfterSample(m.Sample({x, 10}));
    EXPECT_FALSE(stopped) << r.stillSamples;
    if (r.thenMoved) ++x;
    EXPECT_EQ(rest.AfterSample(m.Sample({x, 10})), r.stops) << r.stillSamples;
  }
  ASSERT_TRUE(rest.Resting());
  EXPECT_FALSE(rest.AfterSample(false)) << "a timer message already queued stops nothing twice";
  // The first step after the rest is measured from the last sample: a jump
  // of (3, 4) adds 5 pixels. The word that the pointer moves starts the
  // sampling once; a second one, or one while sampling, does nothing.
  const uint32_t before = m.Pixels();
  EXPECT_TRUE(rest.Wake());
  EXPECT_FALSE(rest.Wake());
  EXPECT_TRUE(m.Sample({x + 3, 14}));
  EXPECT_EQ(m.Pixels() - before, 5u);
  EXPECT_FALSE(rest.AfterSample(true));
  EXPECT_FALSE(rest.Resting());
}

TEST(Distance, ARestingPointerIsLookedAtEveryFewSecondsAndNeverWhileSampling) {
  SamplingRest rest;
  // Sampling: the samples see the pointer, no look is due.
  for (unsigned s = 0; s < 2 * SamplingRest::kLookSeconds; ++s) EXPECT_FALSE(rest.LookDue()) << s;
  for (unsigned i = 0; i < SamplingRest::kStillSamples; ++i) rest.AfterSample(false);
  ASSERT_TRUE(rest.Resting());
  // Resting: a look at each kLookSeconds-th second, counted from the rest.
  std::vector<unsigned> looks;
  for (unsigned s = 1; s <= 3 * SamplingRest::kLookSeconds; ++s) {
    if (rest.LookDue()) looks.push_back(s);
  }
  const unsigned k = SamplingRest::kLookSeconds;
  EXPECT_EQ(looks, (std::vector<unsigned>{k, 2 * k, 3 * k}));
  // A wake and a new rest count from the new rest, not from the old one.
  for (unsigned s = 0; s + 1 < k; ++s) rest.LookDue();
  rest.Wake();
  for (unsigned i = 0; i < SamplingRest::kStillSamples; ++i) rest.AfterSample(false);
  EXPECT_FALSE(rest.LookDue());
}

TEST(StatsText, LabelsTipAndTimes) {
  const std::string left = CounterLabel(InputKind::Left, 2147483648u);
  EXPECT_EQ(left, "左键点击:   2147483648次");           // unsigned: never negative
  EXPECT_EQ(static_cast<unsigned char>(left[0]), 0xD7);  // GBK, not UTF-8
  EXPECT_EQ(CounterLabel(InputKind::Key, 42), "键盘共敲击: 42次");
  EXPECT_EQ(CursorText(-1920, -5), "当前鼠标的位置:-1920,-5");
  // The tip fits its field even with every figure at its largest.
  const std::string tip = TrayTip(4294967295u, 4294967295u, 4294967295.0f);
  EXPECT_LT(tip.size(), kTrayTipSize);
  EXPECT_EQ(tip, "当前统计:鼠标点击4294967295次,键盘敲击4294967295次,鼠标移动4294967296.00米");
  EXPECT_EQ(RunTimeText(25 * 3600 + 61), "软件已运行:25时1分1秒");  // no wrap at 24 hours
  // Uptime from the 64-bit tick count: on past 2^32 ms (49.7 days), no wrap.
  const struct {
    uint64_t ms;
    const char* text;
  } uptimes[] = {
      {(23 * 3600 + 59 * 60 + 59) * 1000ull, "系统已开机:23小时59分59秒"},
      {24 * 3600 * 1000ull, "系统已开机:1天0小时0分0秒"},
      {4294967295ull, "系统已开机:49天17小时2分47秒"},
      {4294967296ull + 1000, "系统已开机:49天17小时2分48秒"},
      {100 * 86400000ull + 1999, "系统已开机:100天0小时0分1秒"},
  };
  for (const auto& u : uptimes) EXPECT_EQ(UptimeText(u.ms), u.text) << u.ms;
  EXPECT_EQ(LapsText(1000.0f), "今天你围着鸟巢奔跑了2.50圈~~");
}

TEST(StatsText, MilestoneBoundaries) {
  struct Case {
    uint32_t clicks;
    const char* text;
  } cases[] = {
      {99, "你当前没有点击死任何动物!"},      {100, "当前你已经点击死一条蚯蚓！"},
      {5000, "当前你已经点击死一只老鼠！"},   {5001, "当前你已经点击死一只猫！"},
      {150000, "当前你已经点击死一头大象！"}, {150001, "已经没有动物可以阻止你点击了~~"},
  };
  for (const auto& c : cases) EXPECT_STREQ(MilestoneText(c.clicks), c.text) << c.clicks;
}

// Checks once a second. Each step: the time, whether the hooks are set, the
// reports they have seen, the system's last input, and whether they are to
// be set again at that check.
TEST(HookWatchdog, SetsTheHooksAgainOnlyWhenInputGoesOnUnseen) {
  struct Step {
    uint32_t now;
    bool installed;
    uint32_t seen, input;
    bool reinstall;
  };
  const uint32_t w = 0xFFFFE000u;  // the 32-bit tick count wraps during the steps
  const struct {
    const char* what;
    std::vector<Step> steps;
  } cases[] = {
      {"seen as it comes",
       {{0, true, 5, 100, false},
        {1000, true, 9, 900, false},
        {2000, true, 12, 1900, false},
        {3000, true, 12, 1900, false},
        {9000, true, 30, 8900, false}}},
      {"missed while input goes on: set again after 3 s",
       {{0, true, 5, 100, false},
        {1000, true, 5, 900, false},
        {2000, true, 5, 1900, false},
        {3900, true, 5, 3800, false},
        {4000, true, 5, 3900, true}}},
      {"the same across the wrap of the tick count",
       {{w, true, 5, w - 100, false},
        {w + 1000, true, 5, w + 900, false},
        {w + 2000, true, 5, w + 1900, false},
        {w + 4000, true, 5, w + 3900, true}}},
      {"one unseen input alone (the system may note it after the hooks) proves nothing",
       {{0, true, 5, 100, false},
        {1000, true, 5, 900, false},
        {5000, true, 5, 900, false},
        {60000, true, 5, 900, false}}},
      {"the hooks report late: no longer missing",
       {{0, true, 5, 100, false},
        {1000, true, 5, 900, false},
        {2000, true, 6, 1900, false},
        {3000, true, 6, 2900, false},
        {5000, true, 6, 4900, false},
        {6000, true, 6, 5900, true}}},
      {"still missed after setting them again: twice the wait, then back to 3 s once they work",
       {{0, true, 5, 100, false},
        {1000, true, 5, 900, false},
        {4000, true, 5, 3900, true},
        {5000, true, 5, 4900, false},
        {10000, true, 5, 9900, false},
        {11000, true, 5, 10900, true},
        {12000, true, 7, 11900, false},
        {13000, true, 7, 12900, false},
        {16000, true, 7, 15900, true}}},
      {"not set at all: tried again after 3 s, 6 s, 12 s",
       {{0, false, 0, 100, false},
        {1000, false, 0, 900, false},
        {3000, false, 0, 2900, true},
        {8000, false, 0, 7900, false},
        {9000, false, 0, 8900, true},
        {20000, false, 0, 8900, false},
        {21000, false, 0, 8900, true}}},
  };
  for (const auto& c : cases) {
    HookWatchdog dog;
    for (const Step& s : c.steps) {
      EXPECT_EQ(dog.Check(s.now, s.installed, s.seen, s.input), s.reinstall)
          << c.what << ", at " << s.now - c.steps[0].now;
    }
  }
}
