// Where the history's drawn views put their cells and keys, and what they name under the pointer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

#include "history_window/history_model.h"
#include "history_window/history_view_geometry.h"

using namespace tallivo::history;

namespace {

// A small window, a typical one, a wide one, a tall one and one too small for the minimum sizes, with the heat map's
// gap between cells, its step between hour labels and the height of its strip there.
struct Size {
  int w, h, gap, hourStep, strip;
};
const Size kSizes[] = {
    {320, 200, 1, 3, 18}, {640, 360, 2, 1, 30}, {1400, 420, 2, 1, 30}, {380, 900, 1, 2, 30}, {120, 60, 1, 3, 18}};

bool Inside(const PixelRect& inner, const PixelRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

}  // namespace

TEST(HistoryViewGeometry, AtEverySizeEachHeatCellAndKeyIsFoundWhereDrawnAndTheLegendRunsFromZeroToTheMaximum) {
  const std::vector<KeyCap>& caps = StandardKeyboard();
  const float aspect = KeyboardWidth() / KeyboardHeight();
  for (Size s : kSizes) {
    SCOPED_TRACE(testing::Message() << s.w << "x" << s.h);
    const HeatMapLayout l = LayoutHeatMap(s.w, s.h);
    EXPECT_EQ(std::tuple(l.gap, l.hourLabelStep, l.strip.Height()), std::tuple(s.gap, s.hourStep, s.strip));
    for (int d = 0; d < 7; ++d) {
      for (int h = 0; h < 24; ++h) {
        const PixelRect c = HeatCellRect(l, d, h);
        const CellHit me{d, h};
        ASSERT_TRUE(c.Width() >= 6 && c.Height() >= 6);  // never smaller than a sensible cell
        ASSERT_TRUE(Inside(c, l.grid));
        EXPECT_EQ(HitHeatCell(l, c.left, c.top), me);
        EXPECT_EQ(HitHeatCell(l, c.right - 1, c.bottom - 1), me);
        // The gaps right of and below each cell, and left of and above it (the previous cells'), belong to no cell.
        for (auto [x, y] : {std::pair{c.right, c.top}, {c.left, c.bottom}, {c.left - 1, c.top}, {c.left, c.top - 1}})
          EXPECT_FALSE(HitHeatCell(l, x, y).Hit()) << x << "," << y;
      }
    }
    const PixelRect& g = l.grid;
    for (auto [x, y] : {std::pair{g.left - 1, g.top}, {g.right, g.top}, {g.left, g.top - 1}, {g.left, g.bottom}})
      EXPECT_FALSE(HitHeatCell(l, x, y).Hit()) << x << "," << y;
    for (auto [d, h] : {std::pair{7, 0}, {0, 24}, {-1, 0}, {0, -1}}) EXPECT_TRUE(IsEmpty(HeatCellRect(l, d, h)));

    // Labels, legend and strip around the grid, never over it.
    EXPECT_LE(l.hourLabels.bottom, l.grid.top);
    EXPECT_LE(l.dayLabels.right, l.grid.left);
    EXPECT_GE(l.legend.top, l.grid.bottom);
    EXPECT_LE(l.legend.bottom, l.strip.top);
    EXPECT_GT(l.legend.Width(), 0);
    if (s.w >= 300 && s.h >= 200) {
      // Where there is room, everything is in the window and the cells take the width up to the margins.
      EXPECT_TRUE(Inside(l.grid, {0, 0, s.w, s.h}));
      EXPECT_EQ(l.strip.bottom, s.h);
      EXPECT_GE(HeatCellRect(l, 6, 23).right, s.w - 10);
      EXPECT_GE(l.grid.Height(), s.h / 2);
    }

    const KeyboardLayout kb = LayoutStandardKeyboard(s.w, s.h);
    ASSERT_EQ(kb.keys.size(), caps.size());
    EXPECT_NEAR(static_cast<float>(kb.board.Width()) / kb.board.Height(), aspect, aspect * 0.03f);
    EXPECT_FALSE(Overlaps(kb.strip, kb.area));
    ASSERT_EQ(kb.board.Width() <= kb.area.Width() && kb.board.Height() <= kb.area.Height(), s.w >= 300);  // fits
    if (s.w >= 300) {
      // Centred: the same room on both sides of the longer way (across, of the window), give or take a pixel.
      EXPECT_NEAR(kb.board.left, s.w - kb.board.right, 1);
      EXPECT_NEAR(kb.board.top - kb.area.top, kb.area.bottom - kb.board.bottom, 1);
      EXPECT_TRUE(kb.area.Width() - kb.board.Width() <= 2 || kb.area.Height() - kb.board.Height() <= 2);
    } else {
      // Too small: the minimum scale from the top left corner.
      EXPECT_EQ(std::pair(kb.board.left, kb.board.top), std::pair(kb.area.left, kb.area.top));
    }
    for (size_t i = 0; i < kb.keys.size(); ++i) {
      const PixelRect& k = kb.keys[i];
      const int me = static_cast<int>(i);
      SCOPED_TRACE(caps[i].label);
      ASSERT_FALSE(IsEmpty(k));
      EXPECT_TRUE(Inside(k, kb.board));
      EXPECT_EQ(HitKey(kb, k.left, k.top), me);
      EXPECT_EQ(HitKey(kb, k.right - 1, k.bottom - 1), me);
      EXPECT_NE(HitKey(kb, k.right, k.top), me);  // the right edge is a gap or another key
      for (size_t j = i + 1; j < kb.keys.size(); ++j) EXPECT_FALSE(Overlaps(k, kb.keys[j])) << caps[j].label;
    }
    EXPECT_EQ(HitKey(kb, kb.board.left - 1, kb.board.top), -1);
    EXPECT_EQ(HitKey(kb, kb.board.left, kb.board.top), -1);  // the inset corner
    EXPECT_EQ(HitKey(kb, s.w / 2, kb.strip.top + 2), -1);
  }
  const uint64_t huge = std::numeric_limits<uint64_t>::max();
  for (auto [columns, max] : {std::pair{200, uint64_t{1234}}, {7, uint64_t{3}}, {240, huge}, {50, uint64_t{0}}}) {
    SCOPED_TRACE(columns);
    EXPECT_EQ(LegendValue(0, columns, max), 0u);
    EXPECT_EQ(LegendValue(columns - 1, columns, max), max);
    uint64_t last = 0;
    for (int i = 0; i < columns; ++i) {
      const uint64_t v = LegendValue(i, columns, max);
      EXPECT_TRUE(v >= last && v <= max) << i;
      last = v;
    }
  }
  // Spaced like the colours: each half of the bar shows a fair part of the scale's change of colour (evenly spaced
  // values on the log scale would put nearly all of it in the first half).
  auto step = [](uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift : {0, 8, 16}) d += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
    return d;
  };
  for (uint64_t max : {uint64_t{1000}, uint64_t{50}, uint64_t{123456789}}) {
    int half[2] = {0, 0};
    for (int i = 2; i < 200; ++i)
      half[i / 100] += step(HeatColour(LegendValue(i, 200, max), max), HeatColour(LegendValue(i - 1, 200, max), max));
    EXPECT_GT(half[0], (half[0] + half[1]) * 3 / 10) << max;
    EXPECT_GT(half[1], (half[0] + half[1]) * 3 / 10) << max;
  }
  // Four columns show decades; the first columns of a long legend stay at 0, plain like an empty cell.
  for (auto [column, columns, max, value] :
       {std::tuple{0, 1, 9, 9}, {0, 0, 9, 0}, {1, 2, 9, 9}, {1, 99, 9, 0}, {1, 4, 999, 9}, {2, 4, 999, 99}})
    EXPECT_EQ(LegendValue(column, columns, max), uint64_t(value)) << column << "/" << columns;

