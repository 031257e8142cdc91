#include "stats/day_store.h"

namespace tallivo {

namespace {
constexpr char kDate[] = "DateCur";
constexpr char kData[] = "DataSetting";

tm LocalTime(time_t t) {
  tm local = {};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return local;
}

// Orders dates: later dates give larger keys.
long DateKey(const tm& t) { return (t.tm_year * 12L + t.tm_mon) * 32 + t.tm_mday; }

// The first second whose local date is the given one (month and day may be
// out of range: mktime carries them over).
time_t DayStart(int year, int month, int day) {
  tm noon = {};
  noon.tm_year = year - 1900;
  noon.tm_mon = month - 1;
  noon.tm_mday = day;
  noon.tm_hour = 12;  // noon exists on every day
  noon.tm_isdst = -1;
  const time_t noonTime = mktime(&noon);
  const long want = DateKey(noon);
  tm midnight = noon;
  midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
  midnight.tm_isdst = -1;
  const time_t t = mktime(&midnight);
  if (DateKey(LocalTime(t)) == want && DateKey(LocalTime(t - 1)) < want) return t;
  // The clocks jump at this midnight, and mktime may place a midnight that
  // does not exist on either side of the jump: look for the first second of
  // the day between a time surely on an earlier date and this noon.
  time_t before = noonTime - 36 * 3600, from = noonTime;
  while (from - before > 1) {
    const time_t mid = before + (from - before) / 2;
    (DateKey(LocalTime(mid)) < want ? before : from) = mid;
  }
  return from;
}
}  // namespace

DayFigures LoadDayFigures(ProfileStore& store, StartDate today) {
  DayFigures f;
  const uint32_t month = store.ReadInt(kDate, "Month", 0);
  const uint32_t day = store.ReadInt(kDate, "Day", 0);
  const uint32_t year = store.ReadInt(kDate, "Year", 0);
  if (month != static_cast<uint32_t>(today.month) || day != static_cast<uint32_t>(today.day)) return f;
  if (year != 0 && year != static_cast<uint32_t>(today.year)) return f;
  f.counters.left = store.ReadInt(kData, "MouseLeft", 0);
  f.counters.right = store.ReadInt(kData, "MouseRight", 0);
  f.counters.middle = store.ReadInt(kData, "MouseMiddle", 0);
  f.counters.wheel = store.ReadInt(kData, "MouseRoll", 0);
  f.counters.keys = store.ReadInt(kData, "KeyBoard", 0);
  f.movePixels = store.ReadInt(kData, "MouseMove", 0);
  f.runSeconds = store.ReadInt(kData, "TimeCount", 0);
  return f;
}

namespace {
struct Entry {
  const char* section;
  const char* name;
  uint32_t value;
};

// The ten entries in the order they are written.
void DayEntries(StartDate today, const DayFigures& f, Entry (&e)[DayFiguresSaver::kEntries]) {
  e[0] = {kDate, "Month", static_cast<uint32_t>(today.month)};
  e[1] = {kDate, "Day", static_cast<uint32_t>(today.day)};
  e[2] = {kDate, "Year", static_cast<uint32_t>(today.year)};
  e[3] = {kData, "MouseLeft", f.counters.left};
  e[4] = {kData, "MouseRight", f.counters.right};
  e[5] = {kData, "MouseMiddle", f.counters.middle};
  e[6] = {kData, "MouseRoll", f.counters.wheel};
  e[7] = {kData, "KeyBoard", f.counters.keys};
  e[8] = {kData, "MouseMove", f.movePixels};
  e[9] = {kData, "TimeCount", f.runSeconds};
}
}  // namespace

void SaveDayFigures(ProfileStore& store, StartDate today, const DayFigures& f) {
  Entry e[DayFiguresSaver::kEntries];
  DayEntries(today, f, e);
  for (const Entry& entry : e) store.WriteInt(entry.section, entry.name, entry.value);
}

unsigned DayFiguresSaver::Save(ProfileStore& store, StartDate today, const DayFigures& f) {
  const bool all = ++m_saves >= kFullEvery;
  if (all) m_saves = 0;
  return Write(store, today, f, all);
}

unsigned DayFiguresSaver::SaveAll(ProfileStore& store, StartDate today, const DayFigures& f) {
  return Write(store, today, f, true);
}

unsigned DayFiguresSaver::Write(ProfileStore& store, StartDate today, const DayFigures& f, bool all) {
  Entry e[kEntries];
  DayEntries(today, f, e);
  unsigned written = 0;
  for (unsigned i = 0; i < kEntries; ++i) {
    Stored& s = m_stored[i];
    if (!all && s.known && s.value == e[i].value) continue;
    ++written;
    s.known = store.WriteInt(e[i].section, e[i].name, e[i].value);
    s.value = e[i].value;
  }
  return written;
}

LocalDay LocalDayOf(time_t now) {
  const tm local = LocalTime(now);
  LocalDay d;
  d.date = {local.tm_mon + 1, local.tm_mday, local.tm_year + 1900};
  d.start = DayStart(d.date.year, d.date.month, d.date.day);
  d.end = DayStart(d.date.year, d.date.month, d.date.day + 1);
  // A clock that cannot place the day (no time zone data, a date out of
  // mktime's range) must not leave a span that `now` is outside of.
  if (d.start > now) d.start = now;
  if (d.end <= now) d.end = now + 3600;
  return d;
}

bool DayClock::TakeDayOf(time_t now) {
  const LocalDay next = LocalDayOf(now);
  const bool changed =
      next.date.year != m_day.date.year || next.date.month != m_day.date.month || next.date.day != m_day.date.day;
  m_day = next;
  return changed;
}

}  // namespace tallivo
