// What the hook libraries count as one event, decided without any window:
// a key stroke is a key-down that is not auto-repeat, a wheel step is each
// full notch (120 units) of vertical wheel, fractions carried over.
#pragma once

#include <cstdint>

#include "base/messages.h"

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

// The distance sampling from the mouse hook's own reports, with no timer
// and no read of the cursor: the pointer's place at each tick of 10 ms of
// the reports' clock is the last place reported before that tick. A tick
// without a report since the one before is a still sample and is left
// out: the pointer is where it was. What was sampled waits, with the time
// of its tick, for the window to take it; when the window does not come
// for kKept ticks the newest sample takes the last place, and that step
// still counts whole.
class PointerSampler {
 public:
  static constexpr uint32_t kPeriodMs = 10;
  static constexpr unsigned kKept = 512;
  struct Sample {
    int32_t x, y;
    uint32_t atMs;  // the tick's time
  };
  void Report(int32_t x, int32_t y, uint32_t timeMs);
  // Samples up to nowMs (the tick before it included), oldest first, at
  // most capacity; the rest wait for the next take.
  unsigned Take(uint32_t nowMs, Sample* out, unsigned capacity);

 private:
  void SampleHeld(uint32_t laterMs);
  bool m_held = false;  // a report not sampled yet
  Sample m_last{};      // the latest report
  Sample m_kept[kKept];
  unsigned m_count = 0;
};

// The counted events (clicks, wheel steps, key strokes) waiting on the hook
// thread for the window to take them at its ticks, instead of one posted
// message each: the window thread is not woken for every event. Events
// alike (kind, key code, foreground window) within one second of the
// reports' clock share an entry, so a burst of any length takes one. When
// every entry is in use (the window has not come for a long while), further
// events are kept as counts per kind and key code and taken after the
// entries: nothing counted is lost.
class EventQueue {
 public:
  static constexpr unsigned kEntries = 4096;
  struct Event {
    uint32_t atMs;   // the first one's time (GetTickCount's clock)
    uint16_t kind;   // offset in the input block (messages.h)
    uint16_t code;   // a key stroke's virtual-key code, else 0
    uint32_t count;  // events alike
    uint32_t reserved;
    uint64_t foreground;  // the foreground window then
  };
  // Returns true when the foreground window is another than the event
  // before's (the window wants to know at once: it names the program while
  // the window still exists).
  bool Add(uint32_t atMs, unsigned kind, unsigned code, uint64_t foreground);
  // Oldest first, at most capacity; the rest wait for the next take.
  unsigned Take(Event* out, unsigned capacity);
  bool Empty() const { return m_first == m_count && m_spilled == 0; }

 private:
  Event m_entries[kEntries];
  unsigned m_first = 0, m_count = 0;
  // Beyond the entries: per kind, and per key code for strokes.
  uint32_t m_spill[input_block::kSpan][256] = {};
  uint64_t m_spilled = 0;
  uint32_t m_spillAtMs = 0;
  uint64_t m_foreground = 0;
  bool m_any = false;
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

// Events whose message could not be posted (the target's queue was full:
// Windows holds 10,000 posted messages per queue by default). They are kept
// as counts and posted again later, so a long burst loses nothing. A key
// stroke's message carries its virtual-key code, so strokes are kept per
// code and each goes out again with its own.
class PostBacklog {
 public:
  static constexpr unsigned kKinds = input_block::kSpan;
  static constexpr unsigned kCodes = 256;
  // The first message of one input block (messages.h).
  explicit PostBacklog(unsigned firstMessage) : m_base(firstMessage) {}
  // code: what the message carries in wParam (the key kind's virtual-key
  // code; 0 for the others). A code out of range is kept as 0.
  void Add(unsigned msg, unsigned code = 0);
  bool Empty() const { return m_total == 0; }
  uint64_t Total() const { return m_total; }
  // Posts what is waiting through post(msg, code) until it fails; returns
  // whether everything went out.
  template <typename PostFn>
  bool Flush(PostFn post) {
    for (unsigned i = 0; i < kKinds; ++i) {
      if (i == input_block::kKey) continue;
      while (m_pending[i] > 0) {
        if (!post(m_base + i, 0u)) return false;
        --m_pending[i];
        --m_total;
      }
    }
    for (; m_keysPending > 0; m_firstKeyCode = (m_firstKeyCode + 1) % kCodes) {
      while (m_keyCodes[m_firstKeyCode] > 0) {
        if (!post(m_base + input_block::kKey, m_firstKeyCode)) return false;
        --m_keyCodes[m_firstKeyCode];
        --m_keysPending;
        --m_total;
      }
    }
    m_firstKeyCode = 0;
    return true;
  }

 private:
  unsigned m_base;
  uint64_t m_pending[kKinds] = {};  // the key kind's slot is unused
  uint64_t m_keyCodes[kCodes] = {};
  uint64_t m_keysPending = 0;
  unsigned m_firstKeyCode = 0;  // where the last flush stopped among the codes
  uint64_t m_total = 0;
};

}  // namespace tallivo
