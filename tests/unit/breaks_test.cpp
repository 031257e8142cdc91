// Breaks from the input: the settings as stored, the clocks of active use, heavy minutes, pauses, the countdown,
// postponing, skipping and the day's limit.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "breaks/break_rules.h"

using namespace tallivo;
using namespace tallivo::breaks;

namespace {

// A spell of seconds alike: how many, the events in each, whether the pointer moved.
struct Spell {
  int seconds;
  uint64_t events;
  bool moved = false;
};

// What the seconds brought, with the second (counted from 1) of each.
struct Seen {
  std::vector<std::pair<int, std::string>> log;
  int t = 0;
};

void Feed(BreakClock& c, Seen& seen, const std::vector<Spell>& runs, int64_t day = 1) {
  for (const Spell& r : runs) {
    for (int i = 0; i < r.seconds; ++i) {
      ++seen.t;
      const Step s = c.Second(seen.t / 60, day, r.events, r.moved);
      auto note = [&](const char* what, BreakKind k) { seen.log.emplace_back(seen.t, what + std::string(KindKey(k))); };
      if (s.due) note(s.dueAgain ? "again " : "due ", *s.due);
      if (s.taken) note("taken ", *s.taken);
      if (s.takenByPause) note("paused ", *s.takenByPause);
      if (s.limitReached) seen.log.emplace_back(seen.t, "limit");
    }
  }
}

BreakSettings Short() {
  BreakSettings s;
  s.on = true;
  s.microEvery = 1, s.microLength = 10, s.restEvery = 3, s.restLength = 1;
  return s;
}

using Log = std::vector<std::pair<int, std::string>>;

}  // namespace

// Missing values are the defaults; each value out of its range reads as its default; what is written reads back.
TEST(BreakSettings, DefaultsRangesAndTheRoundTrip) {
  MemoryProfileStore store;
  EXPECT_EQ(ReadBreakSettings(store), BreakSettings{});
  const std::tuple<const char*, uint32_t, bool> values[] = {
      {"On", 2, false},          {"MicroEvery", 0, false},   {"MicroEvery", 241, false}, {"MicroEvery", 240, true},
      {"MicroLength", 4, false}, {"MicroLength", 601, false}, {"MicroLength", 5, true},  {"RestEvery", 601, false},
      {"RestEvery", 1, true},    {"RestLength", 0, false},   {"RestLength", 61, false},  {"RestLength", 60, true},
      {"DailyLimit", 1441, false}, {"DailyLimit", 90, true}, {"On", 1, true}};
  for (auto [entry, value, kept] : values) {
    MemoryProfileStore one;
    one.WriteInt(kSection, entry, value);
    const BreakSettings s = ReadBreakSettings(one);
    EXPECT_EQ(s != BreakSettings{}, kept) << entry << "=" << value;
  }
  BreakSettings s{true, 7, 30, 90, 10, 480};
  ASSERT_TRUE(WriteBreakSettings(store, s));
  EXPECT_EQ(ReadBreakSettings(store), s);
}

// When the break comes under each kind of input, with a micro-break every minute for 10 s and a rest every
// three minutes for one.
TEST(BreakClock, ActiveTimeHeavyMinutesAndPausesDecideWhenTheBreakComes) {
  const std::tuple<const char*, std::vector<Spell>, Log> cases[] = {
      {"a click a second: after a minute", {{70, 1}}, {{60, "due micro"}}},
      {"the pointer alone is active too", {{70, 0, true}}, {{60, "due micro"}}},
      {"no input: never", {{300, 0}}, {}},
      // 10 events a second: heavy from the 21st second, which gives the first 20 their extra half.
      {"heavy input: after 40 s", {{70, 10}}, {{40, "due micro"}}},
      // 200 in a minute is not heavy; 201 is (at the 51st second: 50 half-seconds back, 120 reached at once).
      {"200 events: not heavy", {{50, 4}, {9, 0}, {10, 1}}, {{69, "due micro"}}},
      {"201 events: heavy", {{50, 4}, {1, 1}, {20, 1}}, {{51, "due micro"}}},
      {"a pause of 9 s does not count", {{30, 1}, {9, 0}, {40, 1}}, {{69, "due micro"}}},
      {"a pause of 10 s is the break", {{30, 1}, {10, 0}, {70, 1}}, {{100, "due micro"}}},
      // The extra half is only for the seconds since the clock started again (here after a pause).
      {"heavy after a pause", {{40, 1}, {10, 0}, {9, 25}, {60, 1}}, {{106, "due micro"}}},
      // Each heavy minute counts its own events: two light minutes stay light.
      {"light minutes stay light", {{59, 3}, {1, 0}, {10, 3}}, {{61, "due micro"}}},
  };
  for (const auto& [what, runs, want] : cases) {
    BreakClock c(Short());
    Seen seen;
    Feed(c, seen, runs);
    EXPECT_EQ(seen.log, want) << what;
  }
}

