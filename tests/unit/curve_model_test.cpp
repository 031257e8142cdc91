#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "chart/chart_page_model.h"
#include "chart/curve_model.h"

using namespace tallivo;

namespace {

// A model the size of the pages' chart (194 x 63 dialog units at 8 x 16
// pixels per 4 x 8 units), configured like one of the pages.
CurveModel Configured(const ChartPageSettings& s, int width = 388, int height = 126) {
  CurveModel m;
  m.SetSize(width, height);
  m.SetCaption(s.captionPrefix, s.captionSuffix);
  m.SetAxis(s.divisor, {s.labels[0], s.labels[1], s.labels[2], s.labels[3], s.labels[4], s.labels[5]});
  EXPECT_TRUE(m.SetStep(s.step));
  m.SetGridX(s.gridX);
  return m;
}

std::vector<int> Range(int first, int step, int count) {
  std::vector<int> v;
  for (int i = 0; i < count; ++i) v.push_back(first + i * step);
  return v;
}

int BarHeight(int value, uint32_t divisor, int height = 126) { return height - chart::BarTop(height, value, divisor); }

}  // namespace

TEST(CurveGeometry, HourPageAt388x126) {
  const CurveModel m = Configured(kHourPage);
  EXPECT_EQ(m.Count(), 48);
  EXPECT_EQ(m.VerticalGridLines(), Range(0, 13, 30));  // 0, 13, ..., 377
  EXPECT_EQ(m.HorizontalGridLines(), Range(124, -10, 13));  // 124, 114, ..., 4
  const auto labels = m.Labels();
  const struct {
    const char* text;
    ChartPoint at;
  } expected[] = {
      {"当前实时曲线按键次数是:0次/分", {30, 0}},
      {"400", {0, 0}},
      {"200", {0, 63}},
      {"0", {0, 111}},
      {"15", {87, 111}},
      {"30", {190, 111}},
      {"45", {281, 111}},
      {"60", {368, 111}},
  };
  for (size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(labels[i].text, expected[i].text) << i;
    EXPECT_EQ(labels[i].at, expected[i].at) << i;
  }
}

TEST(CurveGeometry, DayPageAt388x126) {
  const CurveModel m = Configured(kDayPage);
  EXPECT_EQ(m.Count(), 22);
  EXPECT_EQ(m.VerticalGridLines(), Range(0, 32, 13));  // 0, 32, ..., 384
  EXPECT_EQ(m.HorizontalGridLines().size(), 13u);
  const auto labels = m.Labels();
  EXPECT_EQ(labels[0].text, "当前实时曲线按键次数是:0次/时");
  EXPECT_EQ(labels[1].text, "1.2W");
  EXPECT_EQ(labels[2].text, "5K");
  EXPECT_EQ(labels[4].text, "6");
  EXPECT_EQ(labels[7].text, "24");
  EXPECT_EQ(labels[7].at, (ChartPoint{368, 111}));
}

TEST(CurveGeometry, ThirdTimeMarkAddsTwoQuotients) {
  // W / 4 + W / 2 is not 3W / 4 when W is not a multiple of 4.
  const auto labels = chart::Labels(390, 100, "", {"a", "b", "c", "d", "e", "f"});
  EXPECT_EQ(labels[6].at, (ChartPoint{97 + 195 - 10, 85}));
  EXPECT_EQ(labels[5].at, (ChartPoint{195 - 4, 85}));
  EXPECT_EQ(labels[2].at, (ChartPoint{0, 50}));
}

TEST(CurveGeometry, BarHeights) {
  const struct {
    int value;
    uint32_t divisor;
    int height;
  } cases[] = {
      {0, 4, 0}, {1, 4, 1}, {4, 4, 1}, {5, 4, 2}, {37, 4, 10}, {40, 4, 10}, {41, 4, 11},
      {1, 100, 1}, {50, 100, 1}, {99, 100, 1}, {100, 100, 1}, {101, 100, 2}, {12000, 100, 120},
  };
  for (const auto& c : cases) EXPECT_EQ(BarHeight(c.value, c.divisor), c.height) << c.value << "/" << c.divisor;
  // Every value from above 0 up to 100 is one pixel on the day page.
  for (int v = 1; v <= 100; ++v) EXPECT_EQ(BarHeight(v, 100), 1) << v;
}

