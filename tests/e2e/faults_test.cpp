// Faults a program that runs all day meets: hard kills, damaged stored figures, a broken installation.

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "history_harness.h"
#include "stats/stats_text.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

// The day as stored, "month day left right middle keys distance wheel t": "?" for an entry not stored as a number, "t"
// when the running time is one.
std::string StoredDay() {
  std::string day;
  const auto add = [&](DWORD v) { day += v == 0xDEADBEEF ? "? " : std::to_string(v) + " "; };
  for (const char* e : {"Month", "Day"}) add(Stored(e, "DateCur"));
  for (const char* e : {"MouseLeft", "MouseRight", "MouseMiddle", "KeyBoard", "MouseMove", "MouseRoll"}) add(Stored(e));
  return day + (Stored("TimeCount") == 0xDEADBEEF ? "?" : "t");
}

TEST(Faults, HardKillLosesAtMostTheLastSecond) {
  ResetProfile();
  ClearHistory();
  uint32_t posted = 0;
  for (DWORD runFor : {1700, 2600, 3400}) {
    SCOPED_TRACE(runFor);
    App app;
    ASSERT_TRUE(app.Start());
    // Later starts go to the tray: shown, for the labels to be written.
    if (IsIconic(app.Main()) || !IsWindowVisible(app.Main())) {
      ASSERT_TRUE(app.FromTray());
    }
    // Each run goes on from what the one before stored.
    ASSERT_TRUE(app.WaitText(IDC_LEFT_CLICKS, tallivo::CounterLabel(InputKind::Left, posted), 5000));
    uint32_t shownASecondBefore = 0;
    std::vector<std::pair<DWORD, uint32_t>> seen;  // (tick, shown)
    const DWORD start = GetTickCount();
    bool keyDeleted = false;
    while (GetTickCount() - start < runFor) {
      // In the second run the day's key goes away under the running program (a user cleaning the registry): its next
      // saves make it anew.
      if (runFor == 2600 && !keyDeleted && GetTickCount() - start > 600) {
        keyDeleted = RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tallivo\\Tallivo\\DataSetting") == ERROR_SUCCESS;
        ASSERT_TRUE(keyDeleted);
      }
      app.PostInput(tallivo::WM_INPUT_LBUTTON, 10);
      posted += 10;
      seen.emplace_back(GetTickCount(), NumberIn(app.Text(IDC_LEFT_CLICKS)));
      Sleep(20);
    }
    const DWORD killedAt = GetTickCount();
    TerminateProcess(app.Process(), 9);
    ASSERT_TRUE(app.WaitExit(5000));
    for (const auto& s : seen)
      if (killedAt - s.first >= 1200) shownASecondBefore = s.second;
    const DWORD stored = Stored("MouseLeft");
    ASSERT_NE(stored, 0xDEADBEEF);
    EXPECT_GE(stored, shownASecondBefore);
    EXPECT_LE(stored, posted);
    // The history too: every run's clicks but the last second's.
    const int64_t kept = HistoryInt("SELECT left_clicks FROM days WHERE date='" + DateDaysAgo(0) + "'");
    EXPECT_GE(kept, shownASecondBefore);
    EXPECT_LE(kept, posted);
    posted = stored;
  }
}

// Each row seeds figures of 10 for the stored date, then stores entries of another type (REG_NONE: removes them). The
// program shows the figures it can trust, zeros for the rest and for a date that cannot be, and its next save writes
// today's date and proper numbers again. (Which dates are today's: the unit tests of the day store.)
TEST(Faults, WrongStoredDataStartsSaneAndIsRewritten) {
  const SYSTEMTIME t = Today();
  const struct {
    DWORD month, day;
    std::vector<std::tuple<const char*, const char*, DWORD, std::string>> raw;  // section, entry, type, data
    uint32_t wheel;                                                             /* the others are 0 */
  } cases[] = {
      {t.wMonth,
       t.wDay,
       {{"DataSetting", "MouseLeft", REG_SZ, {"123", 4}},
        {"DataSetting", "MouseRight", REG_BINARY, "\1\2\3\4\5\6"},
        {"DataSetting", "KeyBoard", REG_QWORD, {"\7\0\0\0\1\0\0\0", 8}},
        {"DataSetting", "MouseMove", REG_BINARY, ""},
        {"DataSetting", "MouseMiddle", REG_NONE, ""},
        {"DataSetting", "TimeCount", REG_NONE, ""},
        {"DataSetting", "MouseRoll", REG_DWORD, "\xFF\xFF\xFF\xFF"}},  // huge but valid: kept
       0xFFFFFFFFu},
      {~0u, ~0u, {}, 0},  // a date that cannot be is any other date
      {t.wMonth, t.wDay, {{"DateCur", "Month", REG_SZ, std::to_string(t.wMonth) + '\0'}}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.month << "/" << c.day << ", " << c.raw.size() << " entries changed");
    ResetProfile();
    SeedDay(c.month, c.day, 10, 10, 10, 10, 10, 10, 10);
    for (const auto& [section, entry, type, data] : c.raw) {
      const std::wstring key = L"Software\\Tallivo\\Tallivo\\" + Wide(section), name = Wide(entry), text = Wide(data);
      if (type == REG_NONE)
        RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
      else if (type == REG_SZ)  // as UTF-16, its terminating zero included
        RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type, text.data(), DWORD(text.size() * 2));
      else
        RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), type, data.data(), DWORD(data.size()));
    }
    App app;
    ASSERT_TRUE(app.Start());
    app.ExpectCounters({0, 0, 0, c.wheel, 0}, 3000);
    const std::string want =
        std::to_string(t.wMonth) + " " + std::to_string(t.wDay) + " 0 0 0 0 0 " + std::to_string(c.wheel) + " t";
    EXPECT_TRUE(WaitUntil([&] { return StoredDay() == want; }, 3000)) << StoredDay() << ", want " << want;
  }
}

