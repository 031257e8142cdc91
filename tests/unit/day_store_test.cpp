#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stats/day_store.h"

using namespace tallivo;

namespace {
// Records the order of writes on top of the in-memory store.
class RecordingStore : public MemoryProfileStore {
 public:
  bool WriteInt(const char* section, const char* entry, uint32_t value) override {
    writes.push_back(std::string(section) + "/" + entry);
    return MemoryProfileStore::WriteInt(section, entry, value);
  }
  std::vector<std::string> writes;
};

DayFigures Sample() {
  DayFigures f;
  f.counters = {11, 22, 33, 44, 55};
  f.movePixels = 7560;
  f.runSeconds = 3661;
  return f;
}
}  // namespace

TEST(DayStore, FirstRunStartsAtZeroAndWritesNothing) {
  RecordingStore s;
  DayFigures f = LoadDayFigures(s, {12, 6});
  EXPECT_EQ(f.counters.GrandTotal(), 0u);
  EXPECT_EQ(f.movePixels, 0u);
  EXPECT_EQ(f.runSeconds, 0u);
  EXPECT_TRUE(s.writes.empty());
}

TEST(DayStore, SaveWritesNineEntriesInOrder) {
  RecordingStore s;
  SaveDayFigures(s, {12, 6}, Sample());
  const std::vector<std::string> expected = {
      "DateCur/Month",          "DateCur/Day",           "DataSetting/MouseLeft",
      "DataSetting/MouseRight", "DataSetting/MouseMiddle", "DataSetting/MouseRoll",
      "DataSetting/KeyBoard",   "DataSetting/MouseMove", "DataSetting/TimeCount"};
  EXPECT_EQ(s.writes, expected);
  EXPECT_EQ(s.ReadInt("DateCur", "Month", 0), 12u);
  EXPECT_EQ(s.ReadInt("DateCur", "Day", 0), 6u);
  EXPECT_EQ(s.ReadInt("DataSetting", "MouseMove", 0), 7560u);
}

TEST(DayStore, SameDayContinuesOtherDayStartsFromZero) {
  struct Case {
    StartDate stored, today;
    bool continues;
  } cases[] = {
      {{12, 6}, {12, 6}, true},
      {{12, 5}, {12, 6}, false},  // the next day
      {{11, 6}, {12, 6}, false},  // same day of another month
      {{1, 1}, {1, 1}, true},     // a year later, same month and day: continued
  };
  for (const auto& c : cases) {
    MemoryProfileStore s;
    SaveDayFigures(s, c.stored, Sample());
    DayFigures f = LoadDayFigures(s, c.today);
    if (c.continues) {
      EXPECT_EQ(f.counters.left, 11u);
      EXPECT_EQ(f.counters.right, 22u);
      EXPECT_EQ(f.counters.middle, 33u);
      EXPECT_EQ(f.counters.wheel, 44u);
      EXPECT_EQ(f.counters.keys, 55u);
      EXPECT_EQ(f.movePixels, 7560u);
      EXPECT_EQ(f.runSeconds, 3661u);
    } else {
      EXPECT_EQ(f.counters.GrandTotal(), 0u);
      EXPECT_EQ(f.movePixels, 0u);
      EXPECT_EQ(f.runSeconds, 0u);
    }
  }
}

TEST(DayStore, MissingEntriesReadAsZeroAndLargeValuesAreKept) {
  MemoryProfileStore s;
  s.WriteInt("DateCur", "Month", 3);
  s.WriteInt("DateCur", "Day", 9);
  s.WriteInt("DataSetting", "KeyBoard", 0xFFFFFFFFu);
  DayFigures f = LoadDayFigures(s, {3, 9});
  EXPECT_EQ(f.counters.keys, 0xFFFFFFFFu);
  EXPECT_EQ(f.counters.left, 0u);
  EXPECT_EQ(f.runSeconds, 0u);
}

TEST(DayStore, ClearThenSaveOverwrites) {
  MemoryProfileStore s;
  SaveDayFigures(s, {12, 6}, Sample());
  SaveDayFigures(s, {12, 6}, DayFigures{});
  DayFigures f = LoadDayFigures(s, {12, 6});
  EXPECT_EQ(f.counters.GrandTotal(), 0u);
  EXPECT_EQ(f.movePixels, 0u);
}
