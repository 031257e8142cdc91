// The rules behind the small tools (version check, idle shutdown, hotkey, contact label, number fields, file errors)
// and the per-process panel without windows: magnetic docking, the chosen process's share, the picker's names.
#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "main/tray_rules.h"
#include "process/process_text.h"
#include "tools/autostart_rules.h"
#include "tools/hotkey_rules.h"
#include "tools/idle_shutdown.h"
#include "ui/color_label_state.h"
#include "ui/dpi_rules.h"
#include "ui/field_check.h"
#include "ui/file_error.h"
#include "ui/mag_rules.h"
#include "ui/shown_texts.h"
#include "update/update_logic.h"

using namespace tallivo;

// The version between the first two markers (only the first pair counts), read as VersionNumber reads it,
// against our own 4.04: 4.4 is higher as a number. Only the exact "Error" is a failure.
TEST(UpdateLogic, TheServerAnswerItsVersionNumberAndItsCappedBody) {
  using C = CheckOutcome;
  const std::pair<const char*, CheckOutcome> cases[] = {
      {"#4.4#", C::Upgrade},   {"#4.04#", C::Current},      {"#4.039#", C::Current},
      {"##", C::Current},      {"#4.05", C::Current},       {"", C::Current},
      {"#1#9.9#", C::Current}, {"Error", C::NetworkFailed}, {"Error ", C::Current}};
  for (const auto& [body, outcome] : cases) EXPECT_EQ(EvaluateResponse(body), outcome) << body;
  // Read exactly: "4.040" is the same number as our 4.04 (no upgrade); what is no decimal number reads 0.
  const std::pair<const char*, double> numbers[] = {
      {"4.04", 4.04}, {" \t\n\v\f\r4.04", 4.04}, {"+5", 5},       {"-5", -5},          {"-.5", -0.5}, {"5.", 5},
      {".5", 0.5},    {"4.05e0", 4.05},          {"4.05e", 4.05}, {"4.05e+", 4.05},    {"2E-1", 0.2}, {"1e+2x", 100},
      {"4,05", 4},    {"00.000001", 1e-6},       {"4.040", 4.04}, {"1e999", HUGE_VAL}, {"0x10", 0},   {"inf", 0},
      {"nan", 0},     {"", 0},                   {".", 0},        {"+", 0},            {"- 5", 0},    {"e5", 0},
      {"0e99999", 0}, {"4.0400000000000000000001", 4.04}, {"12345678901234567890123", 1.2345678901234568e22},
      // Leading zeros are not significant; the exact powers of ten end at 1e22; 2^60 + 896 rounds on its 19th digit.
      {"0000000000000000000.5", .5}, {"5e-22", 5e-22}, {"3e23", 3e23}, {"1e-23", 1e-23},
      {"1152921504606847872", 1152921504606847872.0}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(VersionNumber(text), value) << text;
  ResponseBody b;
  b.Append("ab\0cd", 5);  // a zero byte ends the chunk's text
  b.Append("ef", 2);
  EXPECT_EQ(b.Text(), "abef");
  const std::string chunk(16384, 'y');
  size_t chunks = 0;
  while (b.Append(chunk.data(), chunk.size())) ASSERT_LT(++chunks, 1000u);
  EXPECT_EQ(b.Text().size(), ResponseBody::kCap);
  EXPECT_FALSE(b.Append("z", 1));
}

// Due from the millisecond the idle time reaches the limit, and on while idle; across a wrap of the tick counter
// between the last input and now; never with a limit below the smallest valid one.
TEST(IdleShutdown, DueExactlyWhenTheIdleMinutesReachTheLimit) {
  constexpr uint32_t m = 60000, t = 5000000, w = 0xFFFFFFFFu - 999;  // w + 1000 wraps to 0
  const std::tuple<uint32_t, uint32_t, uint32_t, bool> cases[] = {
      {10, t + 10 * m - 1, t, false},    {10, t + 10 * m, t, true},    {10, t + 600 * m, t, true},
      {5000, 100 + 5000 * m, 100, true}, {10, 10 * m - 1000, w, true}, {10, 10 * m - 1001, w, false},
      {9, 0xFFFFFFF0u, 0, false},        {0, 0xFFFFFFF0u, 0, false}};
  for (const auto& [limit, now, last, due] : cases)
    EXPECT_EQ(IdleShutdownDue(limit, now, last), due) << "limit " << limit << " now " << now;
  for (const auto& [minutes, accepted] : {std::pair(9u, false), {10u, true}, {5000u, true}, {5001u, false}})
    EXPECT_EQ(IdleLimitAccepted(minutes), accepted) << minutes;
}

// The key edit takes 'A' to 'Z' and '.', cut before the first other character (bytes are signed: no byte of a GBK
// character passes). "." is the period key, never 0x2E (Delete: Ctrl+Alt+Delete is the system's). A Run value left in
// either key still starts the program: it is never reported off; nothing removed from either is "was off".
TEST(AutoStartRules, OutcomeOfTheRunKeysAndTheMarker) {
  using R = RunKeyResult;
  const std::tuple<R, R, bool, const char*> cases[] = {{R::Done, R::Absent, false, nullptr},
                                                       {R::Absent, R::Done, false, nullptr},
                                                       {R::Absent, R::Absent, false, kAutoStartWasOff},
                                                       {R::Failed, R::Done, true, kAutoStartStillOn},
                                                       {R::Done, R::NoAccess, true, kAutoStartStillOn},
                                                       {R::NoAccess, R::Absent, true, kAutoStartStillOn},
                                                       {R::Absent, R::Failed, true, kAutoStartStillOn}};
  for (const auto& [machine, user, on, message] : cases) {
    const AutoStartOutcome o = UnregisterOutcome(machine, user);
    EXPECT_EQ(std::pair(o.on, o.message), std::pair(on, message)) << int(machine) << "," << int(user);
  }
  for (R r : {R::Absent, R::NoAccess, R::Failed})
    EXPECT_EQ(std::pair(RegisterOutcome(r).on, RegisterOutcome(r).message), std::pair(false, kAutoStartFailed));
  for (const auto& [content, on] : {std::pair("1", true), {"10", true}, {"0", false}, {"", false}, {" 1", false}})
    EXPECT_EQ(MarkerSaysOn(content), on) << content;
}

// Only the very first start (flag 0) records itself; only flag 1 starts in the tray; 1 and 2 have their own balloons.
TEST(TrayRules, FirstRunFlag) {
  for (const auto& [flag, writes, hidden] :
       {std::tuple(0, true, false), {1, false, true}, {2, false, false}, {3, false, false}}) {
    const StartAction a = StartActionForFlag(flag);
    EXPECT_EQ(std::pair(a.writeFlagOne, a.startHidden), std::pair(writes, hidden)) << flag;
  }
  EXPECT_FALSE(BalloonForFlag(0) || BalloonForFlag(3));
}

TEST(HotkeyRules, OnlyCapitalsAndThePeriodBecomeKeys) {
  const std::tuple<std::string, std::string, unsigned> cases[] = {
      {"A", "A", 0x41}, {"Z", "Z", 0x5A},   {".", ".", 0xBE},   {"@", "", 0},  {"[", "", 0}, {"a", "", 0},
      {"5", "", 0},     {"A5B", "A", 0x41}, {"Q中", "Q", 0x51}, {"中", "", 0}, {"", "", 0}};
  for (const auto& [text, kept, key] : cases) {
    EXPECT_EQ(FilterHotkeyText(text), kept) << text;
    EXPECT_EQ(HotkeyVirtualKey(HotkeyKeyFromText(text)), key) << text;
  }
  EXPECT_EQ(HotkeyKeyFromText("中"), -28);  // its first UTF-8 byte 0xE4, signed
  EXPECT_EQ(HotkeyEditText(0x41) + "|" + HotkeyEditText(0), "A|");
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
  s.SetTextColour(0x123456);
  s.Leave();
  EXPECT_EQ(s.TextColour(), 0x123456u);
  // A taller label: centred, the odd pixel dropped; the line 180 px long from 2 px left of the text, one row below it.
  const LabelLayout l = LayoutLabel(0, 21, 12);
  EXPECT_EQ(std::tie(l.textX, l.textY, l.lineX0, l.lineX1, l.lineY), std::make_tuple(4, 4, 2, 182, 17));
}

// What each Put, or the catch-up as the window comes on screen (key 0), writes ("key=text ..."). The same text
// elsewhere is its own, an empty one too; hidden, nothing is written and the last text of each wins when shown; changed
// and changed back while hidden, nothing is left to catch up.
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

// Blanks around the digits are allowed; a value too large for 32 bits is refused, not wrapped (4294967306 would be 10);
// a refused value changes nothing.
TEST(FieldCheck, ParsesBetweenTheBounds) {
  using ui::UintField;
  const std::tuple<const char*, UintField, uint32_t> cases[] = {
      {" 0030 ", UintField::Ok, 30},       {"\t10\t", UintField::Ok, 10},
      {"5000", UintField::Ok, 5000},       {"9", UintField::OutOfRange, 77},
      {"5001", UintField::OutOfRange, 77}, {"4294967306", UintField::OutOfRange, 77},
      {"", UintField::NotANumber, 77},     {"30x", UintField::NotANumber, 77},
      {"-5", UintField::NotANumber, 77},   {"+30", UintField::NotANumber, 77},
      {"3 0", UintField::NotANumber, 77},  {"３０", UintField::NotANumber, 77}};  // full-width 30
  for (const auto& [text, result, value] : cases) {
    uint32_t v = 77;
    EXPECT_EQ(ui::ParseUintField(text, 10, 5000, &v), result) << '"' << text << '"';
    EXPECT_EQ(v, value) << '"' << text << '"';
  }
}

// Each cause its own text; a "%1" inside the path is the path, not a placeholder.
TEST(FileError, CausesHaveTheirOwnTextsWithThePathAndExceptionsTheirs) {
  const std::pair<unsigned, std::vector<uint32_t>> causes[] = {
      {ui::kIdsFileNotFound, {2, 6, 18}},         {ui::kIdsFileBadPath, {3, 15, 17, 53, 67, 123, 161, 206, 267}},
      {ui::kIdsFileTooManyOpen, {4, 36}},         {ui::kIdsFileAccessDenied, {5, 12, 19, 29, 65, 80, 183}},
      {ui::kIdsFileDirectoryFull, {82}},          {ui::kIdsFileHardIo, {21, 23, 1117}},
      {ui::kIdsFileSharing, {32}},                {ui::kIdsFileLock, {33, 167}},
      {ui::kIdsFileDiskFull, {39, 112, ui::kErrorDiskFull}}, {ui::kIdsFileGeneric, {0, 1, 87, 0xFFFFFFFFu}}};
  for (const auto& [id, errors] : causes)
    for (uint32_t error : errors) EXPECT_EQ(ui::FileErrorStringId(error), id) << error;
  EXPECT_EQ(ui::FormatFileError("没有找到 %1。", "C:\\%1%.txt"), "没有找到 C:\\%1%.txt。");
  EXPECT_EQ(ui::FormatFileError("%1 and %1", "x"), "x and x");
  EXPECT_EQ(ui::FormatFileError("%2 %1", "p"), "%2 p");
  EXPECT_EQ(ui::ExceptionStringId(std::make_exception_ptr(std::bad_alloc())), ui::kIdsOutOfMemory);
  EXPECT_EQ(ui::ExceptionStringId(std::make_exception_ptr(std::length_error("x"))), ui::kIdsCommandFailed);
  EXPECT_EQ(ui::ExceptionStringId(std::make_exception_ptr(42)), ui::kIdsCommandFailed);
  EXPECT_EQ(ui::ExceptionStringId(nullptr), ui::kIdsCommandFailed);
}

namespace {

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

TEST(MagRules, TestPointsAndZonesHalfOpenFiftyPixelsEachWay) {
  // A test point's middle rounds down.
  EXPECT_EQ(TestPoint(MAG_RIGHT, {10, 20, 31, 45}), (MagPoint{10, 32}));
  EXPECT_EQ(TestPoint(MAG_TOP, {10, 20, 31, 45}), (MagPoint{20, 45}));
  EXPECT_EQ(TestPoint(MAG_RIGHT, MagRect{-300, -101, -100, 0}), (MagPoint{-300, -51}));
  // Each side's zone reaches 50 px both ways from the owner's edge and past its ends, left and top borders inside,
  // right and bottom ones outside. A free window is captured only inside, and only where that side is allowed; a docked
  // one is released only when its own test point leaves.
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
  // At 150 % the zones reach 75 px: 60 px inside the right edge is captured there only.
  EXPECT_EQ(DecideDock(false, 0, MAG_RIGHT, kOwner, WithTestPoint(MAG_RIGHT, 340, 300), 144), Dock(MAG_RIGHT));
  EXPECT_EQ(DecideDock(false, 0, MAG_RIGHT, kOwner, WithTestPoint(MAG_RIGHT, 340, 300)), DockDecision{});
}

TEST(MagRules, CornersGoToTheLaterSideReleaseComesFirstAndADockedChildStaysFlush) {
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
  // A child carried by its owner (here dragged to {130, 140, 430, 540}) stays flush and keeps its place along the edge;
  // an offset of 0 means none was recorded yet, and it is taken from this step. An unknown side leaves it.
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
  // Moved by itself, a docked child stays flush and goes along the edge where it was asked; the offset it had is
  // noted. Hidden and shown again, it comes back flush at its offset, on whichever side it is docked.
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

TEST(ProcessText, ShareInWholePercentTruncatedLabelsAndNames) {
  // 0.29 as a double lies just below 0.29; equal totals are 100 %; a process
  // total above the global one (the main counters cleared meanwhile) is 0 %.
  const std::tuple<uint32_t, uint32_t, int> cases[] = {
      {0, 0, 0}, {2, 3, 66}, {29, 100, 28}, {5, 5, 100}, {6, 5, 0}, {1, 0, 0}, {4000000000u, 4000000001u, 100}};
  for (const auto& [process, global, want] : cases) {
    EXPECT_EQ(SharePercent(static_cast<float>(process), static_cast<float>(global)), want)
        << process << " of " << global;
  }
  // A percent sign in a process name is text, not a conversion.
  EXPECT_EQ(ShareLine("a%d%s", 5), "a%d%s 进程占全局比:5%");
  EXPECT_EQ(PanelLeftLabel(1) + PanelRightLabel(2) + PanelMiddleLabel(3) + PanelWheelLabel(4294967295u),
            "左键点击:  1次右键点击:  2次中键点击:  3次中键滚动:  4294967295次");
  EXPECT_EQ(PanelMouseLabel(5) + PanelKeysLabel(6), "鼠标共点击:5次键盘共敲击:6次");
  EXPECT_EQ(ProcessIdText(4) + "|" + ProcessIdText(123456), "    4|123456");
  // The name shown loses only a three-letter extension.
  const std::pair<const char*, const char*> names[] = {{"NOTEPAD.EXE", "NOTEPAD"},     {".exe", ""},
                                                       {"setup.x86.exe", "setup.x86"}, {"记事本.exe", "记事本"},
                                                       {"报告.记事本", "报告"},        {"a.记事", "a.记事"},
                                                       {"kworker", "kworker"},         {"a.b", "a.b"},
                                                       {"python3.11", "python3.11"},   {"tool.jpeg", "tool.jpeg"}};
  for (const auto& [exe, name] : names) EXPECT_EQ(ProcessNameFromExe(exe), name) << exe;
}

// 96-DPI lengths at other DPIs, rounded as MulDiv rounds, and back; windows kept within their monitor's work area.
TEST(DpiRules, LengthsRectanglesAndWindowsInTheWorkArea) {
  const std::tuple<int, int, int, int> lengths[] = {
      {12, 96, 96, 12},    {-12, 96, 144, -18}, {8, 96, 120, 10},  {17, 96, 144, 26},  {17, 96, 120, 21},
      {1, 96, 144, 2},     {-1, 96, 144, -2},   {2, 96, 120, 3},   {-2, 96, 120, -3},  {7, 96, 120, 9},
      {5, 96, 192, 10},    {26, 144, 96, 17},   {3, 96, 0, 3},     {3, 0, 192, 6},     {100000000, 96, 192, 200000000}};
  for (const auto& [length, from, to, want] : lengths)
    EXPECT_EQ(dpi::ScaleBetween(length, from, to), want) << length << " from " << from << " to " << to;
  EXPECT_EQ(dpi::ScaleRect({0, 0, 388, 126}, 144), (PixelRect{0, 0, 582, 189}));
  const PixelRect work = {0, 0, 1024, 738};
  const std::tuple<PixelRect, PixelRect, PixelRect> windows[] = {
      {{100, 100, 500, 600}, work, {100, 100, 500, 600}},
      {{100, 50, 500, 1000}, work, {100, 0, 500, 738}},
      {{-50, -50, 2000, 2000}, work, work},
      {{900, 700, 1300, 900}, work, {624, 538, 1024, 738}},
      {{0, 0, 400, 300}, {1024, 0, 2048, 738}, {1024, 0, 1424, 300}}};
  for (const auto& [window, area, want] : windows) EXPECT_EQ(dpi::FitIntoWorkArea(window, area), want);
}