// On screen the countdown runs while there is no input, input sets it back, and when it ends the break is taken;
// "推迟" brings it back after five minutes of use (the whole interval when shorter) without a new due, "跳过"
// starts its clock again; a pause as long as the break takes a postponed one; a rest (taken, skipped or as a
// pause) starts both clocks again.
TEST(BreakClock, CountdownPostponeSkipAndTheRest) {
  {
    BreakClock c(Short());
    Seen seen;
    Feed(c, seen, {{60, 1}, {5, 0}});
    EXPECT_EQ(c.Remaining(), 5u);
    Feed(c, seen, {{2, 1}});
    EXPECT_EQ(c.Remaining(), 10u);
    Feed(c, seen, {{9, 0}});
    EXPECT_EQ(c.Showing(), BreakKind::Micro);
    Feed(c, seen, {{1, 0}, {59, 1}, {1, 1}});
    EXPECT_EQ(seen.log, (Log{{60, "due micro"}, {77, "taken micro"}, {137, "due micro"}}));
    EXPECT_EQ(c.Credit(BreakKind::Rest), 2u * 120);  // the clocks wait while a break is on screen
  }
  {
    BreakSettings s = Short();
    s.microEvery = 20, s.restEvery = 600;
    BreakClock c(s);
    Seen seen;
    Feed(c, seen, {{20 * 60, 1}});
    c.Postpone();
    EXPECT_EQ(c.SecondsToNext(), 5u * 60);
    Feed(c, seen, {{5 * 60, 1}});
    c.Skip();
    EXPECT_EQ(c.SecondsToNext(), 20u * 60);
    Feed(c, seen, {{20 * 60, 1}});
    c.Postpone();
    Feed(c, seen, {{10, 0}, {1, 1}});
    EXPECT_EQ(seen.log, (Log{{1200, "due micro"}, {1500, "again micro"}, {2700, "due micro"}, {2710, "paused micro"}}));
    EXPECT_EQ(c.SecondsToNext(), 20u * 60 - 1);
  }
  {
    BreakClock c(Short());  // every 1 minute for 10 s, and every 3 for 1
    Seen seen;
    Feed(c, seen, {{60, 1}, {10, 0}, {60, 1}, {10, 0}, {60, 1}});
    EXPECT_EQ(seen.log, (Log{{60, "due micro"}, {70, "taken micro"}, {130, "due micro"}, {140, "taken micro"},
                             {200, "due rest"}}));
    // Postponed: no break of either kind for five minutes, or for the whole interval when shorter.
    c.Postpone();
    EXPECT_EQ(c.SecondsToNext(), 60u);
    Feed(c, seen, {{60, 0}});
    EXPECT_EQ(seen.log.back(), std::pair(260, std::string("paused rest")));
    EXPECT_EQ(c.Credit(BreakKind::Micro) + c.Credit(BreakKind::Rest), 0u);
  }
}

// The limit is told once a day when the day's active time reaches it, counting what the history had at the start;
// after midnight the day starts at nought and it is told again.
TEST(BreakClock, TheDailyLimitIsToldOnceADayAndAgainAfterMidnight) {
  BreakSettings s = Short();
  s.microEvery = 240, s.restEvery = 600, s.dailyLimit = 2;
  BreakClock c(s);
  c.StartDay(1, 60);
  Seen seen;
  Feed(c, seen, {{30, 1}, {30, 0}, {40, 1}}, 1);
  Feed(c, seen, {{130, 1}}, 2);
  EXPECT_EQ(seen.log, (Log{{90, "limit"}, {220, "limit"}}));
  EXPECT_EQ(c.ActiveToday(), 130u);
  BreakClock restarted(s);
  restarted.StartDay(1, 200);  // past it at a start: told before
  Seen none;
  Feed(restarted, none, {{60, 1}}, 1);
  EXPECT_TRUE(none.log.empty());
  s.dailyLimit = 5;
  restarted.SetSettings(s);  // a higher limit set later is told when reached
  Feed(restarted, none, {{40, 1}}, 1);
  EXPECT_EQ(none.log, (Log{{100, "limit"}}));
}

// The texts of the window and the tip line.
TEST(BreakTexts, TitleCountdownTipAndLimit) {
  const BreakSettings s = Short();
  EXPECT_EQ(BreakTitle(BreakKind::Micro, s), "小休息 10 秒");
  EXPECT_EQ(BreakTitle(BreakKind::Rest, s), "休息 1 分钟");
  const std::pair<uint32_t, const char*> counts[] = {
      {0, "还剩 0 秒"}, {59, "还剩 59 秒"}, {60, "还剩 1 分 00 秒"}, {305, "还剩 5 分 05 秒"}};
  for (auto [n, text] : counts) EXPECT_EQ(CountdownText(n), text);
  BreakClock c(s);
  EXPECT_EQ(NextBreakLine(c), "下次休息: 1 分钟后");
  c.Second(0, 1, 1, false);
  EXPECT_EQ(NextBreakLine(c), "下次休息: 不到 1 分钟");
  for (int i = 0; i < 59; ++i) c.Second(0, 1, 1, false);
  EXPECT_EQ(NextBreakLine(c), "正在休息");
  EXPECT_EQ(DailyLimitText(90), "今天已活跃 1 小时 30 分钟，达到每日上限。该停下来休息了。");
  EXPECT_EQ(DailyLimitText(120), "今天已活跃 2 小时，达到每日上限。该停下来休息了。");
  EXPECT_EQ(DailyLimitText(45), "今天已活跃 45 分钟，达到每日上限。该停下来休息了。");
}
