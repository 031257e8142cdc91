#include "base/counters.h"

#include "base/messages.h"

namespace tallivo {

void InputCounters::Add(InputKind kind, uint32_t n) {
  switch (kind) {
    case InputKind::Left: left += n; break;
    case InputKind::Right: right += n; break;
    case InputKind::Middle: middle += n; break;
    case InputKind::Wheel: wheel += n; break;
    case InputKind::Key: keys += n; break;
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
