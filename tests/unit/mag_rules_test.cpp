#include <gtest/gtest.h>

#include "process/mag_rules.h"

using namespace tallivo;

namespace {

// The owner of most cases: 300 x 400 at (100, 100).
constexpr MagRect kOwner = {100, 100, 400, 500};

// A rectangle of the given size whose test point for `side` is at (x, y).
MagRect WithTestPoint(int side, int x, int y, int w = 200, int h = 150) {
  switch (side) {
    case MAG_RIGHT: return {x, y - h / 2, x + w, y - h / 2 + h};
    case MAG_LEFT: return {x - w, y - h / 2, x, y - h / 2 + h};
    case MAG_TOP: return {x - w / 2, y - h, x - w / 2 + w, y};
    case MAG_BOTTOM: return {x - w / 2, y, x - w / 2 + w, y + h};
  }
  return {};
}

const char* Name(int side) {
  switch (side) {
    case MAG_RIGHT: return "right";
    case MAG_LEFT: return "left";
    case MAG_TOP: return "top";
    case MAG_BOTTOM: return "bottom";
    case MAG_ANY: return "any";
    case 0: return "none";
  }
  return "?";
}

}  // namespace

TEST(MagRules, TestPointIsOnTheFacingEdgeWithHalvedMiddle) {
  const MagRect p = {10, 20, 31, 45};  // odd sizes: the middles round down
  EXPECT_EQ(TestPoint(MAG_RIGHT, p), (MagPoint{10, 32}));
  EXPECT_EQ(TestPoint(MAG_LEFT, p), (MagPoint{31, 32}));
  EXPECT_EQ(TestPoint(MAG_TOP, p), (MagPoint{20, 45}));
  EXPECT_EQ(TestPoint(MAG_BOTTOM, p), (MagPoint{20, 20}));
  // Negative coordinates (a second monitor on the left) halve the same way.
  EXPECT_EQ(TestPoint(MAG_RIGHT, MagRect{-300, -101, -100, 0}), (MagPoint{-300, -51}));
}

TEST(MagRules, ZonesAreHalfOpenAtFiftyPixelsOnEverySide) {
  // For each side: points just inside and just outside each of the four
  // zone borders, as test points of a free window allowed on any side.
  struct Case {
    int side;
    int x, y;
    bool inside;
  } cases[] = {
      // right zone: x in [350, 450), y in [50, 550)
      {MAG_RIGHT, 350, 300, true},  {MAG_RIGHT, 349, 300, false}, {MAG_RIGHT, 449, 300, true},
      {MAG_RIGHT, 450, 300, false}, {MAG_RIGHT, 400, 50, true},   {MAG_RIGHT, 400, 49, false},
      {MAG_RIGHT, 400, 549, true},  {MAG_RIGHT, 400, 550, false},
      // left zone: x in [50, 150)
      {MAG_LEFT, 50, 300, true},    {MAG_LEFT, 49, 300, false},   {MAG_LEFT, 149, 300, true},
      {MAG_LEFT, 150, 300, false},  {MAG_LEFT, 100, 50, true},    {MAG_LEFT, 100, 550, false},
      // top zone: x in [50, 450), y in [50, 150)
      {MAG_TOP, 250, 50, true},     {MAG_TOP, 250, 49, false},    {MAG_TOP, 250, 149, true},
      {MAG_TOP, 250, 150, false},   {MAG_TOP, 50, 100, true},     {MAG_TOP, 49, 100, false},
      {MAG_TOP, 449, 100, true},    {MAG_TOP, 450, 100, false},
      // bottom zone: x in [50, 450), y in [450, 550)
      {MAG_BOTTOM, 250, 450, true}, {MAG_BOTTOM, 250, 449, false}, {MAG_BOTTOM, 250, 549, true},
      {MAG_BOTTOM, 250, 550, false}, {MAG_BOTTOM, 49, 500, false}, {MAG_BOTTOM, 449, 500, true},
  };
  for (const auto& c : cases) {
    // A small window, so that only the zone under test can hold a test point.
    const MagRect p = WithTestPoint(c.side, c.x, c.y, 2, 2);
    const DockDecision d = DecideDock(false, 0, c.side, kOwner, p);
    const DockDecision want = c.inside ? DockDecision{DockDecision::Dock, c.side} : DockDecision{};
    EXPECT_EQ(d, want) << Name(c.side) << " at " << c.x << "," << c.y;
  }
}

