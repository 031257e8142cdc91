// The rules behind the small tools: version check, idle shutdown, hotkey,
// the contact label, number fields and file errors.
#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <stdexcept>
#include <string>

#include "tools/hotkey_rules.h"
#include "tools/idle_shutdown.h"
#include "ui/color_label_state.h"
#include "ui/field_check.h"
#include "ui/file_error.h"
#include "ui/shown_texts.h"
#include "update/update_logic.h"

using namespace tallivo;

TEST(UpdateLogic, OutcomeOfServerAnswers) {
  struct Case {
    std::string body;
    CheckOutcome outcome;
  } cases[] = {
      {"<html>newest: #4.05# see site</html>", CheckOutcome::Upgrade},
      {"#4.4#", CheckOutcome::Upgrade},  // 4.4 > 4.04 as numbers
      {"#4.04#", CheckOutcome::Current},
      {"#4.039#", CheckOutcome::Current},
      {"#abc#", CheckOutcome::Current},  // no number at all: 0
      {"##", CheckOutcome::Current},
      {"#4.05", CheckOutcome::Current},  // one marker only
      {"", CheckOutcome::Current},
      {"#5x#", CheckOutcome::Upgrade},  // stops at the first character that does not fit
      {"#4.05 #", CheckOutcome::Upgrade},
      {"#4.05e#", CheckOutcome::Upgrade},  // no exponent without its digits
      {"#4,05#", CheckOutcome::Current},   // 4
      {"#1#9.9#", CheckOutcome::Current},  // only the first pair counts
      {"Error", CheckOutcome::NetworkFailed},
      {"Error ", CheckOutcome::Current},  // only the exact marker is a failure
      // Only decimal numbers: what else the C library reads is no number.
      {"#inf#", CheckOutcome::Current},
      {"#nan#", CheckOutcome::Current},
      {"#0x10#", CheckOutcome::Current},   // "0", then 'x' stops it
      {"#1e999#", CheckOutcome::Upgrade},  // larger than any version
      {"#4.05E0#", CheckOutcome::Upgrade},
      {"#  5#", CheckOutcome::Upgrade},
      {"#+5#", CheckOutcome::Upgrade},
      {"#-1#", CheckOutcome::Current},
      {"#.5#", CheckOutcome::Current},
      {"#5.#", CheckOutcome::Upgrade},
      {"#4.040#", CheckOutcome::Current},  // the same number as "4.04"
      {"#4.0400000000000000000001#", CheckOutcome::Current},  // past the digits a double holds
  };
  for (const auto& c : cases) EXPECT_EQ(EvaluateResponse(c.body), c.outcome) << c.body;
}

TEST(UpdateLogic, VersionTextReadsAsADecimalNumberOnly) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"4.04", 4.04},  {" \t\n\v\f\r4.04", 4.04},
      {"+5", 5},       {"-5", -5},
      {"-.5", -0.5},   {"5.", 5},
      {".5", 0.5},     {"4.05e0", 4.05},
      {"4.05e", 4.05}, {"4.05e+", 4.05},
      {"2E-1", 0.2},   {"1e+2x", 100},
      {"0x10", 0},     {"inf", 0},
      {"nan", 0},      {"", 0},
      {".", 0},        {"+", 0},
      {"- 5", 0},      {"e5", 0},
      {"4,05", 4},     {"12345678901234567890123", 1.2345678901234568e22},
      {"0e99999", 0},  {"00.000001", 1e-6},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(VersionNumber(c.text), c.value) << c.text;
  EXPECT_EQ(VersionNumber("1e999"), HUGE_VAL);
  EXPECT_EQ(VersionNumber("4.040"), VersionNumber("4.04"));  // exactly: "4.040" is no upgrade
}

TEST(UpdateLogic, BodyJoinsChunksStopsAtZeroBytesAndIsCapped) {
  ResponseBody z;
  z.Append("ab\0cd", 5);  // a zero byte ends the chunk's text
  z.Append("ef", 2);
  EXPECT_EQ(z.Text(), "abef");
  ResponseBody b;
  const std::string chunk(16384, 'y');
  size_t chunks = 0;
  while (b.Append(chunk.data(), chunk.size())) ASSERT_LT(++chunks, 1000u);
  EXPECT_EQ(b.Text().size(), ResponseBody::kCap);
  EXPECT_FALSE(b.Append("z", 1));
}

