// Whether the global hooks still see the input the system sees. Windows
// removes low-level hooks without notice (a hook procedure that was once
// too slow), and then nothing is counted any more. Asked once a second with
// the system's last-input time and the number of reports the hooks have
// seen; both only compared for change, so the two need not share a clock.
#pragma once

#include <cstdint>

namespace tallivo {

class HookWatchdog {
 public:
  // How long input must go on unseen before the hooks are set again; each
  // attempt that does not bring them back doubles it, up to the longest.
  static constexpr uint32_t kFirstWaitMs = 3000;
  static constexpr uint32_t kLongestWaitMs = 60000;

  // now: a millisecond tick; installed: whether the hooks are in place as
  // far as their thread knows; reportsSeen: their count of input reports;
  // lastInput: the system's last-input tick. True: install them again now.
  bool Check(uint32_t now, bool installed, uint32_t reportsSeen, uint32_t lastInput);

 private:
  bool Attempt(uint32_t now, uint32_t reportsSeen, uint32_t lastInput);

  bool m_started = false;
  uint32_t m_seen = 0;          // reports seen at the last check
  uint32_t m_input = 0;         // last input as of the hooks' last sign of life
  bool m_missing = false;       // the system has had input the hooks did not see
  uint32_t m_missingSince = 0;  // when that was first noticed
  uint32_t m_missedInput = 0;   // the last input at that moment
  uint32_t m_lastAttempt = 0;
  uint32_t m_wait = kFirstWaitMs;
};

}  // namespace tallivo
