// The per-process panel without windows: magnetic docking, the share of the
// chosen process, and the names in the picker.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

#include "process/process_text.h"
#include "ui/mag_rules.h"

using namespace tallivo;

namespace {

// The owner of most cases: 300 x 400 at (100, 100).
constexpr MagRect kOwner = {100, 100, 400, 500};

// A rectangle of the given size whose test point for `side` is at (x, y).
MagRect WithTestPoint(int side, int x, int y, int w = 2, int h = 2) {
  switch (side) {
    case MAG_RIGHT: return {x, y - h / 2, x + w, y - h / 2 + h};
    case MAG_LEFT: return {x - w, y - h / 2, x, y - h / 2 + h};
    case MAG_TOP: return {x - w / 2, y - h, x - w / 2 + w, y};
    default: return {x - w / 2, y, x - w / 2 + w, y + h};
  }
}

DockDecision Dock(int side) { return {DockDecision::Dock, side}; }

}  // namespace

TEST(MagRules, TestPointRoundsTheMiddleDown) {
  EXPECT_EQ(TestPoint(MAG_RIGHT, {10, 20, 31, 45}), (MagPoint{10, 32}));
  EXPECT_EQ(TestPoint(MAG_TOP, {10, 20, 31, 45}), (MagPoint{20, 45}));
  EXPECT_EQ(TestPoint(MAG_RIGHT, MagRect{-300, -101, -100, 0}), (MagPoint{-300, -51}));
}

// Each side's zone reaches 50 px both ways from the owner's edge and past
// its ends, left and top borders inside, right and bottom ones outside. A
// free window is captured only inside, and only where that side is allowed;
// a docked one is released only when its own test point leaves.
TEST(MagRules, ZonesAreHalfOpenFiftyPixelsEachWayAndReleaseAtTheSameBorders) {
  const std::tuple<int, int, MagRect> zones[] = {{MAG_RIGHT, MAG_LEFT, {350, 50, 450, 550}},
                                                 {MAG_LEFT, MAG_RIGHT, {50, 50, 150, 550}},
                                                 {MAG_TOP, MAG_BOTTOM, {50, 50, 450, 150}},
                                                 {MAG_BOTTOM, MAG_TOP, {50, 450, 450, 550}}};
  for (const auto& [side, other, z] : zones) {
    const int midX = (z.left + z.right) / 2, midY = (z.top + z.bottom) / 2;
    const std::tuple<int, int, bool> points[] = {
        {z.left, midY, true}, {z.left - 1, midY, false}, {z.right - 1, midY, true},  {z.right, midY, false},
        {midX, z.top, true},  {midX, z.top - 1, false},  {midX, z.bottom - 1, true}, {midX, z.bottom, false}};
    for (const auto& [x, y, inside] : points) {
      SCOPED_TRACE(testing::Message() << "side " << side << " at " << x << "," << y);
      const MagRect p = WithTestPoint(side, x, y);
      const DockDecision dock = inside ? Dock(side) : DockDecision{};
      const DockDecision undock = inside ? DockDecision{} : DockDecision{DockDecision::Undock, side};
      EXPECT_EQ(DecideDock(false, 0, side, kOwner, p), dock);
      EXPECT_EQ(DecideDock(false, 0, other, kOwner, p), DockDecision{});
      EXPECT_EQ(DecideDock(true, side, MAG_ANY, kOwner, WithTestPoint(side, x, y, 200, 150)), undock);
    }
  }
}

TEST(MagRules, CornersGoToTheLaterSideAndReleaseComesBeforeCapture) {
  const MagRect corner = {360, 480, 480, 560};
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, kOwner, corner), Dock(MAG_BOTTOM));
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, kOwner, {20, 60, 140, 140}), Dock(MAG_TOP));
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, {100, 100, 160, 500}, {120, 200, 140, 300}), Dock(MAG_LEFT));
  EXPECT_EQ(DecideDock(false, 0, MAG_RIGHT, kOwner, corner), Dock(MAG_RIGHT));
  EXPECT_EQ(DecideDock(false, 0, 0, kOwner, corner), DockDecision{}) << "no side allowed";
  // Docked right, dragged below the owner: released in this step, captured
  // at the bottom in the next; still in its zone it stays, whatever else holds it.
  const MagRect below = {200, 510, 300, 560};
  EXPECT_EQ(DecideDock(true, MAG_RIGHT, MAG_ANY, kOwner, below), (DockDecision{DockDecision::Undock, MAG_RIGHT}));
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, kOwner, below), Dock(MAG_BOTTOM));
  EXPECT_EQ(DecideDock(true, MAG_RIGHT, MAG_ANY, kOwner, corner), DockDecision{});
}

