// The day's figures in the profile store: loaded at start when the stored
// date is today's, written every second and on the way out; and the local
// day they belong to, which ends at the next local midnight.
#pragma once

#include <cstdint>
#include <ctime>

#include "base/counters.h"
#include "base/profile_store.h"

namespace tallivo {

struct DayFigures {
  InputCounters counters;
  uint32_t movePixels = 0;
  uint32_t runSeconds = 0;
};

struct StartDate {
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  int year = 0;   // e.g. 2026
};

// Reads the figures stored under the given date. A store of another date
// (or none at all) gives zeroes; nothing is written. A store without a year
// (written by an older version) is judged by month and day alone.
DayFigures LoadDayFigures(ProfileStore& store, StartDate today);
// Writes the date and the seven figures, ten entries in a fixed order.
void SaveDayFigures(ProfileStore& store, StartDate today, const DayFigures& figures);

// The once-a-second save: of the ten entries only those that differ from
// what this saver last stored (most seconds that is the run time alone).
// An entry whose write failed is written again next time, and every
// kFullEvery-th save writes all ten, so that entries removed behind the
// program's back come back within a minute.
class DayFiguresSaver {
 public:
  static constexpr unsigned kEntries = 10;
  static constexpr unsigned kFullEvery = 60;
  // Returns how many entries it wrote.
  unsigned Save(ProfileStore& store, StartDate today, const DayFigures& figures);
  // All ten now, whatever was stored before: the ways out.
  unsigned SaveAll(ProfileStore& store, StartDate today, const DayFigures& figures);

 private:
  unsigned Write(ProfileStore& store, StartDate today, const DayFigures& figures, bool all);
  struct Stored {
    bool known = false;
    uint32_t value = 0;
  };
  Stored m_stored[kEntries];
  unsigned m_saves = 0;
};

// One local calendar day: its date and the seconds it spans, [start, end).
// Where the clocks skip midnight the day starts at the first local time
// that exists (e.g. 01:00); where they go back, the repeated hour belongs
// to the day it is shown in.
struct LocalDay {
  StartDate date;
  time_t start = 0;
  time_t end = 0;
};
LocalDay LocalDayOf(time_t now);

// Whether the local date has changed: two comparisons a call, the calendar
// work once a day. A clock set back to an earlier date changes it too.
class DayClock {
 public:
  explicit DayClock(time_t now) : m_day(LocalDayOf(now)) {}
  const StartDate& Date() const { return m_day.date; }
  time_t Start() const { return m_day.start; }
  time_t End() const { return m_day.end; }
  // Takes the day of `now` and returns true when its date is another one.
  // Inline for the common case: called before every counted event.
  bool Advance(time_t now) {
    if (now >= m_day.start && now < m_day.end) return false;
    return TakeDayOf(now);
  }

 private:
  bool TakeDayOf(time_t now);
  LocalDay m_day;
};

}  // namespace tallivo
