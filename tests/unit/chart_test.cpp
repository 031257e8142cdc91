// The activity charts without windows: geometry, samples, texts, tabs and the rate a page plots per tick.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "chart/chart_page_model.h"
#include "chart/curve_model.h"
#include "chart/tab_pages.h"

using namespace tallivo;

namespace {

CurveModel Configured(const ChartPageSettings& s) {
  CurveModel m;
  m.SetSize(388, 126);
  m.SetCaption(s.captionPrefix, s.captionSuffix);
  m.SetAxis(s.divisor, {s.labels[0], s.labels[1], s.labels[2], s.labels[3], s.labels[4], s.labels[5]});
  EXPECT_TRUE(m.SetStep(s.step));
  m.SetGridX(s.gridX);
  return m;
}

}  // namespace

// Grid lines every 13 px from the left edge (32 on the day page), every 10 px from 2 px above the bottom; the caption,
// the value axis and the time marks where the pages show them; the bars, their markers, brush and gradient.
TEST(CurveGeometry, PagesAt388x126AndBarHeights) {
  CurveModel hour = Configured(kHourPage);
  EXPECT_EQ(std::tuple(hour.Count(), hour.VerticalGridLines().size(), hour.VerticalGridLines().back()),
            std::tuple(48, 30u, 377));
  EXPECT_EQ(hour.HorizontalGridLines(), (std::vector<int>{124, 114, 104, 94, 84, 74, 64, 54, 44, 34, 24, 14, 4}));
  const auto got = hour.Labels();
  EXPECT_EQ(std::tie(got[0].text, got[0].at.x, got[0].at.y), std::tuple("当前实时曲线按键次数是:0次/分", 30, 0));
  const std::tuple<const char*, int, int> labels[] = {{"400", 0, 0},   {"200", 0, 63},   {"0", 0, 111},
                                                      {"15", 87, 111}, {"30", 190, 111}, {"45", 281, 111},
                                                      {"60", 368, 111}};
  for (size_t i = 1; i < got.size(); ++i) EXPECT_EQ(std::tie(got[i].text, got[i].at.x, got[i].at.y), labels[i - 1]);
  const CurveModel day = Configured(kDayPage);
  EXPECT_EQ(std::tuple(day.Count(), day.VerticalGridLines().size()), std::tuple(22, 13u));
  EXPECT_EQ(day.Labels()[1].text, "1.2W");
  // W / 4 + W / 2 is not 3W / 4 when W is not a multiple of 4.
  EXPECT_EQ(chart::Labels(390, 100, "", {"a", "b", "c", "d", "e", "f"})[6].at, (ChartPoint{97 + 195 - 10, 85}));
  hour.AddPoint(40);
  hour.AddPoint(8);
  const auto bars = hour.Bars({0, 0, 388, 126});
  ASSERT_EQ(bars.size(), 48u);
  EXPECT_EQ(std::tuple(bars[1].rect, bars[1].marker, bars[1].brushOrg),
            std::tuple(ChartRect{8, 116, 16, 126}, ChartPoint{8, 116}, ChartPoint{8, 126}));
  EXPECT_EQ(std::tuple(chart::GradientColour(0, 126), chart::GradientColour(125, 126), chart::GradientColour(0, 0)),
            std::tuple(ChartRgb{0, 255, 64}, ChartRgb{252, 2, 64}, ChartRgb{0, 255, 64}));
}

// At 144 DPI every pixel length is 1.5 times its 96-DPI one (rounded as MulDiv); back at 96 DPI the samples stay.
TEST(CurveGeometry, HourAndDayPageAt144Dpi) {
  CurveModel hour = Configured(kHourPage);
  hour.AddPoint(41);
  hour.AddPoint(40);
  hour.SetDpi(144, 582, 189);
  EXPECT_EQ(std::tuple(hour.Count(), hour.VerticalGridLines().size(), hour.VerticalGridLines().back()),
            std::tuple(48, 30u, 580));
  const auto got = hour.Labels();
  const ChartPoint at[] = {{45, 0}, {0, 0}, {0, 94}, {0, 166}, {130, 166}, {285, 166}, {421, 166}, {552, 166}};
  for (size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i].at, at[i]) << i;
  const auto bars = hour.Bars({0, 0, 582, 189});
  EXPECT_EQ(std::tuple(bars[0].rect, bars[1].rect), std::tuple(ChartRect{0, 174, 12, 189}, ChartRect{12, 173, 24, 189}));
  hour.SetDpi(96, 388, 126);
  EXPECT_EQ(std::tuple(hour.Count(), hour.Bars({0, 0, 388, 126})[1].rect), std::tuple(48, ChartRect{8, 115, 16, 126}));
}

