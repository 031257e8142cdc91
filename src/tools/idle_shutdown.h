// Idle auto-shutdown: the limits, the once-a-second idle check and the texts
// the main window shows when the feature is switched on or off.
#pragma once

#include <cstdint>
#include <string>

namespace tallivo {

constexpr uint32_t kIdleMinMinutes = 10;
constexpr uint32_t kIdleMaxMinutes = 5000;

// Whole idle minutes between the last input and now, both 32-bit
// millisecond tick counts; unsigned arithmetic makes a wrap of the counter
// in between harmless.
uint32_t IdleMinutes(uint32_t nowTick, uint32_t lastInputTick);

// True when the shutdown is to be requested on this tick: the limit is a
// valid one (at least 10 minutes) and the idle minutes have reached it.
bool IdleShutdownDue(uint32_t limitMinutes, uint32_t nowTick, uint32_t lastInputTick);

// The limit the dialog accepts, bounds included.
bool IdleLimitAccepted(uint32_t minutes);

// "成功开启空等待关机,键鼠空等待%u分钟后自动关机！"
std::string IdleOnMessage(uint32_t minutes);
// Label 1012 while on: "等待关机:开启%u分钟".
std::string IdleOnLabel(uint32_t minutes);
extern const char kIdleOffMessage[];
extern const char kIdleOffLabel[];

}  // namespace tallivo
