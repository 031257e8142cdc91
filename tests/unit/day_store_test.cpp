// The day's figures in the store, and where a local day begins and ends.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "stats/day_store.h"
#include "unit_time.h"

using namespace tallivo;

namespace {

// Sets the process's time zone for one scope.
struct ZoneScope {
  explicit ZoneScope(const char* zone) : old(getenv("TZ") ? std::optional<std::string>(getenv("TZ")) : std::nullopt) {
    Set(zone);
  }
  ~ZoneScope() { Set(old ? old->c_str() : nullptr); }
  static void Set(const char* zone) {
    zone ? setenv("TZ", zone, 1) : unsetenv("TZ");
    tzset();
  }
  std::optional<std::string> old;
};

void Seed(MemoryProfileStore& s, uint32_t month, uint32_t day, std::optional<uint32_t> year) {
  s.WriteInt("DateCur", "Month", month);
  s.WriteInt("DateCur", "Day", day);
  if (year) s.WriteInt("DateCur", "Year", *year);
  const char* entries[] = {"MouseLeft", "MouseRight", "MouseMiddle", "MouseRoll", "KeyBoard", "MouseMove", "TimeCount"};
  uint32_t v = 1;
  for (const char* e : entries) s.WriteInt("DataSetting", e, v++);
}

std::vector<uint32_t> Figures(const DayFigures& f) {
  return {f.counters.left, f.counters.right, f.counters.middle, f.counters.wheel,
          f.counters.keys, f.movePixels,     f.runSeconds};
}

}  // namespace

// A store of another date starts the day from zero; one without a year (an
// older version's) is judged by month and day, and year 0 reads as none. A
// load writes nothing.
TEST(DayStore, LoadKeepsOnlyTodaysFiguresAndASaveOfTodayIsLoadedBack) {
  const StartDate today = {12, 8, 2026};
  const std::tuple<uint32_t, uint32_t, std::optional<uint32_t>, bool> cases[] = {
      {12, 8, 2026, true},          {12, 8, 2025, false},         {12, 8, 2027, false}, {12, 8, std::nullopt, true},
      {12, 7, std::nullopt, false}, {11, 8, std::nullopt, false}, {12, 8, 0u, true},    {12, 7, 2026, false}};
  for (const auto& [month, day, year, kept] : cases) {
    SCOPED_TRACE(testing::Message() << month << "/" << day << "/" << year.value_or(9999));
    MemoryProfileStore store;
    Seed(store, month, day, year);
    const size_t entries = store.Size();
    const DayFigures f = LoadDayFigures(store, today);
    EXPECT_EQ(Figures(f), kept ? (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7}) : std::vector<uint32_t>(7));
    EXPECT_EQ(store.Size(), entries);
  }
  MemoryProfileStore store;
  EXPECT_EQ(Figures(LoadDayFigures(store, today)), std::vector<uint32_t>(7)) << "first run";
  // A restart the same day goes on from every figure saved.
  Seed(store, 12, 7, 2026);
  DayFigures f = {{11, 12, 13, 14, 15}, 16, 17};
  SaveDayFigures(store, today, f);
  EXPECT_EQ(store.ReadInt("DateCur", "Year", 0), 2026u);
  EXPECT_EQ(Figures(LoadDayFigures(store, today)), (std::vector<uint32_t>{11, 12, 13, 14, 15, 16, 17}));
  EXPECT_EQ(Figures(LoadDayFigures(store, {12, 8, 2027})), std::vector<uint32_t>(7));
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
  const std::tuple<const char*, std::function<void()>, const char*> steps[] = {
      {"first save", [] {}, kAll},
      {"nothing new", [] {}, ""},
      {"a second", [&] { ++f.runSeconds; }, "TimeCount"},
      {"a click, a key, a move", [&] { ++f.counters.left, ++f.counters.keys, f.movePixels += 5, ++f.runSeconds; },
       "MouseLeft KeyBoard MouseMove TimeCount"},
      {"a failing write", [&] { ++f.counters.right, store.failing = "MouseRight"; }, "MouseRight"},
      {"tried again", [] {}, "MouseRight"},
      {"stored at last", [&] { store.failing.clear(); }, "MouseRight"},
      {"then left alone", [] {}, ""},
      {"a new day", [&] { f = DayFigures(), today.day = 8; }, "Day MouseLeft MouseRight KeyBoard MouseMove TimeCount"}};
  for (const auto& [what, change, written] : steps) {
    SCOPED_TRACE(what);
    change();
    saver.Save(store, today, f);
    EXPECT_EQ(store.Take(), written);
  }
  EXPECT_EQ(LoadDayFigures(store, today).counters.GrandTotal(), 0u);
  // Entries removed behind the program's back are back within a minute:
  // the 60th save (counted from the first) writes all ten.
  static_cast<MemoryProfileStore&>(store) = MemoryProfileStore();
  std::string writes;
  for (unsigned n = std::size(steps) + 1; n <= DayFiguresSaver::kFullEvery + 1; ++n) {
    saver.Save(store, today, f);
    const std::string w = store.Take();
    if (!w.empty()) writes += std::to_string(n) + "[" + w + "]";
  }
  EXPECT_EQ(writes, "60[" + std::string(kAll) + "]");
  EXPECT_EQ(store.ReadInt("DateCur", "Month", 0), 12u);
  EXPECT_EQ(saver.SaveAll(store, today, f), DayFiguresSaver::kEntries) << "the ways out write everything";
}