TEST(CurveGeometry, TallBarsReachTheTopEdgeThenAreCut) {
  // H x divisor fills the bar to row 0; up to (H + 1) x divisor the top is
  // truncated toward zero and looks the same; beyond it the marker lies
  // above the client area.
  EXPECT_EQ(chart::BarTop(126, 126 * 4, 4), 0);
  EXPECT_EQ(chart::BarTop(126, 127 * 4 - 1, 4), 0);
  EXPECT_EQ(chart::BarTop(126, 127 * 4, 4), -1);
  EXPECT_EQ(chart::BarTop(126, 1e9f, 4), -1);
  EXPECT_EQ(chart::BarTop(126, 4294967296.0f, 1), -1);
}

TEST(CurveGeometry, BarTopWithoutDivisorOrCount) {
  // Before the page sets the divisor: scaled as 1 instead of dividing by 0.
  EXPECT_EQ(chart::BarTop(126, 7, 0), 119);
  // Values that are not counts draw nothing.
  EXPECT_EQ(chart::BarTop(126, -5.0f, 4), 126);
  EXPECT_EQ(chart::BarTop(126, std::numeric_limits<float>::quiet_NaN(), 4), 126);
}

TEST(CurveGeometry, BarRectanglesMarkersAndBrushOrigins) {
  CurveModel m = Configured(kHourPage);
  m.AddPoint(40);  // slot 1 after the next point
  m.AddPoint(8);
  const auto bars = m.Bars({0, 0, 388, 126});
  ASSERT_EQ(bars.size(), 48u);
  EXPECT_EQ(bars[0].rect, (ChartRect{0, 124, 8, 126}));
  EXPECT_EQ(bars[0].marker, (ChartPoint{0, 124}));
  EXPECT_EQ(bars[0].brushOrg, (ChartPoint{0, 126}));
  EXPECT_EQ(bars[1].rect, (ChartRect{8, 116, 16, 126}));
  EXPECT_EQ(bars[1].marker, (ChartPoint{8, 116}));
  EXPECT_EQ(bars[1].brushOrg, (ChartPoint{8, 126}));
  // An empty slot: no rectangle, its marker on the row below the client.
  EXPECT_EQ(bars[47].rect, (ChartRect{376, 126, 384, 126}));
  EXPECT_EQ(bars[47].marker, (ChartPoint{376, 126}));
}

TEST(CurveGeometry, WidthNotAMultipleOfTheStepLeavesAStripWithoutBars) {
  CurveModel m;
  m.SetSize(390, 126);
  ASSERT_TRUE(m.SetStep(8));
  EXPECT_EQ(m.Count(), 48);
  const auto bars = m.Bars({0, 0, 390, 126});
  EXPECT_EQ(bars.back().rect.right, 384);  // the rightmost 6 px carry no bar
}

TEST(CurveGeometry, GradientGreenAtTheTopRedAtTheBottom) {
  EXPECT_EQ(chart::GradientColour(0, 126), (ChartRgb{0, 255, 64}));
  EXPECT_EQ(chart::GradientColour(63, 126), (ChartRgb{127, 127, 64}));
  // 125 * 255 / 126 = 252.98: red 252, green trunc(2.02) = 2.
  EXPECT_EQ(chart::GradientColour(125, 126), (ChartRgb{252, 2, 64}));
  EXPECT_EQ(chart::GradientColour(0, 0), (ChartRgb{0, 255, 64}));
}

