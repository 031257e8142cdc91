#include "base/counters.h"

#include "base/messages.h"

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

uint32_t InputCounters::TotalClicks() const { return left + right + middle + wheel; }

uint32_t InputCounters::GrandTotal() const { return left + right + middle + wheel + keys; }

namespace {
bool KindFromBlock(unsigned msg, unsigned first, InputKind* kind) {
  switch (msg - first) {
    case input_block::kLeft: *kind = InputKind::Left; return true;
    case input_block::kRight: *kind = InputKind::Right; return true;
    case input_block::kMiddle: *kind = InputKind::Middle; return true;
    case input_block::kWheel: *kind = InputKind::Wheel; return true;
    case input_block::kKey: *kind = InputKind::Key; return true;
    default: return false;
  }
}
}  // namespace

bool InputKindForMessage(unsigned msg, InputKind* kind) { return KindFromBlock(msg, kGlobalInputFirst, kind); }

bool ProcessInputKindForMessage(unsigned msg, InputKind* kind) { return KindFromBlock(msg, kProcessInputFirst, kind); }

}  // namespace tallivo