TEST(IdleShutdown, DueExactlyWhenTheIdleMinutesReachTheLimit) {
  constexpr uint32_t kMin = 60000;
  struct Case {
    uint32_t limit, now, last;
    bool due;
  } cases[] = {
      {10, 5000000 + 10 * kMin - 1, 5000000, false},  // a millisecond short of ten minutes
      {10, 5000000 + 10 * kMin, 5000000, true},
      {10, 5000000 + 600 * kMin, 5000000, true},  // longer idle keeps asking
      {5000, 100 + 5000 * kMin, 100, true},
      // The tick counter wrapped between the last input and now.
      {10, 10 * kMin - 1000, 0xFFFFFFFFu - 999, true},
      {10, 10 * kMin - 1001, 0xFFFFFFFFu - 999, false},
      {9, 0xFFFFFFF0u, 0, false},  // only a valid limit arms the check
      {0, 0xFFFFFFF0u, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IdleShutdownDue(c.limit, c.now, c.last), c.due) << "limit " << c.limit << " now " << c.now;
  }
  EXPECT_EQ(IdleMinutes(0, 1), 71582u);  // 2^32 - 1 ms after the input
  EXPECT_FALSE(IdleLimitAccepted(9));
  EXPECT_TRUE(IdleLimitAccepted(5000));
  EXPECT_FALSE(IdleLimitAccepted(5001));
}

TEST(HotkeyRules, OnlyCapitalsAndThePeriodBecomeKeys) {
  struct Case {
    std::string text, kept;
  } cases[] = {
      {"A", "A"}, {".", "."},   {"a", ""},          {"@", ""},
      {"[", ""},  {"A5B", "A"}, {"Q\xD6\xD0", "Q"},  // 中 in GBK: the lead byte is refused
  };
  for (const auto& c : cases) EXPECT_EQ(FilterHotkeyText(c.text), c.kept) << c.text;
  EXPECT_EQ(HotkeyKeyFromText("\xD6"), -42);  // signed byte
  EXPECT_EQ(HotkeyEditText(0x41), "A");
  EXPECT_EQ(HotkeyVirtualKey('Z'), 0x5Au);
  // "." is the period key, never 0x2E (Delete: Ctrl+Alt+Delete is the system's).
  EXPECT_EQ(HotkeyVirtualKey('.'), 0xBEu);
  for (int key : {0, int{'a'}, int{'5'}, -42}) EXPECT_EQ(HotkeyVirtualKey(key), 0u) << key;
}

TEST(ColorLabelState, HoverColourAndUnderline) {
  ColorLabelState s;
  // Underline on hover puts a plain underline aside and brings it back.
  s.SetUnderline(true, 0x00FF00);
  s.SetUnderlineOnHover(true);
  EXPECT_FALSE(s.Underline());
  s.SetUnderlineOnHover(false);
  EXPECT_TRUE(s.Underline());
  EXPECT_EQ(s.UnderlineColour(), 0x00FF00u);
  s.SetUnderlineOnHover(true);
  s.SetTextColour(kLabelRed);
  s.Enter();
  s.Enter();  // a second enter must not save blue as the colour to come back to
  EXPECT_EQ(s.TextColour(), kLabelBlue);
  EXPECT_TRUE(s.Underline());
  EXPECT_EQ(s.UnderlineColour(), kLabelBlue);
  s.Leave();
  EXPECT_EQ(s.TextColour(), kLabelRed);
  EXPECT_FALSE(s.Underline());
  s.SetHoverColour(false);
  s.Enter();
  EXPECT_EQ(s.TextColour(), kLabelRed);
  const LabelLayout l = LayoutLabel(0, 21, 12);  // taller label: centred, the odd pixel dropped
  EXPECT_EQ(l.textY, 4);
  EXPECT_EQ(l.lineY, 17);
}

