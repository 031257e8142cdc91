// What the history gathers between two writes: the counted events and
// pointer steps, filed under their local day, hour, key and program, the
// way the tables of history.db hold them.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <utility>

#include "base/counters.h"

namespace tallivo::history {

// A local calendar date and hour.
struct LocalHour {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  int hour = 0;   // 0-23
  bool operator==(const LocalHour&) const = default;
  bool SameDay(const LocalHour& o) const { return year == o.year && month == o.month && day == o.day; }
};

// The local date and hour of a moment, by the C library's local time and
// its daylight-saving rules.
LocalHour LocalHourAt(time_t t);
// "YYYY-MM-DD", the date key of every table.
std::string DateKey(const LocalHour& h);

struct EventCounts {
  uint64_t left = 0;
  uint64_t right = 0;
  uint64_t middle = 0;
  uint64_t wheel = 0;
  uint64_t keys = 0;
  uint64_t movePixels = 0;
  void Add(InputKind kind, uint64_t n = 1);
  void AddAll(const EventCounts& o);
  bool operator==(const EventCounts&) const = default;
};

struct DayDelta {
  EventCounts counts;
  double moveMetres = 0.0;
  uint64_t activeSeconds = 0;
};

// A day's breaks of one kind: how many came due and how each ended.
struct BreakDelta {
  uint64_t due = 0;
  uint64_t taken = 0;
  uint64_t skipped = 0;
  uint64_t postponed = 0;
  bool operator==(const BreakDelta&) const = default;
};

struct ProgramDelta {
  uint64_t clicks = 0;  // left + right + middle
  uint64_t wheel = 0;
  uint64_t keys = 0;
  bool operator==(const ProgramDelta&) const = default;
};

// The deltas since the last write, keyed as the tables are: by date, by
// (date, hour), by (date, virtual-key code), by (date, exe name).
class Deltas {
 public:
  // One counted event. vk is the key's virtual-key code for a key stroke
  // (only 1-254 get a keys row), 0 otherwise; exe is the foreground
  // program's lower-case file name in UTF-8, empty when unknown (no
  // programs row then); n of them alike.
  void AddEvent(const LocalHour& at, InputKind kind, unsigned vk, const std::string& exe, uint64_t n = 1);
  // One pointer step of the given pixels (the metres by the current screen).
  void AddMove(const LocalHour& at, uint32_t pixels, double metres);
  // One second of that day in which something was counted or moved.
  void AddActiveSecond(const LocalHour& at);
  // What became of a break ("micro" or "rest") on that day: field is one
  // of BreakDelta's counts.
  void AddBreak(const LocalHour& at, const std::string& kind, uint64_t BreakDelta::*field);

  bool Empty() const;
  void Clear();
  // Adds another set of deltas to these (what came in while a write failed).
  void MergeFrom(const Deltas& other);

  std::map<std::string, DayDelta> days;
  std::map<std::pair<std::string, int>, EventCounts> hours;
  std::map<std::pair<std::string, unsigned>, uint64_t> keys;
  std::map<std::pair<std::string, std::string>, ProgramDelta> programs;
  std::map<std::pair<std::string, std::string>, BreakDelta> breaks;
};

// The active-seconds rule: a second counts once, however many events and
// steps it holds, also across writes.
class ActiveSecondClock {
 public:
  // True when t is a second not counted yet; the caller then adds one
  // active second to t's day.
  bool Touch(time_t t);

 private:
  time_t m_last = static_cast<time_t>(-1);
};

}  // namespace tallivo::history
