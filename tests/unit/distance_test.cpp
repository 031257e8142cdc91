#include <gtest/gtest.h>

#include "stats/distance.h"
#include "stats/stats_text.h"

using namespace tallivo;

TEST(Distance, StepIsTruncatedEuclideanLength) {
  struct Case {
    int64_t dx, dy;
    uint32_t step;
  } cases[] = {
      {3, 4, 5},      {-3, -4, 5},   {1, 1, 1},       {0, 1, 1},        {1, 0, 1},
      {2, 2, 2},      {0, 0, 0},     {5, 12, 13},     {-1023, 767, 1278}, {300, 400, 500},
      {1, 2, 2},      {7, 7, 9},     {65535, 0, 65535},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DistanceStep(c.dx, c.dy), c.step) << c.dx << "," << c.dy;
  }
}

TEST(Distance, ExtremeCoordinatesDoNotOverflow) {
  // Two int32 positions can be 2^32 - 1 apart on an axis.
  EXPECT_EQ(DistanceStep(4294967295LL, 0), 4294967295u);
  EXPECT_EQ(DistanceStep(4294967295LL, 4294967295LL), 0xFFFFFFFFu);
}

TEST(Distance, PixelsPerMetreFromMeasurement) {
  EXPECT_FLOAT_EQ(PixelsPerMetre(-3780), 3780.0f);
  EXPECT_FLOAT_EQ(PixelsPerMetre(3780), 3780.0f);
  EXPECT_FLOAT_EQ(PixelsPerMetre(-4134), 4134.0f);
  // A display that reports no size: fall back to 96 dpi, never divide by 0.
  EXPECT_FLOAT_EQ(PixelsPerMetre(0), 3780.0f);
}

TEST(Distance, SamplesAccumulateAndConvert) {
  DistanceMeter m;
  m.SetPixelsPerMetre(3780.0f);
  m.SetStart({100, 100});
  EXPECT_FALSE(m.Sample({100, 100}));  // no move, nothing changes
  EXPECT_EQ(m.Pixels(), 0u);
  EXPECT_TRUE(m.Sample({103, 104}));
  EXPECT_EQ(m.Pixels(), 5u);
  EXPECT_TRUE(m.Sample({104, 105}));  // (1, 1) adds 1
  EXPECT_EQ(m.Pixels(), 6u);
  EXPECT_EQ(m.Last(), (ScreenPoint{104, 105}));
  m.SetPixels(7560);
  EXPECT_TRUE(m.Sample({104, 104}));
  EXPECT_EQ(m.Pixels(), 7561u);
  EXPECT_EQ(MetresLabel(m.Metres()), "鼠标运行:   2.00米");
}

TEST(Distance, SubPixelStepsAreLostAndMetresStayUntilMove) {
  DistanceMeter m;
  m.SetPixelsPerMetre(100.0f);
  m.SetStart({0, 0});
  m.SetPixels(250);
  EXPECT_FLOAT_EQ(m.Metres(), 0.0f);  // recomputed only by a sample that moved
  EXPECT_TRUE(m.Sample({0, 1}));
  EXPECT_FLOAT_EQ(m.Metres(), 2.51f);
  m.ClearPixels();
  EXPECT_FLOAT_EQ(m.Metres(), 2.51f);
  EXPECT_TRUE(m.Sample({0, 0}));
  EXPECT_FLOAT_EQ(m.Metres(), 0.01f);
}

TEST(Distance, PixelTotalWraps) {
  DistanceMeter m;
  m.SetStart({0, 0});
  m.SetPixels(0xFFFFFFFEu);
  m.Sample({3, 4});
  EXPECT_EQ(m.Pixels(), 3u);
}