TEST(MagRules, AllowedSidesDecideWhatCanCapture) {
  // A window dragged into each side's zone, for every allowed-sides value.
  const int sides[] = {MAG_RIGHT, MAG_LEFT, MAG_TOP, MAG_BOTTOM};
  const MagPoint points[] = {{410, 300}, {90, 300}, {250, 90}, {250, 510}};
  for (int allow : {0, MAG_ANY, MAG_RIGHT, MAG_LEFT, MAG_TOP, MAG_BOTTOM}) {
    for (int i = 0; i < 4; ++i) {
      const MagRect p = WithTestPoint(sides[i], points[i].x, points[i].y, 2, 2);
      const bool captured = allow == MAG_ANY || allow == sides[i];
      const DockDecision want = captured ? DockDecision{DockDecision::Dock, sides[i]} : DockDecision{};
      EXPECT_EQ(DecideDock(false, 0, allow, kOwner, p), want) << "allow " << Name(allow) << ", zone "
                                                              << Name(sides[i]);
    }
  }
}

TEST(MagRules, NearACornerTheLaterSideWins) {
  // Order right, left, top, bottom: bottom over top over left over right.
  struct Case {
    MagRect owner;
    MagRect proposed;
    int allow;
    int want;
  } cases[] = {
      {kOwner, {360, 480, 480, 560}, MAG_ANY, MAG_BOTTOM},    // right + bottom
      {kOwner, {360, 60, 480, 140}, MAG_ANY, MAG_TOP},        // right + top
      {kOwner, {20, 60, 140, 140}, MAG_ANY, MAG_TOP},         // left + top
      {kOwner, {20, 480, 140, 560}, MAG_ANY, MAG_BOTTOM},     // left + bottom
      {{100, 100, 160, 500}, {120, 200, 140, 300}, MAG_ANY, MAG_LEFT},    // narrow owner: right + left
      {{100, 100, 400, 160}, {200, 120, 300, 130}, MAG_ANY, MAG_BOTTOM},  // flat owner: top + bottom
      {{100, 100, 160, 160}, {120, 120, 140, 140}, MAG_ANY, MAG_BOTTOM},  // all four
      // A single allowed side takes the corner for itself.
      {kOwner, {360, 480, 480, 560}, MAG_RIGHT, MAG_RIGHT},
      {{100, 100, 160, 160}, {120, 120, 140, 140}, MAG_TOP, MAG_TOP},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecideDock(false, 0, c.allow, c.owner, c.proposed), (DockDecision{DockDecision::Dock, c.want}))
        << c.proposed.left << "," << c.proposed.top << " allow " << Name(c.allow);
  }
}

TEST(MagRules, DockedWindowIsReleasedOnlyWhenItsOwnTestPointLeavesTheZone) {
  // Docked on the right: released when the proposed left edge is 50 or more
  // right of the owner's right edge or more than 50 left of it, or the
  // vertical middle more than 50 above the top or 50 or more below the bottom.
  struct Case {
    int side;
    int x, y;  // test point of the docked side
    bool released;
  } cases[] = {
      {MAG_RIGHT, 449, 300, false}, {MAG_RIGHT, 450, 300, true},  {MAG_RIGHT, 350, 300, false},
      {MAG_RIGHT, 349, 300, true},  {MAG_RIGHT, 400, 50, false},  {MAG_RIGHT, 400, 49, true},
      {MAG_RIGHT, 400, 549, false}, {MAG_RIGHT, 400, 550, true},
      {MAG_LEFT, 50, 300, false},   {MAG_LEFT, 49, 300, true},    {MAG_LEFT, 149, 300, false},
      {MAG_LEFT, 150, 300, true},
      {MAG_TOP, 250, 50, false},    {MAG_TOP, 250, 49, true},     {MAG_TOP, 250, 149, false},
      {MAG_TOP, 250, 150, true},    {MAG_TOP, 450, 100, true},
      {MAG_BOTTOM, 250, 450, false}, {MAG_BOTTOM, 250, 449, true}, {MAG_BOTTOM, 250, 549, false},
      {MAG_BOTTOM, 250, 550, true},  {MAG_BOTTOM, 49, 500, true},
  };
  for (const auto& c : cases) {
    const MagRect p = WithTestPoint(c.side, c.x, c.y);
    const DockDecision want = c.released ? DockDecision{DockDecision::Undock, c.side} : DockDecision{};
    EXPECT_EQ(DecideDock(true, c.side, MAG_ANY, kOwner, p), want) << Name(c.side) << " at " << c.x << "," << c.y;
  }
}