TEST(CurveSamples, NewestFirstAndTheOldestFallsOffAfterNPlusOnePoints) {
  CurveModel m;
  m.SetSize(40, 20);
  ASSERT_TRUE(m.SetStep(8));
  ASSERT_EQ(m.Count(), 5);
  EXPECT_EQ(m.Samples(), std::vector<float>(5, 0.0f));
  for (int v = 1; v <= 6; ++v) m.AddPoint(static_cast<float>(v));
  EXPECT_EQ(m.Samples(), (std::vector<float>{6, 5, 4, 3, 2}));
  EXPECT_EQ(m.CurrentValue(), 6.0f);
}

TEST(CurveSamples, OneSampleIsReplacedEachTime) {
  CurveModel m;
  m.SetSize(10, 20);
  ASSERT_TRUE(m.SetStep(8));
  ASSERT_EQ(m.Count(), 1);
  m.AddPoint(3);
  m.AddPoint(9);
  EXPECT_EQ(m.Samples(), (std::vector<float>{9}));
}

TEST(CurveSamples, NarrowerThanOneStepHasNoBarsButACaption) {
  CurveModel m;
  m.SetSize(7, 126);
  m.SetCaption("c:", "x");
  EXPECT_TRUE(m.SetStep(8));
  EXPECT_EQ(m.Count(), 0);
  m.AddPoint(12);
  EXPECT_TRUE(m.Bars({0, 0, 7, 126}).empty());
  EXPECT_EQ(m.Caption(), "c:12x");
  EXPECT_EQ(m.VerticalGridLines(), (std::vector<int>{0}));
}

TEST(CurveSamples, BadStepAndGridSpacing) {
  CurveModel m;
  m.SetSize(388, 126);
  ASSERT_TRUE(m.SetStep(8));
  EXPECT_FALSE(m.SetStep(0));
  EXPECT_EQ(m.Count(), 0);
  EXPECT_FALSE(m.SetStep(-3));
  m.AddPoint(5);  // no buffer: only the caption value changes
  EXPECT_EQ(m.CurrentValue(), 5.0f);
  m.SetGridX(13);
  m.SetGridX(0);
  EXPECT_EQ(m.GridX(), 13);
  EXPECT_TRUE(chart::VerticalGridLines(388, 0).empty());
}

TEST(CurveText, CaptionTruncatesTowardZero) {
  const std::string prefix = kHourPage.captionPrefix;
  EXPECT_EQ(chart::CaptionText(prefix, 37.9f, "次/分"), "当前实时曲线按键次数是:37次/分");
  EXPECT_EQ(chart::CaptionText(prefix, 0.0f, "次/时"), "当前实时曲线按键次数是:0次/时");
  // The largest fall a 32-bit total can make still shows as a count.
  EXPECT_EQ(chart::CaptionText("", 4294967295.0f, ""), "4294967296");
  EXPECT_EQ(chart::CaptionText("", 3.0e9f, ""), "3000000000");
  EXPECT_EQ(chart::CaptionText("", std::numeric_limits<float>::infinity(), ""), "0");
}

TEST(CurveText, TextsAreCutTo260BytesWithoutSplittingACharacter) {
  EXPECT_EQ(chart::FitText(std::string(260, 'a')), std::string(260, 'a'));
  EXPECT_EQ(chart::FitText(std::string(300, 'a')), std::string(260, 'a'));
  // 259 single bytes, then "次" (two bytes in GBK): the character does not fit.
  const std::string gbk = std::string(259, 'a') + "次";
  ASSERT_EQ(gbk.size(), 261u);
  EXPECT_EQ(chart::FitText(gbk), std::string(259, 'a'));
  // Only double-byte characters: 130 of them fill the 260 bytes exactly.
  std::string wide;
  for (int i = 0; i < 140; ++i) wide += "次";
  EXPECT_EQ(chart::FitText(wide).size(), 260u);

  CurveModel m;
  m.SetCaption(std::string(300, 'p'), std::string(270, 's'));
  m.SetAxis(4, {std::string(261, 'l'), "", "", "", "", ""});
  EXPECT_EQ(m.Caption(), std::string(260, 'p') + "0" + std::string(260, 's'));
  EXPECT_EQ(m.AxisLabels()[0].size(), 260u);
}