// A spacing below 1 or a negative size: no bars and no lines. Lines start
// at the left edge and 2 px above the bottom, also for a size of 0.
TEST(CurveGeometry, SpacingsAndSizesAtTheirLimits) {
  using V = std::vector<int>;
  const std::tuple<int, int, int, V, V> cases[] = {{1, 3, 3, {0, 1, 2, 3}, {1, 0, -1, -2}},
                                                   {1, 1, 1, {0, 1}, {-1, -2}},
                                                   {10, 0, 0, {0}, {-2}},
                                                   {0, 5, 0, {}, {}},
                                                   {2, -8, 0, {}, {}},
                                                   {10, -5, 0, {}, {}}};
  for (const auto& [spacing, size, bars, xs, ys] : cases) {
    EXPECT_EQ(std::tie(bars, xs, ys), std::make_tuple(chart::SampleCount(size, spacing),
                                                      chart::VerticalGridLines(size, spacing),
                                                      chart::HorizontalGridLines(size, spacing)))
        << spacing << " in " << size;
  }
}

// A bar is ceil(value / divisor) px tall, cut one row above the client;
// no divisor yet scales as 1; what is not a count draws nothing.
TEST(CurveGeometry, BarHeightsAndTheirLimits) {
  const std::tuple<float, uint32_t, int> cases[] = {
      {0, 4, 126},         {1, 4, 125},      {4, 4, 125},
      {5, 4, 124},         {37, 4, 116},     {41, 4, 115},
      {1, 100, 125},       {101, 100, 124},  {126 * 4, 4, 0},
      {127 * 4 - 1, 4, 0}, {127 * 4, 4, -1}, {4294967296.0f, 1, -1},
      {7, 0, 119},         {-5, 4, 126},     {std::numeric_limits<float>::quiet_NaN(), 4, 126},
      {10100, kDayPage.divisor, 25}};
  for (const auto& [value, divisor, top] : cases)
    EXPECT_EQ(chart::BarTop(126, value, divisor), top) << value << "/" << divisor;
}

TEST(CurveSamples, BufferSizesBadSettingsAndTexts) {
  CurveModel m;
  m.SetSize(40, 20);
  ASSERT_TRUE(m.SetStep(8));
  for (int v = 1; v <= 6; ++v) m.AddPoint(static_cast<float>(v));
  EXPECT_EQ(m.Samples(), (std::vector<float>{6, 5, 4, 3, 2}));  // newest first, the oldest fell off
  for (int bad : {0, -3}) {
    EXPECT_FALSE(m.SetStep(bad));
    EXPECT_EQ(m.Count(), 0) << "a refused step leaves no bars, " << bad;
    ASSERT_TRUE(m.SetStep(8));
  }
  EXPECT_TRUE(m.SetStep(1) && m.Count() == 40);
  m.SetSize(1, -5);  // a negative size is none
  EXPECT_EQ(std::pair(m.Width(), m.Height()), std::pair(1, 0));
  m.SetSize(-5, 1);
  EXPECT_EQ(std::pair(m.Width(), m.Height()), std::pair(0, 1));
  m.SetSize(7, 126);  // narrower than one step: no bars, but a caption
  m.SetCaption("c:", "x");
  EXPECT_TRUE(m.SetStep(8));
  m.AddPoint(12);
  EXPECT_TRUE(m.Bars({0, 0, 7, 126}).empty());
  EXPECT_EQ(m.Caption(), "c:12x");
  m.SetGridX(1);
  m.SetGridX(0);
  EXPECT_EQ(m.GridX(), 1);
  EXPECT_EQ(chart::CaptionText("p:", 37.9f, "次/分"), "p:37次/分");
  EXPECT_EQ(chart::CaptionText("", 4294967295.0f, ""), "4294967296");
  EXPECT_EQ(chart::CaptionText("", std::numeric_limits<float>::infinity(), ""), "0");
  EXPECT_EQ(chart::CaptionText("", 1e19f, "") + chart::CaptionText("", -1e19f, ""),
            "9000000000000000000-9000000000000000000");
  // "次" is three bytes in UTF-8: after 257 single bytes it fits, after 258 it does not.
  EXPECT_EQ(chart::FitText(std::string(257, 'a') + "次"), std::string(257, 'a') + "次");
  EXPECT_EQ(chart::FitText(std::string(258, 'a') + "次"), std::string(258, 'a'));
  m.SetCaption(std::string(300, 'p'), std::string(270, 's'));
  m.AddPoint(0);
  EXPECT_EQ(m.Caption(), std::string(260, 'p') + "0" + std::string(260, 's'));
}

