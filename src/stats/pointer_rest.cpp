#include "stats/pointer_rest.h"

namespace tallivo {

bool SamplingRest::AfterSample(bool moved) {
  if (m_resting) return false;
  m_still = moved ? 0 : m_still + 1;
  if (m_still < kStillSamples) return false;
  m_resting = true;
  m_still = 0;
  m_secondsSinceLook = 0;
  return true;
}

bool SamplingRest::Wake() {
  if (!m_resting) return false;
  m_resting = false;
  m_still = 0;
  return true;
}

bool SamplingRest::LookDue() {
  if (!m_resting) return false;
  if (++m_secondsSinceLook < kLookSeconds) return false;
  m_secondsSinceLook = 0;
  return true;
}

}  // namespace tallivo
