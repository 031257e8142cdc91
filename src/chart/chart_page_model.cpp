#include "chart/chart_page_model.h"

#include <cmath>

#include "res/resource.h"

namespace tallivo {

namespace {
constexpr char kCaptionPrefix[] = "当前实时曲线按键次数是:";
}

const ChartPageSettings kHourPage = {
    IDD_PAGE_HOUR, "1小时以内", kCaptionPrefix, "次/分", 4, {"400", "200", "15", "30", "45", "60"}, 8, 13, 60000,
};

const ChartPageSettings kDayPage = {
    IDD_PAGE_DAY, "1天以内", kCaptionPrefix, "次/时", 100, {"1.2W", "5K", "6", "12", "18", "24"}, 17, 32, 3600000,
};

float TotalForChart(uint32_t grandTotal) { return static_cast<float>(grandTotal); }

float RateSampler::Tick() {
  const float sample = std::fabs(m_current - m_previous);
  m_previous = m_current;
  return sample;
}

}  // namespace tallivo
