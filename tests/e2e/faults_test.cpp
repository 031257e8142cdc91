// Faults a program that runs all day meets: hard kills, damaged stored
// figures, a broken installation.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "harness.h"
#include "base/messages.h"
#include "res/resource.h"
#include "stats/stats_text.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

// The day as stored, "month day left right middle keys distance wheel t":
// "?" for an entry not stored as a number, "t" when the running time is one.
std::string StoredDay() {
  std::string day;
  DWORD v = 0;
  for (const char* e : {"Month", "Day"}) day += ReadProfileDword("DateCur", e, &v) ? std::to_string(v) + " " : "? ";
  for (const char* e : {"MouseLeft", "MouseRight", "MouseMiddle", "KeyBoard", "MouseMove", "MouseRoll"})
    day += ReadProfileDword("DataSetting", e, &v) ? std::to_string(v) + " " : "? ";
  return day + (ReadProfileDword("DataSetting", "TimeCount", &v) ? "t" : "?");
}

// The number of a label such as "左键点击:   123次".
uint32_t NumberIn(const std::string& label) {
  const size_t i = label.find_first_of("0123456789");
  return i == std::string::npos ? 0 : static_cast<uint32_t>(std::strtoul(label.c_str() + i, nullptr, 10));
}

TEST(Faults, HardKillLosesAtMostTheLastSecond) {
  ResetProfile();
  uint32_t posted = 0;
  for (DWORD runFor : {1700, 2600, 3400}) {
    SCOPED_TRACE(runFor);
    App app;
    ASSERT_TRUE(app.Start());
    // Each run goes on from what the one before stored.
    ASSERT_TRUE(app.WaitText(IDC_LEFT_CLICKS, tallivo::CounterLabel(tallivo::InputKind::Left, posted), 5000));
    uint32_t shownASecondBefore = 0;
    std::vector<std::pair<DWORD, uint32_t>> seen;  // (tick, shown)
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < runFor) {
      for (int i = 0; i < 10; ++i) PostMessageA(app.Main(), tallivo::WM_INPUT_LBUTTON, 0, 0);
      posted += 10;
      seen.emplace_back(GetTickCount(), NumberIn(app.Text(IDC_LEFT_CLICKS)));
      Sleep(20);
    }
    const DWORD killedAt = GetTickCount();
    TerminateProcess(app.Process(), 9);
    ASSERT_TRUE(app.WaitExit(5000));
    for (const auto& s : seen) {
      if (killedAt - s.first >= 1200) shownASecondBefore = s.second;
    }
    DWORD stored = 0;
    ASSERT_TRUE(ReadProfileDword("DataSetting", "MouseLeft", &stored));
    EXPECT_GE(stored, shownASecondBefore);
    EXPECT_LE(stored, posted);
    posted = stored;
  }
}

