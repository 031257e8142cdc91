// What the hook libraries count as one event, decided without any window:
// a key stroke is a key-down that is not auto-repeat, a wheel step is each
// full notch (120 units) of vertical wheel, fractions carried over.
#pragma once

#include <cstdint>

namespace tallivo {

constexpr int kWheelDelta = 120;

class WheelAccumulator {
 public:
  // Adds one wheel report and returns how many whole steps it completes.
  // A change of direction drops the fraction left over from the other way.
  unsigned Add(int delta);
  int Pending() const { return m_pending; }

 private:
  int m_pending = 0;
};

class KeyRepeatFilter {
 public:
  // True when this key-down starts a new stroke (the key was up before).
  bool KeyDown(unsigned vk);
  void KeyUp(unsigned vk);
  void Reset();

 private:
  uint32_t m_down[8] = {};  // one bit per virtual-key code 0..255
};

}  // namespace tallivo
