#include "tools/idle_shutdown.h"

#include "base/text_format.h"

namespace tallivo {

const char kIdleOffMessage[] = "成功关闭空等待关机";
const char kIdleOffLabel[] = "空等待关机:关闭";

uint32_t IdleMinutes(uint32_t nowTick, uint32_t lastInputTick) {
  const uint32_t idleMs = nowTick - lastInputTick;
  return idleMs / 1000u / 60u;
}

bool IdleShutdownDue(uint32_t limitMinutes, uint32_t nowTick, uint32_t lastInputTick) {
  if (limitMinutes < kIdleMinMinutes) return false;
  return IdleMinutes(nowTick, lastInputTick) >= limitMinutes;
}

bool IdleLimitAccepted(uint32_t minutes) { return minutes >= kIdleMinMinutes && minutes <= kIdleMaxMinutes; }

std::string IdleOnMessage(uint32_t minutes) {
  return FormatText("成功开启空等待关机,键鼠空等待%u分钟后自动关机！", static_cast<unsigned>(minutes));
}

std::string IdleOnLabel(uint32_t minutes) { return FormatText("等待关机:开启%u分钟", static_cast<unsigned>(minutes)); }

}  // namespace tallivo
