#include "stats/hook_watchdog.h"

namespace tallivo {

bool HookWatchdog::Check(uint32_t now, bool installed, uint32_t reportsSeen, uint32_t lastInput) {
  if (!m_started) {
    m_started = true;
    m_seen = reportsSeen;
    m_input = lastInput;
    m_lastAttempt = now;
    return false;
  }
  if (!installed) {
    // Setting them failed: try again from time to time.
    m_missing = false;
    return now - m_lastAttempt >= m_wait && Attempt(now, reportsSeen, lastInput);
  }
  if (reportsSeen != m_seen) {
    m_seen = reportsSeen;
    m_input = lastInput;
    m_missing = false;
    m_wait = kFirstWaitMs;
    return false;
  }
  if (lastInput == m_input) return false;  // nothing happened anywhere
  if (!m_missing) {
    m_missing = true;
    m_missingSince = now;
    m_missedInput = lastInput;
    return false;
  }
  // One unseen input alone proves nothing: the system may note an input
  // just after the hooks reported it. Input that goes on unseen does.
  if (lastInput == m_missedInput || now - m_missingSince < m_wait) return false;
  return Attempt(now, reportsSeen, lastInput);
}

bool HookWatchdog::Attempt(uint32_t now, uint32_t reportsSeen, uint32_t lastInput) {
  m_lastAttempt = now;
  m_seen = reportsSeen;
  m_input = lastInput;
  m_missing = false;
  m_wait = m_wait >= kLongestWaitMs / 2 ? kLongestWaitMs : m_wait * 2;
  return true;
}

}  // namespace tallivo
