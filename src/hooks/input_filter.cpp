#include "hooks/input_filter.h"

namespace tallivo {

unsigned WheelAccumulator::Add(int delta) {
  if ((m_pending > 0 && delta < 0) || (m_pending < 0 && delta > 0)) m_pending = 0;
  // Widen so that a hostile delta near INT_MIN/INT_MAX cannot overflow.
  long long sum = static_cast<long long>(m_pending) + delta;
  long long magnitude = sum < 0 ? -sum : sum;
  long long steps = magnitude / kWheelDelta;
  long long rest = magnitude % kWheelDelta;
  m_pending = static_cast<int>(sum < 0 ? -rest : rest);
  return steps > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<unsigned>(steps);
}

bool KeyRepeatFilter::KeyDown(unsigned vk) {
  if (vk > 255) return true;
  uint32_t& word = m_down[vk / 32];
  const uint32_t bit = 1u << (vk % 32);
  if (word & bit) return false;
  word |= bit;
  return true;
}

void KeyRepeatFilter::KeyUp(unsigned vk) {
  if (vk > 255) return;
  m_down[vk / 32] &= ~(1u << (vk % 32));
}

void KeyRepeatFilter::Reset() {
  for (auto& w : m_down) w = 0;
}

void PostBacklog::Add(unsigned msg, unsigned code) {
  const unsigned i = msg - m_base;
  if (i >= kKinds) return;
  if (i == input_block::kKey) {
    ++m_keyCodes[code < kCodes ? code : 0];
    ++m_keysPending;
  } else {
    ++m_pending[i];
  }
  ++m_total;
}

}  // namespace tallivo

namespace tallivo {

namespace {
// Whether `later` lies in a later tick than `at` (times wrap after 49 days).
bool PastTick(uint32_t at, uint32_t later) {
  return static_cast<int32_t>(later - at) > 0 && later / PointerSampler::kPeriodMs != at / PointerSampler::kPeriodMs;
}
}  // namespace

void PointerSampler::SampleHeld(uint32_t laterMs) {
  m_held = false;
  if (!PastTick(m_last.atMs, laterMs)) return;
  const Sample s{m_last.x, m_last.y, (m_last.atMs / kPeriodMs + 1) * kPeriodMs};
  if (m_count < kKept) {
    m_kept[m_count++] = s;
  } else {
    m_kept[kKept - 1] = s;
  }
}

void PointerSampler::Report(int32_t x, int32_t y, uint32_t timeMs) {
  if (m_held && PastTick(m_last.atMs, timeMs)) SampleHeld(timeMs);
  m_last = {x, y, timeMs};
  m_held = true;
}

unsigned PointerSampler::Take(uint32_t nowMs, Sample* out, unsigned capacity) {
  if (m_held && PastTick(m_last.atMs, nowMs)) SampleHeld(nowMs);
  const unsigned n = m_count < capacity ? m_count : capacity;
  for (unsigned i = 0; i < n; ++i) out[i] = m_kept[i];
  for (unsigned i = n; i < m_count; ++i) m_kept[i - n] = m_kept[i];
  m_count -= n;
  return n;
}

bool EventQueue::Add(uint32_t atMs, unsigned kind, unsigned code, uint64_t foreground) {
  if (kind >= input_block::kSpan) return false;
  code &= 0xFF;
  const bool switched = !m_any || foreground != m_foreground;
  m_any = true;
  m_foreground = foreground;
  if (m_count > m_first && m_spilled == 0) {
    Event& last = m_entries[m_count - 1];
    if (last.kind == kind && last.code == code && last.foreground == foreground && last.atMs / 1000 == atMs / 1000 &&
        last.count < UINT32_MAX) {
      ++last.count;
      return switched;
    }
  }
  if (m_count == kEntries && m_first > 0) {
    for (unsigned i = m_first; i < m_count; ++i) m_entries[i - m_first] = m_entries[i];
    m_count -= m_first;
    m_first = 0;
  }
  if (m_count < kEntries && m_spilled == 0) {
    m_entries[m_count++] = {atMs, static_cast<uint16_t>(kind), static_cast<uint16_t>(code), 1, 0, foreground};
  } else if (m_spill[kind][code] < UINT32_MAX) {
    // Once spilling, the entries wait until all is taken: the order stays.
    ++m_spill[kind][code];
    ++m_spilled;
    m_spillAtMs = atMs;
  }
  return switched;
}

unsigned EventQueue::Take(Event* out, unsigned capacity) {
  unsigned n = 0;
  for (; n < capacity && m_first < m_count; ++n) out[n] = m_entries[m_first++];
  if (m_first == m_count) m_first = m_count = 0;
  for (unsigned kind = 0; kind < input_block::kSpan && m_count == 0; ++kind) {
    for (unsigned code = 0; code < 256 && n < capacity; ++code) {
      if (!m_spill[kind][code]) continue;
      out[n++] = {m_spillAtMs, static_cast<uint16_t>(kind), static_cast<uint16_t>(code), m_spill[kind][code], 0,
                  m_foreground};
      m_spilled -= m_spill[kind][code];
      m_spill[kind][code] = 0;
    }
  }
  return n;
}

}  // namespace tallivo