TEST(MagRules, ReleaseAndCaptureNeverHappenInTheSameStep) {
  // Docked on the right, dragged below the owner: it leaves the right zone
  // and enters the bottom one, but is only released in this step.
  const MagRect p = {200, 510, 300, 560};
  EXPECT_EQ(DecideDock(true, MAG_RIGHT, MAG_ANY, kOwner, p), (DockDecision{DockDecision::Undock, MAG_RIGHT}));
  // The next step, now free, captures it at the bottom.
  EXPECT_EQ(DecideDock(false, 0, MAG_ANY, kOwner, p), (DockDecision{DockDecision::Dock, MAG_BOTTOM}));
  // Docked and still in its zone: nothing, even where another zone also holds it.
  const MagRect corner = {360, 480, 480, 560};
  EXPECT_EQ(DecideDock(true, MAG_RIGHT, MAG_ANY, kOwner, corner), DockDecision{});
}

TEST(MagRules, FirstOwnerDragStepRecordsTheOffsetAndMovesOnlyAcrossTheEdge) {
  // Child docked on the right, 20 pixels lower than the owner's top.
  const MagRect child = {400, 120, 600, 270};
  int offset = 0;
  // Owner dragged by (30, 40): the offset is taken from the proposed owner
  // and the child's current place, so the child moves only horizontally.
  MagRect moved = CarryChild(MAG_RIGHT, {130, 140, 430, 540}, child, &offset);
  EXPECT_EQ(offset, 20);
  EXPECT_EQ(moved, (MagRect{430, 120, 630, 270}));
  // From the next step on it keeps that offset.
  moved = CarryChild(MAG_RIGHT, {150, 170, 450, 570}, moved, &offset);
  EXPECT_EQ(offset, 20);
  EXPECT_EQ(moved, (MagRect{450, 150, 650, 300}));
}

TEST(MagRules, CarryingPutsTheChildFlushAgainstEachSide) {
  const MagRect p = {130, 140, 430, 540};  // proposed owner
  struct Case {
    int side;
    MagRect child;
    int offsetIn;
    MagRect want;
    int offsetOut;
  } cases[] = {
      {MAG_RIGHT, {400, 100, 600, 250}, 15, {430, 125, 630, 275}, 15},
      {MAG_LEFT, {-100, 100, 100, 250}, 15, {-70, 125, 130, 275}, 15},
      {MAG_LEFT, {-100, 100, 100, 250}, 0, {-70, 100, 130, 250}, 40},
      {MAG_TOP, {150, -50, 350, 100}, -20, {150, -10, 350, 140}, -20},
      {MAG_TOP, {150, -50, 350, 100}, 0, {150, -10, 350, 140}, -20},
      {MAG_BOTTOM, {90, 500, 290, 650}, 0, {90, 540, 290, 690}, 40},
      {MAG_BOTTOM, {90, 500, 290, 650}, 7, {123, 540, 323, 690}, 7},
      // An unknown side leaves the child where it is.
      {0, {90, 500, 290, 650}, 0, {90, 500, 290, 650}, 0},
      {MAG_ANY, {90, 500, 290, 650}, 0, {90, 500, 290, 650}, 0},
  };
  for (const auto& c : cases) {
    int offset = c.offsetIn;
    EXPECT_EQ(CarryChild(c.side, p, c.child, &offset), c.want) << Name(c.side) << " offset " << c.offsetIn;
    EXPECT_EQ(offset, c.offsetOut) << Name(c.side) << " offset " << c.offsetIn;
  }
}

