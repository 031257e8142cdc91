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

}  // namespace tallivo
