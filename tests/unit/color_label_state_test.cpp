#include <gtest/gtest.h>

#include "tools/color_label_state.h"

using namespace tallivo;

TEST(ColorLabelState, ContactLabelTurnsBlueUnderThePointerWithoutUnderline) {
  ColorLabelState s;
  s.SetTextColour(kLabelRed);
  EXPECT_EQ(s.TextColour(), kLabelRed);
  EXPECT_FALSE(s.Underline());
  s.Enter();
  EXPECT_TRUE(s.Hovering());
  EXPECT_EQ(s.TextColour(), kLabelBlue);
  EXPECT_FALSE(s.Underline());
  s.Leave();
  EXPECT_FALSE(s.Hovering());
  EXPECT_EQ(s.TextColour(), kLabelRed);
}

TEST(ColorLabelState, UnderlineOnHoverShowsABlueLineOnlyWhileHovering) {
  ColorLabelState s;
  s.SetTextColour(kLabelRed);
  s.SetUnderlineOnHover(true);
  EXPECT_FALSE(s.Underline());
  s.Enter();
  EXPECT_TRUE(s.Underline());
  EXPECT_EQ(s.UnderlineColour(), kLabelBlue);
  EXPECT_EQ(s.TextColour(), kLabelBlue);
  s.Leave();
  EXPECT_FALSE(s.Underline());
  EXPECT_EQ(s.TextColour(), kLabelRed);
}

TEST(ColorLabelState, UnderlineOnHoverPutsThePlainUnderlineAsideAndBringsItBack) {
  ColorLabelState s;
  s.SetUnderline(true, 0x00FF00);
  s.SetUnderlineOnHover(true);
  EXPECT_FALSE(s.Underline());
  s.SetUnderlineOnHover(false);
  EXPECT_TRUE(s.Underline());
  EXPECT_EQ(s.UnderlineColour(), 0x00FF00u);
}

TEST(ColorLabelState, RepeatedEnterOrLeaveKeepsTheSavedColour) {
  ColorLabelState s;
  s.SetTextColour(kLabelRed);
  s.Enter();
  s.Enter();  // a second enter must not save blue as the colour to come back to
  s.Leave();
  EXPECT_EQ(s.TextColour(), kLabelRed);
  s.Leave();
  EXPECT_EQ(s.TextColour(), kLabelRed);
}

TEST(ColorLabelState, WithoutHoverColourTheTextKeepsItsColour) {
  ColorLabelState s;
  s.SetTextColour(kLabelRed);
  s.SetHoverColour(false);
  s.Enter();
  EXPECT_EQ(s.TextColour(), kLabelRed);
}

TEST(ColorLabelState, Layout) {
  // A 12-pixel label with a 12-pixel font: text at the top.
  LabelLayout l = LayoutLabel(0, 12, 12);
  EXPECT_EQ(l.textX, 4);
  EXPECT_EQ(l.textY, 0);
  EXPECT_EQ(l.lineX0, 2);
  EXPECT_EQ(l.lineX1, 182);  // 180 pixels whatever the text
  EXPECT_EQ(l.lineY, 13);
  // Taller label: centred, the odd pixel dropped.
  l = LayoutLabel(0, 21, 12);
  EXPECT_EQ(l.textY, 4);
  EXPECT_EQ(l.lineY, 17);
  // Lower than the font: truncation toward zero.
  l = LayoutLabel(0, 9, 12);
  EXPECT_EQ(l.textY, -1);
}
