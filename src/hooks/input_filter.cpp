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