TEST(DayStore, LocalDaysAcrossMonthsYearsAndClockChanges) {
  // The zone, a moment, the local date then and the span of that day.
  const std::tuple<const char*, time_t, StartDate, time_t, time_t> cases[] = {
      {"UTC", Utc(2026, 12, 7, 23, 59, 50), {12, 7, 2026}, Utc(2026, 12, 7), Utc(2026, 12, 8)},
      {"UTC", Utc(2026, 12, 8), {12, 8, 2026}, Utc(2026, 12, 8), Utc(2026, 12, 9)},
      {"UTC", Utc(2026, 12, 31, 12), {12, 31, 2026}, Utc(2026, 12, 31), Utc(2027, 1, 1)},
      {"UTC", Utc(2028, 2, 28, 1), {2, 28, 2028}, Utc(2028, 2, 28), Utc(2028, 2, 29)},
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
  for (const auto& [name, now, date, start, end] : cases) {
    ZoneScope zone(name);
    SCOPED_TRACE(std::string(name) + " " + std::to_string(now));
    const LocalDay d = LocalDayOf(now);
    EXPECT_EQ(std::tie(d.date.year, d.date.month, d.date.day), std::tie(date.year, date.month, date.day));
    EXPECT_EQ(d.start, start) << (d.start - start) << " s off";
    EXPECT_EQ(d.end, end) << (d.end - end) << " s off";
  }
}

TEST(DayStore, DayClockChangesOnlyWithTheDate) {
  ZoneScope zone("America/Sao_Paulo");
  const time_t lastSecond = Utc(2018, 11, 4, 2, 59, 59);  // 23:59:59 -03
  DayClock clock(lastSecond - 10);
  // 01:00 -02 on the 4th follows 23:59:59 -03 on the 3rd; then the clock is
  // set back a day, then a year on to the same month and day.
  const time_t fifth = Utc(2018, 11, 5, 2), yearOn = Utc(2019, 11, 3, 12);
  const std::tuple<time_t, bool, int> steps[] = {
      {lastSecond - 5, false, 3}, {lastSecond, false, 3}, {lastSecond + 1, true, 4}, {lastSecond + 2, false, 4},
      {fifth - 1, false, 4},      {fifth, true, 5},       {lastSecond, true, 3},     {yearOn, true, 3}};
  for (const auto& [now, changed, day] : steps) {
    EXPECT_EQ(clock.Advance(now), changed) << now;
    EXPECT_EQ(clock.Date().day, day) << now;
  }
  EXPECT_EQ(clock.Date().year, 2019);
}
