#include "history/history_delta.h"

#include <cstdio>

namespace tallivo::history {

LocalHour LocalHourAt(time_t t) {
  std::tm tm{};
#ifdef _WIN32
  const bool ok = localtime_s(&tm, &t) == 0;
#else
  const bool ok = localtime_r(&t, &tm) != nullptr;
#endif
  // Only a moment outside the C library's range fails; it files under
  // "0000-00-00" hour 0 rather than under a made-up real date.
  if (!ok) return LocalHour{};
  return LocalHour{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour};
}

std::string DateKey(const LocalHour& h) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", h.year, h.month, h.day);
  return buf;
}

void EventCounts::Add(InputKind kind, uint64_t n) {
  switch (kind) {
    case InputKind::Left: left += n; break;
    case InputKind::Right: right += n; break;
    case InputKind::Middle: middle += n; break;
    case InputKind::Wheel: wheel += n; break;
    case InputKind::Key: keys += n; break;
  }
}

void EventCounts::AddAll(const EventCounts& o) {
  left += o.left;
  right += o.right;
  middle += o.middle;
  wheel += o.wheel;
  keys += o.keys;
  movePixels += o.movePixels;
}

void Deltas::AddEvent(const LocalHour& at, InputKind kind, unsigned vk, const std::string& exe, uint64_t n) {
  const std::string date = DateKey(at);
  days[date].counts.Add(kind, n);
  hours[{date, at.hour}].Add(kind, n);
  if (kind == InputKind::Key && vk >= 1 && vk <= 254) keys[{date, vk}] += n;
  if (exe.empty()) return;
  ProgramDelta& p = programs[{date, exe}];
  switch (kind) {
    case InputKind::Left:
    case InputKind::Right:
    case InputKind::Middle: p.clicks += n; break;
    case InputKind::Wheel: p.wheel += n; break;
    case InputKind::Key: p.keys += n; break;
  }
}

void Deltas::AddMove(const LocalHour& at, uint32_t pixels, double metres) {
  // A sample that did not move adds nothing and must not make empty rows.
  if (pixels == 0 && metres == 0.0) return;
  const std::string date = DateKey(at);
  DayDelta& d = days[date];
  d.counts.movePixels += pixels;
  d.moveMetres += metres;
  hours[{date, at.hour}].movePixels += pixels;
}

void Deltas::AddActiveSecond(const LocalHour& at) { ++days[DateKey(at)].activeSeconds; }

void Deltas::AddBreak(const LocalHour& at, const std::string& kind, uint64_t BreakDelta::*field) {
  ++(breaks[{DateKey(at), kind}].*field);
}

bool Deltas::Empty() const {
  return days.empty() && hours.empty() && keys.empty() && programs.empty() && breaks.empty();
}

void Deltas::Clear() {
  days.clear();
  hours.clear();
  keys.clear();
  programs.clear();
  breaks.clear();
}

void Deltas::MergeFrom(const Deltas& other) {
  for (const auto& [date, d] : other.days) {
    DayDelta& mine = days[date];
    mine.counts.AddAll(d.counts);
    mine.moveMetres += d.moveMetres;
    mine.activeSeconds += d.activeSeconds;
  }
  for (const auto& [key, c] : other.hours) hours[key].AddAll(c);
  for (const auto& [key, n] : other.keys) keys[key] += n;
  for (const auto& [key, p] : other.programs) {
    ProgramDelta& mine = programs[key];
    mine.clicks += p.clicks;
    mine.wheel += p.wheel;
    mine.keys += p.keys;
  }
  for (const auto& [key, b] : other.breaks) {
    BreakDelta& mine = breaks[key];
    mine.due += b.due;
    mine.taken += b.taken;
    mine.skipped += b.skipped;
    mine.postponed += b.postponed;
  }
}

bool ActiveSecondClock::Touch(time_t t) {
  // Events arrive in time order, so "not the last second counted" means "not
  // counted yet". A clock set back starts new real seconds: they count.
  if (t == m_last) return false;
  m_last = t;
  return true;
}

}  // namespace tallivo::history
