// The day's figures in the store, and where a local day begins and ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "unit_time.h"
#include "stats/day_store.h"

using namespace tallivo;

namespace {

// Sets the process's time zone for one scope.
class ZoneScope {
 public:
  explicit ZoneScope(const char* zone) {
    if (const char* old = getenv("TZ")) m_old = old;
    setenv("TZ", zone, 1);
    tzset();
  }
  ~ZoneScope() {
    if (m_old) {
      setenv("TZ", m_old->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> m_old;
};

void Seed(MemoryProfileStore& s, uint32_t month, uint32_t day, std::optional<uint32_t> year) {
  s.WriteInt("DateCur", "Month", month);
  s.WriteInt("DateCur", "Day", day);
  if (year) s.WriteInt("DateCur", "Year", *year);
  const char* entries[] = {"MouseLeft", "MouseRight", "MouseMiddle", "MouseRoll", "KeyBoard", "MouseMove", "TimeCount"};
  uint32_t v = 1;
  for (const char* e : entries) s.WriteInt("DataSetting", e, v++);
}

}  // namespace

TEST(DayStore, LoadKeepsOnlyTodaysFigures) {
  const StartDate today = {12, 8, 2026};
  struct Case {
    const char* what;
    uint32_t month, day;
    std::optional<uint32_t> year;
    bool kept;
  } cases[] = {
      {"same date", 12, 8, 2026, true},
      {"same month and day of last year", 12, 8, 2025, false},
      {"same month and day of next year (clock set back)", 12, 8, 2027, false},
      {"no year (an older version's store): month and day decide", 12, 8, std::nullopt, true},
      {"no year, another day", 12, 7, std::nullopt, false},
      {"no year, another month", 11, 8, std::nullopt, false},
      {"year 0 reads as no year", 12, 8, 0u, true},
      {"same year, another day", 12, 7, 2026, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryProfileStore store;
    Seed(store, c.month, c.day, c.year);
    const size_t entries = store.Size();
    const DayFigures f = LoadDayFigures(store, today);
    const uint32_t got[] = {f.counters.left, f.counters.right, f.counters.middle, f.counters.wheel,
                            f.counters.keys, f.movePixels,     f.runSeconds};
    for (uint32_t i = 0; i < 7; ++i) EXPECT_EQ(got[i], c.kept ? i + 1 : 0u) << i;
    EXPECT_EQ(store.Size(), entries) << "a load writes nothing";
  }
  MemoryProfileStore empty;
  EXPECT_EQ(LoadDayFigures(empty, today).counters.GrandTotal(), 0u) << "first run";
}

TEST(DayStore, SaveWritesTheYearAndARestartTheSameDayContinues) {
  MemoryProfileStore store;
  Seed(store, 12, 7, 2026);
  DayFigures f;
  f.counters.keys = 9;
  f.movePixels = 300;
  f.runSeconds = 4;
  SaveDayFigures(store, {12, 8, 2026}, f);
  EXPECT_EQ(store.ReadInt("DateCur", "Month", 0), 12u);
  EXPECT_EQ(store.ReadInt("DateCur", "Day", 0), 8u);
  EXPECT_EQ(store.ReadInt("DateCur", "Year", 0), 2026u);
  EXPECT_EQ(store.ReadInt("DataSetting", "MouseLeft", 99), 0u);
  EXPECT_EQ(store.Size(), 10u);
  const DayFigures back = LoadDayFigures(store, {12, 8, 2026});
  EXPECT_EQ(back.counters.keys, 9u);
  EXPECT_EQ(back.movePixels, 300u);
  EXPECT_EQ(back.runSeconds, 4u);
  EXPECT_EQ(LoadDayFigures(store, {12, 8, 2027}).counters.keys, 0u);
}

// Names the entries each save wrote; writes of the entries in `failing` fail.
class RecordingStore : public MemoryProfileStore {
 public:
  bool WriteInt(const char* section, const char* entry, uint32_t value) override {
    written += std::string(written.empty() ? "" : " ") + entry;
    if (failing.find(entry) != std::string::npos) return false;
    return MemoryProfileStore::WriteInt(section, entry, value);
  }
  std::string Take() { return std::exchange(written, std::string()); }
  std::string written, failing;
};

TEST(DayStore, TheSecondlySaveWritesOnlyWhatChangedAndRetriesWhatFailed) {
  constexpr char kAll[] = "Month Day Year MouseLeft MouseRight MouseMiddle MouseRoll KeyBoard MouseMove TimeCount";
  RecordingStore store;
  DayFiguresSaver saver;
  StartDate today{12, 7, 2026};
  DayFigures f;
  struct Step {
    const char* what;
    std::function<void()> change;
    const char* written;
  } steps[] = {
      {"first save", [] {}, kAll},
      {"nothing new", [] {}, ""},
      {"a second", [&] { ++f.runSeconds; }, "TimeCount"},
      {"a click, a key, a move", [&] { ++f.counters.left, ++f.counters.keys, f.movePixels += 5, ++f.runSeconds; },
       "MouseLeft KeyBoard MouseMove TimeCount"},
      {"a failing write", [&] { ++f.counters.right, store.failing = "MouseRight"; }, "MouseRight"},
      {"tried again", [] {}, "MouseRight"},
      {"stored at last", [&] { store.failing.clear(); }, "MouseRight"},
      {"then left alone", [] {}, ""},
      {"a new day",
       [&] {
         today = {12, 8, 2026}, f = DayFigures();
       },
       "Day MouseLeft MouseRight KeyBoard MouseMove TimeCount"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.change();
    saver.Save(store, today, f);
    EXPECT_EQ(store.Take(), s.written);
  }
  const DayFigures back = LoadDayFigures(store, today);
  EXPECT_EQ(back.counters.GrandTotal() + back.movePixels + back.runSeconds, 0u);

  // Entries removed behind the program's back are back within a minute:
  // one save in 60 writes all ten.
  static_cast<MemoryProfileStore&>(store) = MemoryProfileStore();
  std::string writes;
  for (unsigned i = 0; i < DayFiguresSaver::kFullEvery; ++i) {
    saver.Save(store, today, f);
    const std::string w = store.Take();
    if (!w.empty()) writes += "[" + w + "]";
  }
  EXPECT_EQ(writes, "[" + std::string(kAll) + "]");
  EXPECT_EQ(store.ReadInt("DateCur", "Month", 0), 12u);
  EXPECT_EQ(saver.SaveAll(store, today, f), DayFiguresSaver::kEntries) << "the ways out write everything";
}

TEST(DayStore, LocalDaysAcrossMonthsYearsAndClockChanges) {
  struct Case {
    const char* zone;
    time_t now;
    StartDate date;
    time_t start, end;
  } cases[] = {
      {"UTC", Utc(2026, 12, 7, 23, 59, 50), {12, 7, 2026}, Utc(2026, 12, 7), Utc(2026, 12, 8)},
      {"UTC", Utc(2026, 12, 8), {12, 8, 2026}, Utc(2026, 12, 8), Utc(2026, 12, 9)},
      {"UTC", Utc(2026, 12, 31, 12), {12, 31, 2026}, Utc(2026, 12, 31), Utc(2027, 1, 1)},
      {"UTC", Utc(2027, 2, 28, 1), {2, 28, 2027}, Utc(2027, 2, 28), Utc(2027, 3, 1)},
      {"UTC", Utc(2028, 2, 28, 1), {2, 28, 2028}, Utc(2028, 2, 28), Utc(2028, 2, 29)},
      {"UTC", Utc(2026, 4, 30, 1), {4, 30, 2026}, Utc(2026, 4, 30), Utc(2026, 5, 1)},
      // Local midnight one hour before UTC's in winter, two in summer.
      {"Europe/Berlin", Utc(2026, 12, 7, 22, 59, 59), {12, 7, 2026}, Utc(2026, 12, 6, 23), Utc(2026, 12, 7, 23)},
      {"Europe/Berlin", Utc(2026, 12, 31, 23), {1, 1, 2027}, Utc(2026, 12, 31, 23), Utc(2027, 1, 1, 23)},
      // The spring day has 23 hours, the autumn day 25.
      {"Europe/Berlin", Utc(2026, 3, 29, 12), {3, 29, 2026}, Utc(2026, 3, 28, 23), Utc(2026, 3, 29, 22)},
      {"Europe/Berlin", Utc(2026, 10, 25, 12), {10, 25, 2026}, Utc(2026, 10, 24, 22), Utc(2026, 10, 25, 23)},
      // Midnight skipped: 2018-11-04 began at 01:00 (-02), the day before
      // ended there.
      {"America/Sao_Paulo", Utc(2018, 11, 3, 12), {11, 3, 2018}, Utc(2018, 11, 3, 3), Utc(2018, 11, 4, 3)},
      {"America/Sao_Paulo", Utc(2018, 11, 4, 3), {11, 4, 2018}, Utc(2018, 11, 4, 3), Utc(2018, 11, 5, 2)},
      // The clocks went back from 00:00 to 23:00: 2018-02-17 had 25 hours.
      {"America/Sao_Paulo", Utc(2018, 2, 18, 1), {2, 17, 2018}, Utc(2018, 2, 17, 2), Utc(2018, 2, 18, 3)},
      // Midnight's hour repeated (01:00 back to 00:00): the day begins at the first one.
      {"America/Havana", Utc(2018, 11, 4, 6), {11, 4, 2018}, Utc(2018, 11, 4, 4), Utc(2018, 11, 5, 5)},
      {"America/Havana", Utc(2018, 3, 10, 12), {3, 10, 2018}, Utc(2018, 3, 10, 5), Utc(2018, 3, 11, 5)},
  };
  for (const auto& c : cases) {
    ZoneScope zone(c.zone);
    SCOPED_TRACE(std::string(c.zone) + " " + std::to_string(c.now));
    const LocalDay d = LocalDayOf(c.now);
    EXPECT_EQ(d.date.year, c.date.year);
    EXPECT_EQ(d.date.month, c.date.month);
    EXPECT_EQ(d.date.day, c.date.day);
    EXPECT_EQ(d.start, c.start) << (d.start - c.start) << " s off";
    EXPECT_EQ(d.end, c.end) << (d.end - c.end) << " s off";
  }
}

TEST(DayStore, DayClockChangesOnlyWithTheDate) {
  ZoneScope zone("America/Sao_Paulo");
  const time_t lastSecond = Utc(2018, 11, 4, 2, 59, 59);  // 23:59:59 -03
  DayClock clock(lastSecond - 10);
  struct Step {
    time_t now;
    bool changed;
    int day;
  } steps[] = {
      {lastSecond - 5, false, 3},      {lastSecond, false, 3},
      {lastSecond + 1, true, 4},  // 01:00 -02 on the 4th
      {lastSecond + 2, false, 4},      {Utc(2018, 11, 5, 1, 59, 59), false, 4},
      {Utc(2018, 11, 5, 2), true, 5},  {lastSecond, true, 3},  // the clock set back a day
      {Utc(2019, 11, 3, 12), true, 3},                         // a year on, same month and day
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.now);
    EXPECT_EQ(clock.Advance(s.now), s.changed);
    EXPECT_EQ(clock.Date().day, s.day);
  }
  EXPECT_EQ(clock.Date().year, 2019);
}