// Each row seeds figures of 10 for the stored date, then stores entries of
// another type (REG_NONE: removes them). The program shows the figures it can
// trust, zeros for the rest and for a date that cannot be, and its next save
// writes today's date and proper numbers again.
TEST(Faults, WrongStoredDataStartsSaneAndIsRewritten) {
  const SYSTEMTIME t = Today();
  using Raw = std::tuple<const char*, const char*, DWORD, std::string>;  // section, entry, type, data
  const struct { DWORD month, day; std::vector<Raw> raw; uint32_t wheel; /* the others are 0 */ } cases[] = {
      {t.wMonth, t.wDay,
       {{"DataSetting", "MouseLeft", REG_SZ, {"123", 4}}, {"DataSetting", "MouseRight", REG_BINARY, "\1\2\3\4\5\6"},
        {"DataSetting", "KeyBoard", REG_QWORD, {"\7\0\0\0\1\0\0\0", 8}}, {"DataSetting", "MouseMove", REG_BINARY, ""},
        {"DataSetting", "MouseMiddle", REG_NONE, ""}, {"DataSetting", "TimeCount", REG_NONE, ""},
        {"DataSetting", "MouseRoll", REG_DWORD, "\xFF\xFF\xFF\xFF"}},  // huge but valid: kept
       0xFFFFFFFFu},
      {13, t.wDay, {}, 0}, {t.wMonth, 0, {}, 0}, {0, 0, {}, 0}, {~0u, ~0u, {}, 0},
      {t.wMonth, t.wDay, {{"DateCur", "Month", REG_SZ, std::to_string(t.wMonth) + '\0'}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.month << "/" << c.day << ", " << c.raw.size() << " entries changed");
    ResetProfile();
    SeedDay(c.month, c.day, 10, 10, 10, 10, 10, 10, 10);
    for (const auto& [section, entry, type, data] : c.raw) {
      const std::string key = std::string("Software\\Tallivo\\Tallivo\\") + section;
      if (type == REG_NONE) RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), entry);
      else RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), entry, type, data.data(), DWORD(data.size()));
    }
    App app;
    ASSERT_TRUE(app.Start());
    for (auto [id, kind] : {std::pair{IDC_LEFT_CLICKS, InputKind::Left}, {IDC_RIGHT_CLICKS, InputKind::Right},
                            {IDC_MIDDLE_CLICKS, InputKind::Middle}, {IDC_KEY_STROKES, InputKind::Key}})
      EXPECT_TRUE(app.WaitText(id, tallivo::CounterLabel(kind, 0))) << app.Text(id);
    EXPECT_TRUE(app.WaitText(IDC_WHEEL_STEPS, tallivo::CounterLabel(InputKind::Wheel, c.wheel)))
        << app.Text(IDC_WHEEL_STEPS);
    const std::string want = std::to_string(t.wMonth) + " " + std::to_string(t.wDay) + " 0 0 0 0 0 " +
                             std::to_string(c.wheel) + " t";
    EXPECT_TRUE(WaitUntil([&] { return StoredDay() == want; }, 3000)) << StoredDay() << ", want " << want;
  }
}

// A copy of the program in a folder of its own with some of its libraries,
// the hook library perhaps replaced by one without its entry points.
TEST(BrokenInstall, AMissingOrWrongHookLibraryIsNamedAndEndsWithCodeOne) {
  // What goes in as TallivoHook.dll and as TallivoTaskHook.dll; the library
  // the message names, none when it runs.
  const struct { const char* hook; const char* taskHook; const char* named; } cases[] = {
      {nullptr, "TallivoTaskHook.dll", "TallivoHook.dll"},
      {"SkinH.dll", "TallivoTaskHook.dll", "TallivoHook.dll"},
      {"TallivoHook.dll", nullptr, "TallivoTaskHook.dll"},
      {"TallivoHook.dll", "TallivoTaskHook.dll", nullptr},  // no SkinH.dll is fine
  };
  const std::string dir = BinDir() + "\\broken\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.hook ? c.hook : "-") << ", " << (c.taskHook ? c.taskHook : "-"));
    for (const char* f : {"Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll", "SkinH.dll"})
      DeleteFileA((dir + f).c_str());
    for (const auto& [from, to] : {std::pair{"Tallivo.exe", "Tallivo.exe"}, {c.hook, "TallivoHook.dll"},
                                   {c.taskHook, "TallivoTaskHook.dll"}})
      ASSERT_TRUE(!from || CopyFileA((BinDir() + "\\" + from).c_str(), (dir + to).c_str(), FALSE)) << to;
    ResetProfile();
    App app;
    if (!c.named) {
      ASSERT_TRUE(app.Start("broken\\Tallivo.exe"));
      PostMessageA(app.Main(), tallivo::WM_INPUT_KEY, 0, 0);
      EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 1次"));
      continue;
    }
    EXPECT_FALSE(app.Start("broken\\Tallivo.exe", 3000));  // no main window
    HWND box = app.FindDialog("Tallivo", 10000);
    ASSERT_NE(box, nullptr);
    const std::string text = DialogStaticText(box);
    EXPECT_NE(text.find(c.named), std::string::npos) << text;
    EXPECT_NE(text.find("请重新安装 Tallivo"), std::string::npos) << text;
    PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitExit(5000));
    EXPECT_EQ(app.ExitCode(), 1u);
  }
}

}  // namespace