TEST(ShownTexts, WrittenOnlyWhenChangedAndOnScreenAndCaughtUpWhenShown) {
  ui::ShownTexts shown;
  const struct {
    int key;  // 0: the window comes on screen, catch up
    const char* text;
    bool onScreen;
    const char* written;  // by Put, or by the catch-up ("key=text ...")
  } steps[] = {
      {1001, "左键点击:   0次", true, "1001=左键点击:   0次"},
      {1001, "左键点击:   0次", true, ""},
      {1002, "左键点击:   0次", true, "1002=左键点击:   0次"},  // the same text elsewhere is its own
      {1001, "左键点击:   1次", true, "1001=左键点击:   1次"},
      {1001, "", true, "1001="},
      // Hidden: nothing is written, the last text of each wins when shown.
      {1001, "左键点击:   2次", false, ""},
      {1001, "左键点击:   3次", false, ""},
      {1002, "左键点击:   9次", false, ""},
      {1003, "软件已运行:0时0分1秒", false, ""},
      {0, nullptr, true, "1001=左键点击:   3次 1002=左键点击:   9次 1003=软件已运行:0时0分1秒"},
      {0, nullptr, true, ""},
      {1003, "软件已运行:0时0分1秒", true, ""},
      // Changed and changed back while hidden: nothing to catch up.
      {1001, "左键点击:   4次", false, ""},
      {1001, "左键点击:   3次", false, ""},
      {0, nullptr, true, ""},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(testing::Message() << s.key << " " << (s.text ? s.text : "catch up"));
    std::string written;
    if (s.key == 0) {
      shown.CatchUp([&](int key, const std::string& text) {
        written += (written.empty() ? "" : " ") + std::to_string(key) + "=" + text;
      });
    } else if (shown.Put(s.key, s.text, s.onScreen)) {
      written = std::to_string(s.key) + "=" + s.text;
    }
    EXPECT_EQ(written, s.written);
  }
}

TEST(FieldCheck, ParsesBetweenTheBounds) {
  using ui::UintField;
  struct Case {
    const char* text;
    UintField result;
  } cases[] = {
      {" 0030 ", UintField::Ok},
      {"9", UintField::OutOfRange},
      {"5001", UintField::OutOfRange},
      {"4294967306", UintField::OutOfRange},  // too large for 32 bits: refused, not wrapped to 10
      {"", UintField::NotANumber},
      {"30x", UintField::NotANumber},
      {"-5", UintField::NotANumber},
      {"+30", UintField::NotANumber},
      {"3 0", UintField::NotANumber},
      {"\xA3\xB3\xA3\xB0", UintField::NotANumber},  // full-width 30 in GBK
  };
  for (const auto& c : cases) {
    uint32_t v = 77;
    EXPECT_EQ(ui::ParseUintField(c.text, 10, 5000, &v), c.result) << '"' << c.text << '"';
    EXPECT_EQ(v, c.result == UintField::Ok ? 30u : 77u) << c.text;  // a refused value changes nothing
  }
}

TEST(FileError, CausesHaveTheirOwnTextsWithThePath) {
  struct Case {
    uint32_t error;
    unsigned id;
  } cases[] = {
      {5, ui::kIdsFileAccessDenied}, {3, ui::kIdsFileBadPath},           {123, ui::kIdsFileBadPath},
      {32, ui::kIdsFileSharing},     {112, ui::kIdsFileDiskFull},        {ui::kErrorDiskFull, ui::kIdsFileDiskFull},
      {87, ui::kIdsFileGeneric},     {0xFFFFFFFFu, ui::kIdsFileGeneric},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::FileErrorStringId(c.error), c.id) << c.error;
  // A "%1" inside the path is the path, not a placeholder.
  EXPECT_EQ(ui::FormatFileError("没有找到 %1。", "C:\\%1%.txt"), "没有找到 C:\\%1%.txt。");
  EXPECT_EQ(ui::FormatFileError("%1 and %1", "x"), "x and x");
  EXPECT_EQ(ui::FormatFileError("%2 %1", "p"), "%2 p");
}

TEST(FileError, AnEscapedExceptionIsOutOfMemoryOrAFailedCommand) {
  EXPECT_EQ(ui::ExceptionStringId(std::make_exception_ptr(std::bad_alloc())), ui::kIdsOutOfMemory);
  EXPECT_EQ(ui::ExceptionStringId(std::make_exception_ptr(std::bad_array_new_length())), ui::kIdsOutOfMemory);
  EXPECT_EQ(ui::ExceptionStringId(std::make_exception_ptr(std::length_error("x"))), ui::kIdsCommandFailed);
  EXPECT_EQ(ui::ExceptionStringId(std::make_exception_ptr(42)), ui::kIdsCommandFailed);
  EXPECT_EQ(ui::ExceptionStringId(nullptr), ui::kIdsCommandFailed);
}