TEST(MagRules, OffsetOfZeroIsTakenAgainAtTheNextStep) {
  // Owner first dragged sideways only: the recorded offset is 0, which
  // counts as not recorded, so the first vertical step records its own.
  MagRect child = {400, 100, 600, 250};
  int offset = 0;
  child = CarryChild(MAG_RIGHT, {110, 100, 410, 500}, child, &offset);
  EXPECT_EQ(offset, 0);
  EXPECT_EQ(child, (MagRect{410, 100, 610, 250}));
  child = CarryChild(MAG_RIGHT, {120, 130, 420, 530}, child, &offset);
  EXPECT_EQ(offset, 30);
  EXPECT_EQ(child, (MagRect{420, 100, 620, 250}));
  child = CarryChild(MAG_RIGHT, {120, 160, 420, 560}, child, &offset);
  EXPECT_EQ(child, (MagRect{420, 130, 620, 280}));
}

TEST(MagRules, PlacementRequestStaysFlushAndKeepsTheSize) {
  const MagRect self = {400, 120, 600, 270};  // 200 x 150
  struct Case {
    int side;
    MagRect self;
    int x, y;
    MagRect want;
    int offset;
  } cases[] = {
      // Along the edge it goes where it was asked, across the edge it stays flush.
      {MAG_RIGHT, self, 473, 300, {400, 300, 600, 450}, -20},
      {MAG_LEFT, {-100, 80, 100, 230}, 12, 60, {-100, 60, 100, 210}, 20},
      {MAG_TOP, {150, -50, 350, 100}, 170, -90, {170, -50, 370, 100}, -50},
      {MAG_BOTTOM, {90, 500, 290, 650}, 40, 520, {40, 500, 240, 650}, 10},
      // Unknown side: the request is replaced by the current place.
      {0, self, 10, 10, self, 99},
  };
  for (const auto& c : cases) {
    int offset = 99;
    const MagRect r = SnapPlacement(c.side, kOwner, c.self, c.x, c.y, &offset);
    EXPECT_EQ(r, c.want) << Name(c.side);
    EXPECT_EQ(r.Width(), c.self.Width()) << Name(c.side);
    EXPECT_EQ(r.Height(), c.self.Height()) << Name(c.side);
    EXPECT_EQ(offset, c.offset) << Name(c.side);
  }
}

TEST(MagRules, HiddenChildIsLeftBehindAndSnapsBackWhenShown) {
  MagRect owner = kOwner;
  MagRect child = {400, 100, 600, 250};  // docked right, tops level
  int entryOffset = 0;
  const bool visible = false;
  // Three drag steps of the owner while the child is hidden.
  for (int step = 1; step <= 3; ++step) {
    owner = MoveRectTo(owner, owner.left + 40, owner.top + 25);
    if (IsCarried(true, visible)) child = CarryChild(MAG_RIGHT, owner, child, &entryOffset);
  }
  EXPECT_EQ(child, (MagRect{400, 100, 600, 250}));
  EXPECT_FALSE(IsCarried(false, true));
  EXPECT_TRUE(IsCarried(true, true));
  // Shown again: flush against the owner's right edge at its own offset.
  EXPECT_EQ(PlaceOnShow(MAG_RIGHT, owner, child, 0), (MagRect{520, 175, 720, 325}));
  EXPECT_EQ(PlaceOnShow(MAG_RIGHT, owner, child, -30), (MagRect{520, 205, 720, 355}));
  EXPECT_EQ(PlaceOnShow(MAG_LEFT, owner, child, 10), (MagRect{20, 165, 220, 315}));
  EXPECT_EQ(PlaceOnShow(MAG_TOP, owner, child, 10), (MagRect{210, 25, 410, 175}));
  EXPECT_EQ(PlaceOnShow(MAG_BOTTOM, owner, child, -10), (MagRect{230, 575, 430, 725}));
  EXPECT_EQ(PlaceOnShow(0, owner, child, 10), child);
}
