#include "stats/counters.h"

#include "main/messages.h"

namespace tallivo {

void InputCounters::Add(InputKind kind) {
  switch (kind) {
    case InputKind::Left: ++left; break;
    case InputKind::Right: ++right; break;
    case InputKind::Middle: ++middle; break;
    case InputKind::Wheel: ++wheel; break;
    case InputKind::Key: ++keys; break;
  }
}

uint32_t InputCounters::TotalClicks() const {
  return left + right + middle + wheel;
}

uint32_t InputCounters::GrandTotal() const {
  return left + right + middle + wheel + keys;
}

namespace {
bool KindFromBase(unsigned msg, unsigned base, InputKind* kind) {
  // The five messages share a layout: +0 left, +1 right, +2 middle, +3 wheel,
  // +5 key (+4 is the tray callback in the global block, unused in the other).
  switch (msg - base) {
    case 0: *kind = InputKind::Left; return true;
    case 1: *kind = InputKind::Right; return true;
    case 2: *kind = InputKind::Middle; return true;
    case 3: *kind = InputKind::Wheel; return true;
    case 5: *kind = InputKind::Key; return true;
    default: return false;
  }
}
}  // namespace

bool InputKindForMessage(unsigned msg, InputKind* kind) {
  return KindFromBase(msg, WM_INPUT_LBUTTON, kind);
}

bool ProcessInputKindForMessage(unsigned msg, InputKind* kind) {
  return KindFromBase(msg, WM_PROC_LBUTTON, kind);
}

}  // namespace tallivo
