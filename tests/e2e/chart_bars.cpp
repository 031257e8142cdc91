#include "chart_bars.h"

#include "harness.h"

namespace e2e {

testing::AssertionResult ChartBarsAre(HWND chart, int step, const std::vector<int>& want) {
  std::vector<int> seen;
  const bool ok = WaitUntil(
      [&] {
        RECT rc;
        GetClientRect(chart, &rc);
        MapWindowPoints(chart, nullptr, reinterpret_cast<POINT*>(&rc), 2);
        HDC screen = GetDC(nullptr);
        seen.assign(want.size(), 0);
        for (size_t i = 0; i < seen.size(); ++i)
          while (rc.bottom - 1 - seen[i] >= rc.top &&
                 GetPixel(screen, rc.left + static_cast<int>(i + 1) * step - 1, rc.bottom - 1 - seen[i]) == 0)
            ++seen[i];
        ReleaseDC(nullptr, screen);
        return seen == want;
      },
      3000);
  testing::AssertionResult result = ok ? testing::AssertionSuccess() : testing::AssertionFailure() << "bars seen:";
  for (int h : seen) result << ' ' << h;
  return result;
}

}  // namespace e2e
