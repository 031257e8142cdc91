#include <gtest/gtest.h>

#include "ui/field_check.h"

using ui::ParseUintField;
using ui::UintField;

TEST(FieldCheck, ParsesBetweenTheBounds) {
  struct Case {
    const char* text;
    UintField result;
    uint32_t value;
  } cases[] = {
      {"10", UintField::Ok, 10},
      {"5000", UintField::Ok, 5000},
      {" 30 ", UintField::Ok, 30},
      {"\t30\t", UintField::Ok, 30},
      {"0030", UintField::Ok, 30},
      {"9", UintField::OutOfRange, 0},
      {"0", UintField::OutOfRange, 0},
      {"5001", UintField::OutOfRange, 0},
      // Too large for 32 bits: refused, not wrapped to 10.
      {"4294967306", UintField::OutOfRange, 0},
      {"99999999999999999999999999999", UintField::OutOfRange, 0},
      {"", UintField::NotANumber, 0},
      {"   ", UintField::NotANumber, 0},
      {"30x", UintField::NotANumber, 0},
      {"x30", UintField::NotANumber, 0},
      {"-5", UintField::NotANumber, 0},
      {"-0", UintField::NotANumber, 0},
      {"+30", UintField::NotANumber, 0},
      {"3 0", UintField::NotANumber, 0},
      {"30.0", UintField::NotANumber, 0},
      {"\xA3\xB3\xA3\xB0", UintField::NotANumber, 0},  // full-width 30 in GBK
  };
  for (const auto& c : cases) {
    uint32_t v = 0;
    EXPECT_EQ(ParseUintField(c.text, 10, 5000, &v), c.result) << '"' << c.text << '"';
    if (c.result == UintField::Ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST(FieldCheck, RefusedValueLeavesTheOutputAlone) {
  uint32_t v = 77;
  EXPECT_EQ(ParseUintField("9", 10, 5000, &v), UintField::OutOfRange);
  EXPECT_EQ(v, 77u);
}
