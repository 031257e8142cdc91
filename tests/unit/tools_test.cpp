// The rules behind the small tools: version check, idle shutdown, hotkey,
// the contact label, number fields and file errors.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

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
      // The C library reads these as numbers newer than any version; a
      // server that sends them has said nothing readable.
      {"#inf#", CheckOutcome::Unreadable},
      {"#INFINITY#", CheckOutcome::Unreadable},
      {"#nan#", CheckOutcome::Unreadable},
      {"#0x10#", CheckOutcome::Unreadable},
      {"#1e999#", CheckOutcome::Unreadable},
      {"#4.05E0#", CheckOutcome::Unreadable},
      {"#  5#", CheckOutcome::Unreadable},
      {"#\t5#", CheckOutcome::Unreadable},
      {"#+5#", CheckOutcome::Unreadable},
      {"#-1#", CheckOutcome::Unreadable},
      {"#.5#", CheckOutcome::Unreadable},
      {"#5.#", CheckOutcome::Unreadable},
  };
  for (const auto& c : cases) EXPECT_EQ(EvaluateResponse(c.body), c.outcome) << c.body;
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

// Due from the millisecond the idle time reaches the limit, and on while
// idle; across a wrap of the tick counter between the last input and now;
// never with a limit below the smallest valid one.
TEST(IdleShutdown, DueExactlyWhenTheIdleMinutesReachTheLimit) {
  constexpr uint32_t kMin = 60000, t = 5000000;
  const std::tuple<uint32_t, uint32_t, uint32_t, bool> cases[] = {{10, t + 10 * kMin - 1, t, false},
                                                                  {10, t + 10 * kMin, t, true},
                                                                  {10, t + 600 * kMin, t, true},
                                                                  {5000, 100 + 5000 * kMin, 100, true},
                                                                  {10, 10 * kMin - 1000, 0xFFFFFFFFu - 999, true},
                                                                  {10, 10 * kMin - 1001, 0xFFFFFFFFu - 999, false},
                                                                  {9, 0xFFFFFFF0u, 0, false},
                                                                  {0, 0xFFFFFFF0u, 0, false}};
  for (const auto& [limit, now, last, due] : cases) {
    EXPECT_EQ(IdleShutdownDue(limit, now, last), due) << "limit " << limit << " now " << now;
  }
  for (const auto& [minutes, accepted] : {std::pair(9u, false), {10u, true}, {5000u, true}, {5001u, false}})
    EXPECT_EQ(IdleLimitAccepted(minutes), accepted) << minutes;
}

// The key edit takes 'A' to 'Z' and '.', cut before the first other
// character (bytes are signed: no byte of a GBK character passes). "." is
// the period key, never 0x2E (Delete: Ctrl+Alt+Delete is the system's).
TEST(HotkeyRules, OnlyCapitalsAndThePeriodBecomeKeys) {
  const std::tuple<std::string, std::string, unsigned> cases[] = {
      {"A", "A", 0x41}, {"Z", "Z", 0x5A},   {".", ".", 0xBE},         {"@", "", 0},    {"[", "", 0}, {"a", "", 0},
      {"5", "", 0},     {"A5B", "A", 0x41}, {"Q\xD6\xD0", "Q", 0x51}, {"\xD6", "", 0}, {"", "", 0}};
  for (const auto& [text, kept, key] : cases) {
    EXPECT_EQ(FilterHotkeyText(text), kept) << text;
    EXPECT_EQ(HotkeyVirtualKey(HotkeyKeyFromText(text)), key) << text;
  }
  EXPECT_EQ(HotkeyKeyFromText("\xD6"), -42);  // signed byte
  EXPECT_EQ(HotkeyEditText(0x41), "A");
  EXPECT_EQ(HotkeyEditText(0), "");
}

TEST(ColorLabelState, HoverColourAndUnderline) {
  ColorLabelState s;
  const auto state = [&] { return std::tuple(s.TextColour(), s.Underline(), s.UnderlineColour()); };
  // Underline on hover puts a plain underline aside and brings it back.
  s.SetUnderline(true, 0x00FF00);
  s.SetUnderlineOnHover(true);
  EXPECT_FALSE(s.Underline());
  s.SetUnderlineOnHover(false);
  EXPECT_EQ(state(), std::tuple(kLabelBlack, true, 0x00FF00u));
  s.SetUnderlineOnHover(true);
  s.SetTextColour(kLabelRed);
  s.Enter();
  s.Enter();  // a second enter must not save blue as the colour to come back to
  EXPECT_EQ(state(), std::tuple(kLabelBlue, true, kLabelBlue));
  s.Leave();
  EXPECT_EQ(state(), std::tuple(kLabelRed, false, kLabelBlack));
  s.SetTextColour(kLabelBlack);
  s.Leave();  // a second leave must not bring back red
  EXPECT_EQ(s.TextColour(), kLabelBlack);
  // Without the hover colour the text keeps its own, also one set meanwhile.
  s.SetHoverColour(false);
  s.Enter();
  EXPECT_EQ(s.TextColour(), kLabelBlack);
  s.SetTextColour(kLabelRed);
  s.Leave();
  EXPECT_EQ(s.TextColour(), kLabelRed);
  // A taller label: centred, the odd pixel dropped; the line 180 px long
  // from 2 px left of the text, one row below it.
  const LabelLayout l = LayoutLabel(0, 21, 12);
  EXPECT_EQ(std::tie(l.textX, l.textY, l.lineX0, l.lineX1, l.lineY), std::make_tuple(4, 4, 2, 182, 17));
}

