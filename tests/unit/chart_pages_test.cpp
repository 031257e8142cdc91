#include <gtest/gtest.h>

#include <string>

#include "chart/chart_page_model.h"
#include "chart/curve_model.h"
#include "chart/tab_pages.h"

using namespace tallivo;

TEST(TabLayout, PagesFillTheAreaBelowTheTabs) {
  // Tab item 0 at left 2, bottom 20 in a client area of 380 x 145.
  EXPECT_EQ(PageArea({0, 0, 380, 145}, {2, 2, 70, 20}), (PagePlacement{2, 21, 376, 122}));
  EXPECT_EQ(PageArea({0, 0, 382, 182}, {2, 2, 66, 23}), (PagePlacement{2, 24, 378, 156}));
  // A tab control smaller than its tabs: empty pages, never negative sizes.
  EXPECT_EQ(PageArea({0, 0, 3, 10}, {2, 2, 70, 20}), (PagePlacement{2, 21, 0, 0}));
}

TEST(TabPages, AtMostTenPages) {
  TabPageTable t;
  for (int i = 0; i < 10; ++i) {
    std::string title(1, 'p');
    title += std::to_string(i);
    EXPECT_TRUE(t.Add(title, 200 + i)) << i;
  }
  EXPECT_FALSE(t.Add("eleventh", 999));
  EXPECT_EQ(t.Count(), 10);
  EXPECT_EQ(t.Title(9), "p9");
  EXPECT_EQ(t.TemplateId(9), 209u);
  EXPECT_EQ(t.Current(), 0);
}

TEST(TabPages, SelectingSwapsTheShownPage) {
  TabPageTable t;
  t.Add("1小时以内", 138);
  t.Add("1天以内", 139);
  TabPageTable::Switch sw{-1, -1};
  EXPECT_FALSE(t.Select(0, &sw));  // the page on show already
  EXPECT_TRUE(t.Select(1, &sw));
  EXPECT_EQ(sw.hide, 0);
  EXPECT_EQ(sw.show, 1);
  EXPECT_EQ(t.Current(), 1);
  EXPECT_FALSE(t.Select(1, &sw));
  EXPECT_TRUE(t.Select(0, &sw));
  EXPECT_EQ(sw.hide, 1);
  EXPECT_EQ(sw.show, 0);
  EXPECT_EQ(t.Current(), 0);
}

TEST(TabPages, FocusOutsideThePagesChangesNothing) {
  TabPageTable t;
  TabPageTable::Switch sw;
  EXPECT_FALSE(t.Select(0, &sw));  // no pages at all
  t.Add("a", 1);
  t.Add("b", 2);
  EXPECT_FALSE(t.Select(-1, &sw));  // no tab has the focus
  EXPECT_FALSE(t.Select(2, &sw));
  EXPECT_EQ(t.Current(), 0);
}

TEST(ChartPages, Settings) {
  const struct {
    const ChartPageSettings& page;
    unsigned templateId;
    const char* title;
    const char* suffix;
    uint32_t divisor;
    int step, gridX;
    unsigned periodMs;
    const char* top;
    const char* last;
  } cases[] = {
      {kHourPage, 138, "1小时以内", "次/分", 4, 8, 13, 60000, "400", "60"},
      {kDayPage, 139, "1天以内", "次/时", 100, 17, 32, 3600000, "1.2W", "24"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.page.templateId, c.templateId);
    EXPECT_STREQ(c.page.title, c.title);
    EXPECT_STREQ(c.page.captionPrefix, "当前实时曲线按键次数是:");
    EXPECT_STREQ(c.page.captionSuffix, c.suffix);
    EXPECT_EQ(c.page.divisor, c.divisor);
    EXPECT_EQ(c.page.step, c.step);
    EXPECT_EQ(c.page.gridX, c.gridX);
    EXPECT_EQ(c.page.periodMs, c.periodMs);
    EXPECT_STREQ(c.page.labels[0], c.top);
    EXPECT_STREQ(c.page.labels[5], c.last);
  }
  EXPECT_STREQ(kHourPage.labels[1], "200");
  EXPECT_STREQ(kDayPage.labels[1], "5K");
}

TEST(ChartPages, EachTickPlotsTheEventsSinceThePreviousTick) {
  RateSampler r;
  // Seeded with the totals restored at start: they are not plotted.
  r.SetPreviousTotal(TotalForChart(5000));
  r.SetCurrentTotal(TotalForChart(5037));
  EXPECT_EQ(r.Tick(), 37.0f);
  EXPECT_EQ(r.PreviousTotal(), 5037.0f);
  // A period without input.
  EXPECT_EQ(r.Tick(), 0.0f);
  r.SetCurrentTotal(5100);
  EXPECT_EQ(r.Tick(), 63.0f);
}

TEST(ChartPages, AFallOfTheTotalIsPlottedAsItsSize) {
  RateSampler r;
  r.SetPreviousTotal(300);
  r.SetCurrentTotal(120);
  EXPECT_EQ(r.Tick(), 180.0f);
}

TEST(ChartPages, AfterAClearTheNextPointCountsOnlyTheNewEvents) {
  RateSampler r;
  r.SetCurrentTotal(300);
  // The clear starts both totals over (before the next feed comes in).
  r.SetPreviousTotal(0);
  r.SetCurrentTotal(0);
  EXPECT_EQ(r.Tick(), 0.0f);
  r.SetCurrentTotal(20);
  EXPECT_EQ(r.Tick(), 20.0f);
}

TEST(ChartPages, FirstHourBarForThirtySevenEventsIsTenPixels) {
  // The road of one page tick: totals to sample, sample to bar.
  CurveModel chart;
  chart.SetSize(388, 126);
  chart.SetAxis(kHourPage.divisor, {"", "", "", "", "", ""});
  ASSERT_TRUE(chart.SetStep(kHourPage.step));
  RateSampler r;
  r.SetPreviousTotal(TotalForChart(5000));
  r.SetCurrentTotal(TotalForChart(5037));
  chart.AddPoint(r.Tick());
  const auto bars = chart.Bars({0, 0, 388, 126});
  EXPECT_EQ(bars[0].rect.bottom - bars[0].rect.top, 10);
  EXPECT_EQ(bars[1].rect.bottom - bars[1].rect.top, 0);
}
