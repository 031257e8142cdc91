// When the cursor sampling may rest. Each 10 ms sample is a wake-up of the
// program, and while the pointer lies still every one of them finds
// nothing; after a run of such samples the sampling stops, and the hook
// library says when the pointer moves again.
#pragma once

namespace tallivo {

class SamplingRest {
 public:
  // Two seconds at the 10 ms sampling period: a hand that pauses between
  // strokes keeps the sampling, and with it the exact 10 ms rhythm, going.
  static constexpr unsigned kStillSamples = 200;

  // After one sample, whether it found the pointer moved. True: stop
  // sampling now and wait for the word that the pointer moves.
  bool AfterSample(bool moved);
  // The pointer moves (or was found elsewhere). True when sampling was
  // resting and has to start again.
  bool Wake();
  bool Resting() const { return m_resting; }
  // Asked once a second: whether to look where the pointer is now. The hook
  // library tells of every move it sees; a pointer moved without input (a
  // program that places it) is looked for only every kLookSeconds of rest,
  // as each look costs as much as a second of rest otherwise does.
  static constexpr unsigned kLookSeconds = 5;
  bool LookDue();

 private:
  unsigned m_still = 0;
  bool m_resting = false;
  unsigned m_secondsSinceLook = 0;
};

}  // namespace tallivo