// A child carried by its owner (here dragged to {130, 140, 430, 540}) stays
// flush and keeps its place along the edge; an offset of 0 means none was
// recorded yet, and it is taken from this step. An unknown side leaves it.
TEST(MagRules, CarriedChildStaysFlushAndKeepsItsOffset) {
  const std::tuple<int, MagRect, int, MagRect, int> cases[] = {
      {MAG_RIGHT, {400, 120, 600, 270}, 0, {430, 120, 630, 270}, 20},
      {MAG_RIGHT, {400, 100, 600, 250}, 15, {430, 125, 630, 275}, 15},
      {MAG_LEFT, {-100, 100, 100, 250}, 0, {-70, 100, 130, 250}, 40},
      {MAG_LEFT, {-100, 100, 100, 250}, 25, {-70, 115, 130, 265}, 25},
      {MAG_TOP, {150, -50, 350, 100}, 0, {150, -10, 350, 140}, -20},
      {MAG_TOP, {150, -50, 350, 100}, -30, {160, -10, 360, 140}, -30},
      {MAG_BOTTOM, {90, 500, 290, 650}, 0, {90, 540, 290, 690}, 40},
      {MAG_BOTTOM, {90, 500, 290, 650}, 7, {123, 540, 323, 690}, 7},
      {0, {90, 500, 290, 650}, 0, {90, 500, 290, 650}, 0}};
  for (const auto& [side, child, offsetIn, want, offsetOut] : cases) {
    int offset = offsetIn;
    EXPECT_EQ(CarryChild(side, {130, 140, 430, 540}, child, &offset), want) << side << " offset " << offsetIn;
    EXPECT_EQ(offset, offsetOut) << side << " offset " << offsetIn;
  }
  EXPECT_TRUE(IsCarried(true, true));
  EXPECT_FALSE(IsCarried(true, false) || IsCarried(false, true)) << "a hidden or free child stays where it is";
}

// Moved by itself, a docked child stays flush and goes along the edge where
// it was asked; the offset it had is noted. Hidden and shown again, it comes
// back flush at its offset, on whichever side it is docked.
TEST(MagRules, PlacementAndShowKeepTheChildFlush) {
  const std::tuple<int, MagRect, int, int, MagRect, int> moves[] = {
      {MAG_RIGHT, {400, 120, 600, 270}, 473, 300, {400, 300, 600, 450}, -20},
      {MAG_LEFT, {-100, 120, 100, 270}, 7, 300, {-100, 300, 100, 450}, -20},
      {MAG_TOP, {150, -50, 350, 100}, 170, -90, {170, -50, 370, 100}, -50},
      {MAG_BOTTOM, {150, 500, 350, 650}, 170, 900, {170, 500, 370, 650}, -50},
      {0, {400, 120, 600, 270}, 10, 10, {400, 120, 600, 270}, 99}};
  for (const auto& [side, self, x, y, want, noted] : moves) {
    int offset = 99;
    EXPECT_EQ(SnapPlacement(side, kOwner, self, x, y, &offset), want) << side;
    EXPECT_EQ(offset, noted) << side;
  }
  const MagRect owner = {220, 175, 520, 575}, child = {400, 100, 600, 250};
  const std::tuple<int, int, MagRect> shows[] = {{MAG_LEFT, -30, {20, 205, 220, 355}},
                                                 {MAG_TOP, -10, {230, 25, 430, 175}},
                                                 {MAG_BOTTOM, -10, {230, 575, 430, 725}},
                                                 {MAG_RIGHT, -30, {520, 205, 720, 355}},
                                                 {0, 10, child}};
  for (const auto& [side, offset, want] : shows) EXPECT_EQ(PlaceOnShow(side, owner, child, offset), want) << side;
}

TEST(ProcessShare, WholePercentTruncated) {
  // 0.29 as a double lies just below 0.29; equal totals are 100 %; a process
  // total above the global one (the main counters cleared meanwhile) is 0 %.
  const std::tuple<uint32_t, uint32_t, int> cases[] = {
      {0, 0, 0}, {2, 3, 66}, {29, 100, 28}, {5, 5, 100}, {6, 5, 0}, {1, 0, 0}, {4000000000u, 4000000001u, 100}};
  for (const auto& [process, global, want] : cases) {
    EXPECT_EQ(SharePercent(static_cast<float>(process), static_cast<float>(global)), want)
        << process << " of " << global;
  }
  // A percent sign in a process name is text, not a conversion.
  const std::pair<std::string, const char*> texts[] = {{ShareLine("a%d%s", 5), "a%d%s 进程占全局比:5%"},
                                                       {PanelLeftLabel(1), "左键点击:  1次"},
                                                       {PanelRightLabel(2), "右键点击:  2次"},
                                                       {PanelMiddleLabel(3), "中键点击:  3次"},
                                                       {PanelWheelLabel(4294967295u), "中键滚动:  4294967295次"},
                                                       {PanelMouseLabel(5), "鼠标共点击:5次"},
                                                       {PanelKeysLabel(6), "键盘共敲击:6次"},
                                                       {ProcessIdText(4), "    4"},
                                                       {ProcessIdText(123456), "123456"}};
  for (const auto& [got, want] : texts) EXPECT_EQ(got, want);
}

TEST(ProcessName, CutsOnlyAThreeLetterExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"NOTEPAD.EXE", "NOTEPAD"}, {".exe", ""},   {"setup.x86.exe", "setup.x86"}, {"记事本.exe", "记事本"},
      {"kworker", "kworker"},     {"a.b", "a.b"}, {"python3.11", "python3.11"},   {"tool.jpeg", "tool.jpeg"}};
  for (const auto& [exe, name] : cases) EXPECT_EQ(ProcessNameFromExe(exe), name) << exe;
}