// A copy of the program in a folder of its own with some of its libraries, the hook library perhaps replaced by one
// without its entry points, the folder or the program perhaps named in a way the ANSI calls would get wrong.
TEST(BrokenInstall, WhatKeepsTheProgramFromItsLibrariesIsNamedAndEndsWithCodeOne) {
  const std::wstring bin = Wide(BinDir()) + L"\\";
  // Short enough for Windows, though twice as long in GBK bytes, longer than the ANSI calls took: it runs.
  const std::wstring longName = std::wstring(L"broken\\") + std::wstring(60, L'长') + L"\\" + std::wstring(60, L'长');
  // Where the copy goes, its name, what goes in as TallivoHook.dll and as TallivoTaskHook.dll; what the message says,
  // nothing when it runs.
  const struct {
    std::wstring folder, exe;
    const char* hook;
    const char* taskHook;
    const char* says[2];
  } cases[] = {
      {L"broken", L"Tallivo.exe", nullptr, "TallivoTaskHook.dll", {"TallivoHook.dll", "请重新安装 Tallivo"}},
      {L"broken", L"Tallivo.exe", "SkinH.dll", "TallivoTaskHook.dll", {"TallivoHook.dll", "请重新安装 Tallivo"}},
      {L"broken", L"Tallivo.exe", "TallivoHook.dll", nullptr, {"TallivoTaskHook.dll", "请重新安装 Tallivo"}},
      {L"broken", L"Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll", {}},  // no SkinH.dll is fine
      // 淺 is 0x9C 0x5C in GBK: its second byte is a backslash.
      {L"broken", L"淺.exe", "TallivoHook.dll", "TallivoTaskHook.dll", {}},
      // Thai and Hangul have no GBK code.
      {L"broken\\ทดสอบ 한국", L"Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll", {}},
      {longName, L"Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll", {}},
  };
  InputSink sink;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << &c - cases);
    const std::wstring dir = bin + c.folder + L"\\";
    std::error_code failed;
    std::filesystem::remove_all(bin + L"broken", failed);
    std::filesystem::create_directories(dir, failed);
    ASSERT_FALSE(failed) << failed.message();
    for (const auto& [from, to] :
         {std::pair{"Tallivo.exe", c.exe}, {c.hook, L"TallivoHook.dll"}, {c.taskHook, L"TallivoTaskHook.dll"}})
      ASSERT_TRUE(!from || CopyFileW((bin + Wide(from)).c_str(), (dir + to).c_str(), FALSE)) << GetLastError();
    ResetProfile();
    ClearHistory();
    App app;
    if (!c.says[0]) {
      // It runs and counts real input.
      ASSERT_TRUE(app.StartPath(dir + c.exe));
      ClickAt(sink.Center(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
      app.ExpectCounters({2, 0, 0, 0, 0});
      EXPECT_TRUE(WaitUntil([] { return HistoryInt("SELECT left_clicks FROM days") == 2; }, 5000));
      EXPECT_TRUE(app.Quit() && app.ExitCode() == 0);
      continue;
    }
    app.StartPath(dir + c.exe, 0);  // started, not waited for: it has no main window to wait for
    HWND box = app.FindDialog("Tallivo", 10000);
    ASSERT_NE(box, nullptr);
    for (HWND w : TopLevelWindowsOf(app.Pid()))
      EXPECT_NE(WindowText(w), "泰利沃v4.04版") << "a main window beside the box";
    const std::string text = DialogStaticText(box);
    for (const char* part : c.says) EXPECT_NE(text.find(part), std::string::npos) << text;
    PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitExit(5000));
    EXPECT_EQ(app.ExitCode(), 1u);
  }
}

}  // namespace
