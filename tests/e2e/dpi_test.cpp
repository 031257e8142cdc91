// The program at 150 %: the group runs with the prefix's screen at 144 DPI (scripts/at-dpi). What Tallivo draws and
// sizes itself is 1.5 times its 96-DPI size, the pointer's travel is counted in screen pixels, and a change to
// 96 DPI (Wine sends none: the test does) brings every part of it back to its 96-DPI size.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>

#include "harness.h"
#include "history_window/history_view_geometry.h"
#include "history_harness.h"
#include "res/resource.h"

namespace e2e {
namespace {

using tallivo::PixelRect;

HWND ShownChild(HWND parent, int id) {
  for (HWND w : ChildWindows(parent))
    if (GetDlgCtrlID(w) == id && IsWindowVisible(w)) return w;
  return nullptr;
}

// The box around the chart's cyan text in its top quarter: the top figure and the caption.
SIZE CaptionBox(HWND chart) {
  RECT rc;
  GetClientRect(chart, &rc);
  POINT at = {0, 0};
  ClientToScreen(chart, &at);
  HDC screen = GetDC(nullptr);
  RECT box = {rc.right, rc.bottom, -1, -1};
  for (int y = 0; y < rc.bottom / 4; ++y) {
    for (int x = 0; x < rc.right; ++x) {
      const COLORREF c = GetPixel(screen, at.x + x, at.y + y);
      if (GetRValue(c) > 100 || GetGValue(c) < 150 || GetBValue(c) < 150) continue;
      box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
             std::max<LONG>(box.bottom, y + 1)};
    }
  }
  ReleaseDC(nullptr, screen);
  return {box.right - box.left, box.bottom - box.top};
}

// What the main window draws and sizes itself, once brought to the front: the chart's and the banner's client sizes
// ("WxH WxH") and the box of the chart's caption.
struct MainDrawing {
  std::string sizes;
  SIZE caption;
};
MainDrawing Measure(const App& app) {
  BringToFront(app.Main());
  HWND chart = ShownChild(app.Main(), IDC_CHART);
  Pump(1500);  // a chart tick and its paint
  RECT c, b;
  GetClientRect(chart, &c);
  GetClientRect(GetDlgItem(app.Main(), IDC_BANNER), &b);
  char sizes[64];
  snprintf(sizes, sizeof sizes, "%ldx%ld %ldx%ld", c.right, c.bottom, b.right, b.bottom);
  return {sizes, CaptionBox(chart)};
}

// The history window shrunk as far as it lets itself be, and the width of its days list's first column, as "WxH C".
std::string Smallest(HWND window) {
  SetWindowPos(window, nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOMOVE);
  const RECT r = WindowRect(window);
  const LRESULT column = SendMessageW(GetDlgItem(window, IDC_HIST_DAYS), LVM_GETCOLUMNWIDTH, 0, 0);
  return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) + " " + std::to_string(column);
}

// The hour map's legend drawn at the layout of that DPI: its colours up to its right end, the view's white after it.
testing::AssertionResult LegendAt(HWND view, int dpi) {
  COLORREF inside = 0, after = 0;
  const bool ok = WaitUntil([&] {
    RECT rc;
    GetClientRect(view, &rc);
    const PixelRect bar = tallivo::history::LayoutHeatMap(rc.right, rc.bottom, dpi).legend;
    const int y = (bar.top + bar.bottom) / 2;
    inside = PixelAt(view, {bar.right - 2, y});
    after = PixelAt(view, {bar.right + 2, y});
    return inside != RGB(255, 255, 255) && after == RGB(255, 255, 255);
  });
  return ok ? testing::AssertionSuccess() : testing::AssertionFailure() << std::hex << inside << " then " << after;
}

}  // namespace

TEST(HighDpi, EverythingTallivoDrawsIsOneAndAHalfTimesItsSizeAndBackAfterAChangeTo96) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  ASSERT_EQ(dpi, 144) << "the group runs with the screen at 150 %";
  ResetProfile();
  ClearHistory();
  App app;
  ASSERT_TRUE(MoveCursor(500, 300) && app.Start());

  // The template at 150 % is taller than the 768 pixels of the screen: the window opens within the work area.
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT wr = WindowRect(app.Main());
  EXPECT_TRUE(wr.left >= work.left && wr.top >= work.top && wr.right <= work.right && wr.bottom <= work.bottom)
      << wr.left << "," << wr.top << " " << wr.right << "," << wr.bottom;

  // The pointer's travel in screen pixels.
  app.ExpectSixteenJumps();

  // The chart, its figures and caption, and the banner at 1.5 times; after a change to 96 DPI at their own size. Text
  // is not drawn to the pixel at every size: the caption's box a tenth either way.
  const MainDrawing big = Measure(app);
  SendMessageW(app.Main(), WM_DPICHANGED, MAKEWPARAM(96, 96), 0);
  const MainDrawing normal = Measure(app);
  EXPECT_EQ(big.sizes, "582x189 576x102");
  EXPECT_EQ(normal.sizes, "388x126 384x68");
  for (auto [large, own] : {std::pair{big.caption.cx, normal.caption.cx}, {big.caption.cy, normal.caption.cy}}) {
    EXPECT_TRUE(own > 5 && large * 10 >= own * 14 && large * 10 <= own * 16) << large << " vs " << own;
  }

  // The history window: its smallest size, a column and the hour map's legend at 1.5 times, then after a change to 96.
  HWND history = OpenHistoryWindow(app);
  ASSERT_TRUE(history);
  HWND map = GetDlgItem(history, IDC_HIST_HEATMAP);
  SendMessageW(GetDlgItem(history, IDC_HIST_TAB), TCM_SETCURFOCUS, 1, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(map) != FALSE; }));
  for (auto [dpi, smallest] : {std::pair{144, "960x720 144"}, {96, "640x480 96"}}) {
    if (dpi == 96) SendMessageW(history, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
    EXPECT_EQ(Smallest(history), smallest);
    BringToFront(history);
    EXPECT_TRUE(LegendAt(map, dpi)) << dpi;
  }
  EXPECT_TRUE(app.Quit());
}

}  // namespace e2e