// What each Put, or the catch-up as the window comes on screen (key 0),
// writes ("key=text ..."). The same text elsewhere is its own, an empty one
// too; hidden, nothing is written and the last text of each wins when shown;
// changed and changed back while hidden, nothing is left to catch up.
TEST(ShownTexts, WrittenOnlyWhenChangedAndOnScreenAndCaughtUpWhenShown) {
  ui::ShownTexts shown;
  const std::tuple<int, const char*, bool, const char*> steps[] = {
      {1, "a", true, "1=a"}, {1, "a", true, ""},  {2, "a", true, "2=a"},        {1, "b", true, "1=b"},
      {1, "", true, "1="},   {4, "", true, "4="}, {1, "c", false, ""},          {1, "d", false, ""},
      {2, "e", false, ""},   {3, "f", false, ""}, {0, "", true, "1=d 2=e 3=f"}, {0, "", true, ""},
      {3, "f", true, ""},    {1, "g", false, ""}, {1, "d", false, ""},          {0, "", true, ""}};
  for (const auto& [key, text, onScreen, want] : steps) {
    std::string written;
    if (key == 0) {
      shown.CatchUp(
          [&](int k, const std::string& t) { written += (written.empty() ? "" : " ") + std::to_string(k) + "=" + t; });
    } else if (shown.Put(key, text, onScreen)) {
      written = std::to_string(key) + "=" + text;
    }
    EXPECT_EQ(written, want) << key << " " << text;
  }
}

// Blanks around the digits are allowed; a value too large for 32 bits is
// refused, not wrapped (4294967306 would be 10); a refused value changes
// nothing.
TEST(FieldCheck, ParsesBetweenTheBounds) {
  using ui::UintField;
  const std::tuple<const char*, UintField, uint32_t> cases[] = {
      {" 0030 ", UintField::Ok, 30},       {"\t10\t", UintField::Ok, 10},
      {"5000", UintField::Ok, 5000},       {"9", UintField::OutOfRange, 77},
      {"5001", UintField::OutOfRange, 77}, {"4294967306", UintField::OutOfRange, 77},
      {"", UintField::NotANumber, 77},     {"30x", UintField::NotANumber, 77},
      {"-5", UintField::NotANumber, 77},   {"+30", UintField::NotANumber, 77},
      {"3 0", UintField::NotANumber, 77},  {"\xA3\xB3\xA3\xB0", UintField::NotANumber, 77}};  // full-width 30 in GBK
  for (const auto& [text, result, value] : cases) {
    uint32_t v = 77;
    EXPECT_EQ(ui::ParseUintField(text, 10, 5000, &v), result) << '"' << text << '"';
    EXPECT_EQ(v, value) << '"' << text << '"';
  }
}

// Each cause its own text; a "%1" inside the path is the path, not a
// placeholder.
TEST(FileError, CausesHaveTheirOwnTextsWithThePath) {
  const std::pair<uint32_t, unsigned> cases[] = {
      {2, ui::kIdsFileNotFound},       {5, ui::kIdsFileAccessDenied},     {19, ui::kIdsFileAccessDenied},
      {3, ui::kIdsFileBadPath},        {123, ui::kIdsFileBadPath},        {4, ui::kIdsFileTooManyOpen},
      {82, ui::kIdsFileDirectoryFull}, {21, ui::kIdsFileHardIo},          {32, ui::kIdsFileSharing},
      {33, ui::kIdsFileLock},          {112, ui::kIdsFileDiskFull},       {ui::kErrorDiskFull, ui::kIdsFileDiskFull},
      {87, ui::kIdsFileGeneric},       {0xFFFFFFFFu, ui::kIdsFileGeneric}};
  for (const auto& [error, id] : cases) EXPECT_EQ(ui::FileErrorStringId(error), id) << error;
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
