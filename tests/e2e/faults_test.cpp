// Faults a program that runs all day meets: hard kills, damaged stored
// figures, a broken installation.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "main/messages.h"
#include "res/resource.h"
#include "stats/stats_text.h"

using namespace e2e;

namespace {

// An entry as stored, whatever its type; 0xDEADBEEF when absent.
DWORD Stored(const char* section, const char* entry, DWORD* type = nullptr) {
  DWORD v = 0, t = 0, size = sizeof v;
  const std::string key = std::string("Software\\Tallivo\\Tallivo\\") + section;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), entry, RRF_RT_ANY, &t, &v, &size) != ERROR_SUCCESS) v = 0xDEADBEEF;
  if (type) *type = t;
  return v;
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
    const DWORD stored = Stored("DataSetting", "MouseLeft");
    EXPECT_GE(stored, shownASecondBefore);
    EXPECT_LE(stored, posted);
    posted = stored;
  }
}

TEST(Faults, WrongDataInTheStoreStartsSaneAndIsRewritten) {
  ResetProfile();
  WriteProfileDword("DateCur", "Month", Today().wMonth);
  WriteProfileDword("DateCur", "Day", Today().wDay);
  const struct {
    const char* entry;
    DWORD type;
    std::vector<BYTE> data;
  } bad[] = {
      {"MouseLeft", REG_SZ, {'1', '2', '3', 0}},
      {"MouseRight", REG_BINARY, {1, 2, 3, 4, 5, 6}},
      {"KeyBoard", REG_QWORD, {7, 0, 0, 0, 1, 0, 0, 0}},
      {"MouseRoll", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},  // huge but valid: kept
      {"MouseMove", REG_BINARY, {}},
  };  // MouseMiddle and TimeCount are missing
  for (const auto& b : bad) {
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Tallivo\\Tallivo\\DataSetting", b.entry, b.type,
                    b.data.empty() ? nullptr : b.data.data(), static_cast<DWORD>(b.data.size()));
  }
  App app;
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次"));
  EXPECT_TRUE(app.WaitText(IDC_RIGHT_CLICKS, "右键点击:   0次"));
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 0次"));
  EXPECT_TRUE(app.WaitText(IDC_WHEEL_STEPS, "中键滚动:   4294967295次"));
  // The next save writes proper entries again.
  const char* const entries[] = {"MouseLeft", "MouseRight", "MouseMiddle", "KeyBoard", "MouseMove", "TimeCount"};
  EXPECT_TRUE(WaitUntil([&] {
    for (const char* e : entries) {
      DWORD type = 0;
      Stored("DataSetting", e, &type);
      if (type != REG_DWORD) return false;
    }
    return true;
  }, 3000));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Stored("DataSetting", entries[i]), 0u) << entries[i];
  EXPECT_EQ(Stored("DataSetting", "MouseRoll"), 0xFFFFFFFFu);
}

TEST(Faults, ImpossibleStoredDatesStartFromZero) {
  const SYSTEMTIME t = Today();
  const struct {
    DWORD month, day;
    bool monthAsText;
  } dates[] = {{13, t.wDay, false}, {t.wMonth, 0, false}, {0, 0, false}, {~0u, ~0u, false}, {t.wMonth, t.wDay, true}};
  for (const auto& d : dates) {
    SCOPED_TRACE(testing::Message() << d.month << "/" << d.day << (d.monthAsText ? " as text" : ""));
    ResetProfile();
    SeedDay(d.month, d.day, 10, 10, 10, 10, 10, 10, 10);
    if (d.monthAsText) {
      const std::string month = std::to_string(d.month);
      RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Tallivo\\Tallivo\\DateCur", "Month", REG_SZ, month.c_str(),
                      static_cast<DWORD>(month.size() + 1));
    }
    App app;
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次")) << app.Text(IDC_LEFT_CLICKS);
    EXPECT_TRUE(WaitUntil([&] { return Stored("DateCur", "Month") == t.wMonth && Stored("DateCur", "Day") == t.wDay &&
                                       Stored("DataSetting", "MouseLeft") == 0u; }, 3000))
        << Stored("DateCur", "Month") << "/" << Stored("DateCur", "Day") << " left " << Stored("DataSetting", "MouseLeft");
  }
}

// A copy of the program in a folder of its own with some of its libraries,
// the hook library perhaps replaced by one without its entry points.
TEST(BrokenInstall, AMissingOrWrongHookLibraryIsNamedAndEndsWithCodeOne) {
  const struct {
    const char* hook;      // what goes in as TallivoHook.dll
    const char* taskHook;  // and as TallivoTaskHook.dll
    const char* named;     // the library the message names; none: it runs
  } cases[] = {
      {nullptr, "TallivoTaskHook.dll", "TallivoHook.dll"},
      {"SkinH.dll", "TallivoTaskHook.dll", "TallivoHook.dll"},
      {"TallivoHook.dll", nullptr, "TallivoTaskHook.dll"},
      {"TallivoHook.dll", "TallivoTaskHook.dll", nullptr},  // no SkinH.dll is fine
  };
  const std::string dir = BinDir() + "\\broken\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "hook " << (c.hook ? c.hook : "-") << ", task hook "
                                    << (c.taskHook ? c.taskHook : "-"));
    const std::pair<const char*, const char*> files[] = {
        {"Tallivo.exe", "Tallivo.exe"}, {c.hook, "TallivoHook.dll"}, {c.taskHook, "TallivoTaskHook.dll"}};
    for (const char* f : {"Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll", "SkinH.dll"})
      DeleteFileA((dir + f).c_str());
    for (const auto& [from, to] : files) {
      if (!from) continue;
      ASSERT_TRUE(CopyFileA((BinDir() + "\\" + from).c_str(), (dir + to).c_str(), FALSE)) << to;
    }
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
