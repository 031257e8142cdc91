// Run time, clock and uptime labels; the laps and milestone lines of the
// status bar.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace tallivo {

// "软件已运行:%u时%u分%u秒"; hours are not wrapped at 24.
std::string RunTimeText(uint32_t runSeconds);
// "当前:%Y年%m月%d日 %H:%M:%S" for the given local time.
std::string ClockText(const std::tm& local);
// From the 64-bit millisecond tick count (the 32-bit one wraps after 49.7
// days): "系统已开机:%u小时%u分%u秒", or with a day count once a day has passed.
std::string UptimeText(uint64_t tickMs);
// "今天你围着鸟巢奔跑了%.2f圈~~", one lap per 400 m.
std::string LapsText(float metres);
// The animal the user has clicked to death, by total clicks.
const char* MilestoneText(uint32_t totalClicks);

}  // namespace tallivo
