// The day's input counters. Plain unsigned 32-bit integers that wrap silently.
#pragma once

#include <cstdint>

namespace tallivo {

enum class InputKind { Left, Right, Middle, Wheel, Key };

struct InputCounters {
  uint32_t left = 0;
  uint32_t right = 0;
  uint32_t middle = 0;
  uint32_t wheel = 0;
  uint32_t keys = 0;

  void Add(InputKind kind, uint32_t n = 1);
  // left + right + middle + wheel: what the window calls "clicks".
  uint32_t TotalClicks() const;
  // All five counters; the figure the charts and the per-process share use.
  uint32_t GrandTotal() const;
  void Clear() { *this = InputCounters{}; }
  bool operator==(const InputCounters&) const = default;
};

// Maps a private input message (WM_INPUT_* or WM_PROC_*) to its counter.
// Returns false for any other message number.
bool InputKindForMessage(unsigned msg, InputKind* kind);
bool ProcessInputKindForMessage(unsigned msg, InputKind* kind);

}  // namespace tallivo