  // Two keys side by side and a wide one under them, 40 px a unit: 120 x 80 inside the margins, an 18 px strip below.
  const std::vector<KeyCap> tiny = {{0x41, "A", 0, 0, 1, 1}, {0x42, "B", 1, 0, 1, 1}, {0x20, "Space", 0, 1, 2, 1}};
  const KeyboardLayout l = LayoutKeyboard(tiny, 3, 2, 132, 110);
  ASSERT_EQ(l.keys.size(), 3u);
  EXPECT_FLOAT_EQ(l.scale, 40);
  EXPECT_EQ(l.keys[0].right + 4, l.keys[1].left);  // inset of 2 each side
  EXPECT_TRUE(LayoutKeyboard(tiny, 0, 2, 200, 200).keys.empty());
}

// At 150 % a view 1.5 times as large is laid out as at 96 DPI, 1.5 times over, give or take two pixels an edge; the
// window's smallest size grows the same.
TEST(HistoryViewGeometry, At144DpiEveryLayoutIsItsOwnAt96DpiOneAndAHalfTimesOver) {
  const auto near = [](const PixelRect& a, const PixelRect& b) {
    return std::abs(a.left - b.left) <= 2 && std::abs(a.top - b.top) <= 2 && std::abs(a.right - b.right) <= 2 &&
           std::abs(a.bottom - b.bottom) <= 2;
  };
  for (auto [w, h] : {std::pair{320, 200}, {640, 360}, {1400, 420}}) {
    const HeatMapLayout m = LayoutHeatMap(w, h), m2 = LayoutHeatMap(w * 3 / 2, h * 3 / 2, 144);
    const KeyboardLayout k = LayoutStandardKeyboard(w, h), k2 = LayoutStandardKeyboard(w * 3 / 2, h * 3 / 2, 144);
    const DailyChartLayout c = LayoutDailyChart(w, h, 30), c2 = LayoutDailyChart(w * 3 / 2, h * 3 / 2, 30, 144);
    const std::pair<PixelRect, PixelRect> rects[] = {{m.grid, m2.grid},         {m.legend, m2.legend},
                                                     {m.dayLabels, m2.dayLabels}, {m.strip, m2.strip},
                                                     {k.board, k2.board},       {k.keys[60], k2.keys[60]},
                                                     {c.plot, c2.plot}};
    for (const auto& [at96, at144] : rects) {
      const PixelRect want = tallivo::dpi::ScaleRect(at96, 144);
      EXPECT_TRUE(near(at144, want)) << w << "x" << h << ": " << at144.left << "," << at144.top << " "
                                     << at144.right << "," << at144.bottom << " for " << want.left << "," << want.top;
    }
    EXPECT_EQ(std::pair(m2.gap, m2.hourLabelStep), std::pair(tallivo::dpi::Scale(m.gap, 144), m.hourLabelStep));
  }
  EXPECT_EQ(PlaceInWorkArea({0, 0, 100, 100}, {0, 0, 1920, 1040}, 144), (PixelRect{0, 0, 960, 720}));
}

TEST(KeyboardGeometry, LabelsAreDarkOnLightAndLightOnDark) {
  const uint32_t dark = 0x00202020, light = 0x00FFFFFF;
  const std::pair<uint32_t, uint32_t> cases[] = {{0x00FFFFFFu, dark},  {0x00000000u, light}, {kPlainColour, dark},
                                                 {0x000000FFu, light}, {0x0000FFFFu, dark},  {0x00FF0000u, light},
                                                 {0x00808080u, light}};
  for (auto [fill, text] : cases) EXPECT_EQ(TextColourOn(fill), text) << std::hex << fill;
  // Along the heat scale the label never vanishes into its key.
  auto lum = [](uint32_t c) { return (c & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + ((c >> 16) & 0xFF) * 114; };
  for (uint64_t v = 1; v <= 100; ++v) {
    const uint32_t fill = HeatColour(v, 100), t = TextColourOn(fill);
    EXPECT_GT(t == light ? lum(t) - lum(fill) : lum(fill) - lum(t), 100000u) << v;
  }
}
