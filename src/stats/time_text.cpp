#include "stats/time_text.h"

#include "base/text_format.h"

namespace tallivo {

std::string RunTimeText(uint32_t s) {
  return FormatText("软件已运行:%u时%u分%u秒", static_cast<unsigned>(s / 3600), static_cast<unsigned>((s / 60) % 60),
                    static_cast<unsigned>(s % 60));
}

std::string ClockText(const std::tm& local) {
  char buf[96];
  size_t n = std::strftime(buf, sizeof buf, "当前:%Y年%m月%d日 %H:%M:%S", &local);
  return std::string(buf, n);
}

std::string UptimeText(uint64_t tickMs) {
  const uint64_t s = tickMs / 1000;
  // Days fit an unsigned for eleven million years.
  const unsigned days = static_cast<unsigned>(s / 86400), hours = static_cast<unsigned>((s / 3600) % 24),
                 minutes = static_cast<unsigned>((s / 60) % 60), seconds = static_cast<unsigned>(s % 60);
  if (days) return FormatText("系统已开机:%u天%u小时%u分%u秒", days, hours, minutes, seconds);
  return FormatText("系统已开机:%u小时%u分%u秒", hours, minutes, seconds);
}

std::string LapsText(float metres) {
  const float laps = metres * 0.0025f;
  return FormatText("今天你围着鸟巢奔跑了%.2f圈~~", static_cast<double>(laps));
}

const char* MilestoneText(uint32_t totalClicks) {
  static const struct {
    uint32_t upTo;
    const char* text;
  } kTable[] = {
      {99, "你当前没有点击死任何动物!"},      {500, "当前你已经点击死一条蚯蚓！"},
      {5000, "当前你已经点击死一只老鼠！"},   {10000, "当前你已经点击死一只猫！"},
      {20000, "当前你已经点击死一只狼！"},    {50000, "当前你已经点击死一只老虎！"},
      {150000, "当前你已经点击死一头大象！"},
  };
  for (const auto& row : kTable) {
    if (totalClicks <= row.upTo) return row.text;
  }
  return "已经没有动物可以阻止你点击了~~";
}

}  // namespace tallivo
