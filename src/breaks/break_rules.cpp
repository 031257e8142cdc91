#include "breaks/break_rules.h"

#include <algorithm>

#include "base/text_format.h"

namespace tallivo::breaks {

namespace {

uint32_t InRange(uint32_t v, Bounds b, uint32_t def) { return v >= b.min && v <= b.max ? v : def; }

}  // namespace

BreakSettings ReadBreakSettings(ProfileStore& store) {
  const BreakSettings d;
  BreakSettings s;
  const uint32_t on = store.ReadInt(kSection, "On", 0);
  s.on = on == 1;
  s.microEvery = InRange(store.ReadInt(kSection, "MicroEvery", d.microEvery), kMicroEvery, d.microEvery);
  s.microLength = InRange(store.ReadInt(kSection, "MicroLength", d.microLength), kMicroLength, d.microLength);
  s.restEvery = InRange(store.ReadInt(kSection, "RestEvery", d.restEvery), kRestEvery, d.restEvery);
  s.restLength = InRange(store.ReadInt(kSection, "RestLength", d.restLength), kRestLength, d.restLength);
  const uint32_t limit = store.ReadInt(kSection, "DailyLimit", d.dailyLimit);
  s.dailyLimit = limit <= kLimitHours.max * 60 ? limit : d.dailyLimit;
  return s;
}

bool WriteBreakSettings(ProfileStore& store, const BreakSettings& s) {
  bool ok = store.WriteInt(kSection, "On", s.on ? 1 : 0);
  ok &= store.WriteInt(kSection, "MicroEvery", s.microEvery);
  ok &= store.WriteInt(kSection, "MicroLength", s.microLength);
  ok &= store.WriteInt(kSection, "RestEvery", s.restEvery);
  ok &= store.WriteInt(kSection, "RestLength", s.restLength);
  ok &= store.WriteInt(kSection, "DailyLimit", s.dailyLimit);
  return ok;
}

const char* KindKey(BreakKind kind) { return kind == BreakKind::Micro ? "micro" : "rest"; }

uint64_t BreakClock::Due(BreakKind k) const {
  return uint64_t{k == BreakKind::Micro ? m_s.microEvery : m_s.restEvery} * 60 * 2;
}

uint32_t BreakClock::Length(BreakKind k) const {
  return k == BreakKind::Micro ? m_s.microLength : m_s.restLength * 60;
}

void BreakClock::Restart(BreakKind k) {
  m_credit[Index(k)] = 0;
  m_minuteCredited[Index(k)] = 0;
  m_postponed[Index(k)] = false;
}

void BreakClock::SetSettings(const BreakSettings& s) {
  m_s = s;
  if (m_showing) m_remaining = std::min(m_remaining, Length(*m_showing));
  m_limitTold = m_s.dailyLimit > 0 && m_activeToday >= uint64_t{m_s.dailyLimit} * 60 && m_limitTold;
}

void BreakClock::StartDay(int64_t day, uint64_t activeSeconds) {
  m_day = day;
  m_activeToday = activeSeconds;
  // Already past the limit at a start: it was told before the restart.
  m_limitTold = m_s.dailyLimit > 0 && activeSeconds >= uint64_t{m_s.dailyLimit} * 60;
}

Step BreakClock::Second(int64_t minute, int64_t day, uint64_t events, bool moved) {
  Step step;
  if (day != m_day) {
    m_day = day;
    m_activeToday = 0;
    m_limitTold = false;
  }
  if (minute != m_minute) {
    m_minute = minute;
    m_minuteEvents = 0;
    m_minuteCredited[0] = m_minuteCredited[1] = 0;
  }
  const bool active = events > 0 || moved;
  const bool wasHeavy = m_minuteEvents > kHeavyMinuteEvents;
  m_minuteEvents += events;
  const bool heavy = m_minuteEvents > kHeavyMinuteEvents;

  if (!active) {
    ++m_quietSeconds;
    if (m_showing) {
      if (m_remaining > 0) --m_remaining;
      if (m_remaining == 0) {
        step.taken = m_showing;
        Restart(*m_showing);
        if (*m_showing == BreakKind::Rest) Restart(BreakKind::Micro);
        m_showing.reset();
      }
      return step;
    }
    // A pause as long as a break is that break.
    for (BreakKind k : {BreakKind::Micro, BreakKind::Rest}) {
      if (m_quietSeconds < Length(k)) continue;
      if (m_postponed[Index(k)]) step.takenByPause = k;
      Restart(k);
      if (k == BreakKind::Rest) Restart(BreakKind::Micro);
    }
    return step;
  }

  m_quietSeconds = 0;
  ++m_activeToday;
  if (m_s.dailyLimit > 0 && !m_limitTold && m_activeToday >= uint64_t{m_s.dailyLimit} * 60) {
    m_limitTold = true;
    step.limitReached = true;
  }
  if (m_showing) {
    // Input during a break: it starts again, and the clocks wait for it.
    m_remaining = Length(*m_showing);
    step.countdownReset = true;
    return step;
  }
  // Half-seconds: a second of a heavy minute counts three, and when a
  // minute turns heavy its earlier seconds get their extra half, those
  // counted toward this break (not those before its clock started again).
  for (int i = 0; i < 2; ++i) {
    m_credit[i] += heavy ? 3 : 2;
    if (heavy && !wasHeavy) m_credit[i] += m_minuteCredited[i];
    ++m_minuteCredited[i];
  }
  for (BreakKind k : {BreakKind::Rest, BreakKind::Micro}) {
    if (m_credit[Index(k)] < Due(k)) continue;
    step.due = k;
    step.dueAgain = m_postponed[Index(k)];
    m_showing = k;
    m_remaining = Length(k);
    break;
  }
  return step;
}

void BreakClock::Postpone() {
  if (!m_showing) return;
  // Not now: no break of either kind for the next five minutes of use.
  const uint64_t back = uint64_t{kPostponeMinutes} * 60 * 2;
  for (BreakKind k : {BreakKind::Micro, BreakKind::Rest}) {
    const uint64_t most = Due(k) > back ? Due(k) - back : 0;
    m_credit[Index(k)] = std::min(m_credit[Index(k)], most);
  }
  m_postponed[Index(*m_showing)] = true;
  m_showing.reset();
}

void BreakClock::Skip() {
  if (!m_showing) return;
  // A skipped rest would otherwise bring the micro-break it covered at once.
  Restart(*m_showing);
  if (*m_showing == BreakKind::Rest) Restart(BreakKind::Micro);
  m_showing.reset();
}

uint64_t BreakClock::SecondsToNext() const {
  uint64_t best = UINT64_MAX;
  for (BreakKind k : {BreakKind::Micro, BreakKind::Rest}) {
    const uint64_t c = m_credit[Index(k)], due = Due(k);
    best = std::min(best, c >= due ? 0 : (due - c + 1) / 2);
  }
  return best;
}

std::string BreakTitle(BreakKind kind, const BreakSettings& s) {
  return kind == BreakKind::Micro ? FormatText("小休息 %u 秒", s.microLength) : FormatText("休息 %u 分钟", s.restLength);
}

std::string CountdownText(uint32_t seconds) {
  if (seconds < 60) return FormatText("还剩 %u 秒", seconds);
  return FormatText("还剩 %u 分 %02u 秒", seconds / 60, seconds % 60);
}

std::string NextBreakLine(const BreakClock& c) {
  if (c.Showing()) return "正在休息";
  const uint64_t s = c.SecondsToNext();
  if (s < 60) return "下次休息: 不到 1 分钟";
  return FormatText("下次休息: %llu 分钟后", static_cast<unsigned long long>((s + 59) / 60));
}

std::string DailyLimitText(uint32_t limitMinutes) {
  const uint32_t h = limitMinutes / 60, m = limitMinutes % 60;
  const std::string spent = h == 0   ? FormatText("%u 分钟", m)
                            : m == 0 ? FormatText("%u 小时", h)
                                     : FormatText("%u 小时 %u 分钟", h, m);
  return "今天已活跃 " + spent + "，达到每日上限。该停下来休息了。";
}

}  // namespace tallivo::breaks
