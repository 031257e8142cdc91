// The per-process panel without windows: magnetic docking, the share of the
// chosen process, and the names in the picker.
#include <gtest/gtest.h>

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

}  // namespace

TEST(MagRules, TestPointRoundsTheMiddleDown) {
  EXPECT_EQ(TestPoint(MAG_RIGHT, {10, 20, 31, 45}), (MagPoint{10, 32}));
  EXPECT_EQ(TestPoint(MAG_TOP, {10, 20, 31, 45}), (MagPoint{20, 45}));
  EXPECT_EQ(TestPoint(MAG_RIGHT, MagRect{-300, -101, -100, 0}), (MagPoint{-300, -51}));
}

TEST(MagRules, ZonesAreHalfOpenFiftyPixelsEachWayAndReleaseAtTheSameBorders) {
  struct Case {
    int side;
    int x, y;
    bool inside;
  } cases[] = {
      // right zone: x in [350, 450), y in [50, 550)
      {MAG_RIGHT, 350, 300, true},   {MAG_RIGHT, 349, 300, false}, {MAG_RIGHT, 449, 300, true},
      {MAG_RIGHT, 450, 300, false},  {MAG_RIGHT, 400, 50, true},   {MAG_RIGHT, 400, 49, false},
      {MAG_RIGHT, 400, 549, true},   {MAG_RIGHT, 400, 550, false}, {MAG_LEFT, 50, 300, true},
      {MAG_LEFT, 149, 300, true},    {MAG_LEFT, 150, 300, false},  {MAG_TOP, 250, 50, true},
      {MAG_TOP, 250, 49, false},     {MAG_TOP, 450, 100, false},   {MAG_BOTTOM, 250, 450, true},
      {MAG_BOTTOM, 250, 550, false}, {MAG_BOTTOM, 49, 500, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "side " << c.side << " at " << c.x << "," << c.y);
    const MagRect p = WithTestPoint(c.side, c.x, c.y);
    // Free: captured only inside, and only where that side is allowed.
    const DockDecision dock = c.inside ? DockDecision{DockDecision::Dock, c.side} : DockDecision{};
    EXPECT_EQ(DecideDock(false, 0, c.side, kOwner, p), dock);
    if (c.inside) {
      EXPECT_EQ(DecideDock(false, 0, c.side == MAG_RIGHT ? MAG_LEFT : MAG_RIGHT, kOwner, p), DockDecision{});
    }
    // Docked there: released only when its own test point leaves.
    const DockDecision undock = c.inside ? DockDecision{} : DockDecision{DockDecision::Undock, c.side};
    EXPECT_EQ(DecideDock(true, c.side, MAG_ANY, kOwner, WithTestPoint(c.side, c.x, c.y, 200, 150)), undock);
  }
}

TEST(MagRules, CornersGoToTheLaterSideAndReleaseComesBeforeCapture) {
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, kOwner, {360, 480, 480, 560}),
            (DockDecision{DockDecision::Dock, MAG_BOTTOM}));
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, kOwner, {20, 60, 140, 140}), (DockDecision{DockDecision::Dock, MAG_TOP}));
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, {100, 100, 160, 500}, {120, 200, 140, 300}),
            (DockDecision{DockDecision::Dock, MAG_LEFT}));
  EXPECT_EQ(DecideDock(false, 0, MAG_RIGHT, kOwner, {360, 480, 480, 560}),
            (DockDecision{DockDecision::Dock, MAG_RIGHT}));
  // Docked right, dragged below the owner: released in this step, captured
  // at the bottom in the next; still in its zone it stays, whatever else holds it.
  const MagRect below = {200, 510, 300, 560};
  EXPECT_EQ(DecideDock(true, MAG_RIGHT, MAG_ANY, kOwner, below), (DockDecision{DockDecision::Undock, MAG_RIGHT}));
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, kOwner, below), (DockDecision{DockDecision::Dock, MAG_BOTTOM}));
  EXPECT_EQ(DecideDock(true, MAG_RIGHT, MAG_ANY, kOwner, {360, 480, 480, 560}), DockDecision{});
}