TEST(TabPages, LayoutLimitAndSelection) {
  EXPECT_EQ(PageArea({0, 0, 380, 145}, {2, 2, 70, 20}), (PagePlacement{2, 21, 376, 122}));
  EXPECT_EQ(PageArea({0, 0, 3, 10}, {2, 2, 70, 20}), (PagePlacement{2, 21, 0, 0}));  // never negative
  TabPageTable t;
  TabPageTable::Switch sw{-1, -1};
  EXPECT_FALSE(t.Select(0, &sw));  // no pages at all
  for (int i = 0; i < 10; ++i) EXPECT_TRUE(t.Add("p" + std::to_string(i), 200 + i));
  EXPECT_FALSE(t.Add("eleventh", 999));
  EXPECT_EQ(t.Count(), 10);
  for (int focused : {0, -1, 10}) EXPECT_FALSE(t.Select(focused, &sw)) << "on show already, or no page: " << focused;
  EXPECT_TRUE(t.Select(9, &sw));
  EXPECT_EQ(std::tuple(sw.hide, sw.show, t.Current()), std::tuple(0, 9, 9));
  EXPECT_TRUE(t.Select(0, &sw) && sw.show == 0) << "the first page again";
  EXPECT_EQ(std::make_tuple(t.Title(9), t.TemplateId(9)), std::make_tuple(std::string("p9"), 209u));
}

// Seeded with the totals restored at start, which are not plotted; a fall (the counters cleared) is plotted as its
// size; a new day keeps the events before midnight and plots no drop.
TEST(ChartPages, EachTickPlotsTheEventsSinceThePreviousOne) {
  EXPECT_EQ(std::pair(kHourPage.periodMs, kDayPage.periodMs), std::pair(60000u, 3600000u));  // a bar a minute, an hour
  // The total at the last tick, the last feed before midnight (it may lag the counters), the counters when the day
  // ended (0: no new day), the total fed then, and what the next tick plots. Large totals stay exact.
  const std::tuple<float, float, float, float, float> cases[] = {
      {TotalForChart(5000), TotalForChart(5037), 0, 5037, 37},
      {5037, 4900, 0, 4900, 137},
      {100, 130, 140, 5, 45},
      {100, 100, 100, 7, 7},
      {100, 120, 125, 0, 25},
      {16000000, 16000000, 16000100, 3, 103}};
  for (const auto& [previous, fed, atMidnight, after, sample] : cases) {
    RateSampler r;
    r.SetPreviousTotal(previous);
    r.SetCurrentTotal(fed);
    r.ShiftDown(atMidnight);
    r.SetCurrentTotal(after);
    EXPECT_EQ(r.Tick(), sample) << previous << " " << fed << " " << atMidnight << " " << after;
    r.SetCurrentTotal(r.CurrentTotal() + 2);
    EXPECT_EQ(r.Tick(), 2.0f) << "the tick after goes on as before";
  }
}