TEST(MagRules, CarriedChildStaysFlushAndKeepsItsOffset) {
  const MagRect p = {130, 140, 430, 540};  // proposed owner
  struct Case {
    int side;
    MagRect child;
    int offsetIn;
    MagRect want;
    int offsetOut;
  } cases[] = {
      {MAG_RIGHT, {400, 120, 600, 270}, 0, {430, 120, 630, 270}, 20},  // first step: offset recorded, moved across only
      {MAG_RIGHT, {400, 100, 600, 250}, 15, {430, 125, 630, 275}, 15},
      {MAG_LEFT, {-100, 100, 100, 250}, 0, {-70, 100, 130, 250}, 40},
      {MAG_TOP, {150, -50, 350, 100}, -20, {150, -10, 350, 140}, -20},
      {MAG_BOTTOM, {90, 500, 290, 650}, 7, {123, 540, 323, 690}, 7},
      {0, {90, 500, 290, 650}, 0, {90, 500, 290, 650}, 0},  // unknown side: left where it is
  };
  for (const auto& c : cases) {
    int offset = c.offsetIn;
    EXPECT_EQ(CarryChild(c.side, p, c.child, &offset), c.want) << c.side << " offset " << c.offsetIn;
    EXPECT_EQ(offset, c.offsetOut) << c.side << " offset " << c.offsetIn;
  }
  // An offset of 0 counts as not recorded: the next vertical step records its own.
  MagRect child = {400, 100, 600, 250};
  int offset = 0;
  child = CarryChild(MAG_RIGHT, {110, 100, 410, 500}, child, &offset);
  child = CarryChild(MAG_RIGHT, {120, 130, 420, 530}, child, &offset);
  EXPECT_EQ(offset, 30);
  EXPECT_EQ(child, (MagRect{420, 100, 620, 250}));
}

TEST(MagRules, PlacementAndShowKeepTheChildFlush) {
  int offset = 99;
  EXPECT_EQ(SnapPlacement(MAG_RIGHT, kOwner, {400, 120, 600, 270}, 473, 300, &offset), (MagRect{400, 300, 600, 450}));
  EXPECT_EQ(offset, -20);
  offset = 99;
  EXPECT_EQ(SnapPlacement(MAG_TOP, kOwner, {150, -50, 350, 100}, 170, -90, &offset), (MagRect{170, -50, 370, 100}));
  EXPECT_EQ(offset, -50);
  offset = 99;
  EXPECT_EQ(SnapPlacement(0, kOwner, {400, 120, 600, 270}, 10, 10, &offset), (MagRect{400, 120, 600, 270}));
  EXPECT_EQ(offset, 99);
  // A hidden child is not carried; shown again it goes flush to the owner.
  EXPECT_FALSE(IsCarried(true, false));
  const MagRect owner = {220, 175, 520, 575};
  const MagRect child = {400, 100, 600, 250};
  EXPECT_EQ(PlaceOnShow(MAG_RIGHT, owner, child, -30), (MagRect{520, 205, 720, 355}));
  EXPECT_EQ(PlaceOnShow(MAG_BOTTOM, owner, child, -10), (MagRect{230, 575, 430, 725}));
  EXPECT_EQ(PlaceOnShow(0, owner, child, 10), child);
}

TEST(ProcessShare, WholePercentTruncated) {
  struct Case {
    uint32_t process, global;
    int want;
  } cases[] = {
      {0, 0, 0},     {2, 3, 66},
      {29, 100, 28},  // 0.29 as a double lies just below 0.29
      {5, 5, 100},    // every input went to the chosen process
      {6, 5, 0},      // the main counters were cleared meanwhile
      {1, 0, 0},     {4000000000u, 4000000001u, 100},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SharePercent(static_cast<float>(c.process), static_cast<float>(c.global)), c.want)
        << c.process << " of " << c.global;
  }
  // A percent sign in a process name is text, not a conversion.
  EXPECT_EQ(ShareLine("a%d%s", 5), "a%d%s 进程占全局比:5%");
  EXPECT_EQ(PanelWheelLabel(4294967295u), "中键滚动:  4294967295次");
}

TEST(ProcessName, CutsOnlyAThreeLetterExtension) {
  struct Case {
    const char* exe;
    const char* name;
  } cases[] = {
      {"NOTEPAD.EXE", "NOTEPAD"}, {".exe", ""},   {"setup.x86.exe", "setup.x86"}, {"记事本.exe", "记事本"},
      {"kworker", "kworker"},     {"a.b", "a.b"}, {"python3.11", "python3.11"},   {"tool.jpeg", "tool.jpeg"},
  };
  for (const auto& c : cases) EXPECT_EQ(ProcessNameFromExe(c.exe), c.name) << c.exe;
  EXPECT_EQ(ProcessIdText(4), "    4");
  EXPECT_EQ(ProcessIdText(123456), "123456");
}
