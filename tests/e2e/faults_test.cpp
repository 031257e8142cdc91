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
using tallivo::InputKind;

namespace {

constexpr char kData[] = "Software\\Tallivo\\Tallivo\\DataSetting";
constexpr char kDate[] = "Software\\Tallivo\\Tallivo\\DateCur";

DWORD StoredDword(const char* section, const char* entry, DWORD* type = nullptr) {
  DWORD v = 0xDEADBEEF, t = 0, size = sizeof v;
  std::string path = std::string("Software\\Tallivo\\Tallivo\\") + section;
  if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), entry, RRF_RT_ANY | RRF_NOEXPAND, &t, &v, &size) !=
      ERROR_SUCCESS) {
    v = 0xDEADBEEF;
  }
  if (type) *type = t;
  return v;
}

uint32_t LabelNumber(const std::string& label) {
  // "左键点击:   123次": the digits before the last character.
  size_t end = label.find_last_of("0123456789");
  if (end == std::string::npos) return 0;
  size_t start = label.find_last_not_of("0123456789", end);
  return static_cast<uint32_t>(std::strtoul(label.substr(start + 1, end - start).c_str(), nullptr, 10));
}

TEST(Faults, HardKillLosesAtMostTheLastSecond) {
  ResetProfile();
  srand(GetTickCount());
  uint32_t posted = 0;
  for (int round = 0; round < 3; ++round) {
    App app;
    ASSERT_TRUE(app.Start());
    // Continue from what the last round stored.
    ASSERT_TRUE(app.WaitText(IDC_LEFT_CLICKS, tallivo::CounterLabel(InputKind::Left, posted), 5000))
        << app.Text(IDC_LEFT_CLICKS) << " round " << round;
    std::vector<std::pair<DWORD, uint32_t>> seen;  // (tick, label value)
    const DWORD runFor = 1500 + rand() % 2000;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < runFor) {
      for (int i = 0; i < 10; ++i) PostMessageA(app.Main(), tallivo::WM_INPUT_LBUTTON, 0, 0);
      posted += 10;
      seen.emplace_back(GetTickCount(), LabelNumber(app.Text(IDC_LEFT_CLICKS)));
      Sleep(20);
    }
    const DWORD killedAt = GetTickCount();
    TerminateProcess(app.Process(), 9);
    ASSERT_TRUE(app.WaitExit(5000));
    const DWORD stored = StoredDword("DataSetting", "MouseLeft");
    uint32_t shownASecondBefore = 0;
    for (const auto& s : seen) {
      if (killedAt - s.first >= 1200) shownASecondBefore = s.second;
    }
    EXPECT_GE(stored, shownASecondBefore) << "round " << round;
    EXPECT_LE(stored, posted);
    posted = stored;  // what the next run starts from
  }
}

struct BadValue {
  const char* entry;
  DWORD type;
  std::vector<BYTE> data;
};

TEST(Faults, WrongDataInTheStoreStartsSaneAndIsRewritten) {
  ResetProfile();
  SYSTEMTIME t = Today();
  WriteProfileDword("DateCur", "Month", t.wMonth);
  WriteProfileDword("DateCur", "Day", t.wDay);
  const std::vector<BadValue> bad = {
      {"MouseLeft", REG_SZ, {'1', '2', '3', 0}},
      {"MouseRight", REG_BINARY, {1, 2, 3, 4, 5, 6}},
      {"KeyBoard", REG_QWORD, {7, 0, 0, 0, 1, 0, 0, 0}},
      {"MouseRoll", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},  // huge but valid: kept
      {"MouseMove", REG_BINARY, {}},
  };
  for (const auto& b : bad) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kData, b.entry, b.type, b.data.empty() ? nullptr : b.data.data(),
                    static_cast<DWORD>(b.data.size()));
  }
  // MouseMiddle and TimeCount are missing.
  App app;
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次"));
  EXPECT_TRUE(app.WaitText(IDC_RIGHT_CLICKS, "右键点击:   0次"));
  EXPECT_TRUE(app.WaitText(IDC_MIDDLE_CLICKS, "中键点击:   0次"));
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 0次"));
  EXPECT_TRUE(app.WaitText(IDC_WHEEL_STEPS, "中键滚动:   4294967295次"));
  // The next save writes proper entries again.
  ASSERT_TRUE(WaitUntil([] {
    for (const char* e : {"MouseLeft", "MouseRight", "MouseMiddle", "KeyBoard", "MouseMove", "TimeCount"}) {
      DWORD type = 0;
      StoredDword("DataSetting", e, &type);
      if (type != REG_DWORD) return false;
    }
    return true;
  }, 3000));
  for (const char* e : {"MouseLeft", "MouseRight", "MouseMiddle", "MouseRoll", "KeyBoard", "MouseMove", "TimeCount"}) {
    DWORD type = 0;
    DWORD v = StoredDword("DataSetting", e, &type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << e;
    if (std::string(e) == "MouseRoll") {
      EXPECT_EQ(v, 0xFFFFFFFFu);
    } else if (std::string(e) != "TimeCount") {
      EXPECT_EQ(v, 0u) << e;
    }
  }
}

TEST(Faults, ImpossibleStoredDatesStartFromZero) {
  const struct {
    DWORD month, day;
  } dates[] = {{13, Today().wDay}, {Today().wMonth, 0}, {0, 0}, {0xFFFFFFFF, 0xFFFFFFFF}};
  for (const auto& d : dates) {
    ResetProfile();
    SeedDay(0, 0, 10, 10, 10, 10, 10, 10, 10);
    WriteProfileDword("DateCur", "Month", d.month);
    WriteProfileDword("DateCur", "Day", d.day);
    App app;
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次")) << d.month << "/" << d.day;
    ASSERT_TRUE(WaitUntil([] { return StoredDword("DateCur", "Month") == Today().wMonth &&
                                      StoredDword("DateCur", "Day") == Today().wDay &&
                                      StoredDword("DataSetting", "MouseLeft") == 0u; }, 3000))
        << StoredDword("DateCur", "Month") << "/" << StoredDword("DateCur", "Day") << " left "
        << StoredDword("DataSetting", "MouseLeft");
  }
  // A month stored as text is no date either.
  ResetProfile();
  SeedDay(Today().wMonth, Today().wDay, 10, 0, 0, 0, 0, 0, 0);
  char month[8];
  snprintf(month, sizeof month, "%d", Today().wMonth);
  RegSetKeyValueA(HKEY_CURRENT_USER, kDate, "Month", REG_SZ, month, static_cast<DWORD>(strlen(month) + 1));
  App app;
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   0次"));
}

// A copy of the program in a folder of its own with a chosen set of libraries.
class BrokenInstall : public ::testing::Test {
 protected:
  void Prepare(const std::vector<std::pair<std::string, std::string>>& files) {
    dir = BinDir() + "\\broken";
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const char* f : {"Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll", "SkinH.dll"}) {
      DeleteFileA((dir + "\\" + f).c_str());
    }
    for (const auto& f : files) {
      ASSERT_TRUE(CopyFileA((BinDir() + "\\" + f.first).c_str(), (dir + "\\" + f.second).c_str(), FALSE));
    }
  }
  void ExpectClearError(const char* library) {
    ResetProfile();
    App app;
    EXPECT_FALSE(app.Start("broken\\Tallivo.exe", 3000));  // no main window
    HWND box = app.FindDialog("Tallivo", 10000);
    ASSERT_NE(box, nullptr) << "no message about " << library;
    const std::string text = DialogStaticText(box);
    EXPECT_NE(text.find(library), std::string::npos) << text;
    EXPECT_NE(text.find("请重新安装 Tallivo"), std::string::npos) << text;
    PressButton(box, IDOK);
    ASSERT_TRUE(app.WaitExit(5000));
    EXPECT_EQ(app.ExitCode(), 1u);
  }
  std::string dir;
};

TEST_F(BrokenInstall, MissingGlobalHookLibrary) {
  Prepare({{"Tallivo.exe", "Tallivo.exe"}, {"TallivoTaskHook.dll", "TallivoTaskHook.dll"}});
  ExpectClearError("TallivoHook.dll");
}

TEST_F(BrokenInstall, WrongLibraryUnderTheHookLibrarysName) {
  // A library without the entry points, under the right name.
  Prepare({{"Tallivo.exe", "Tallivo.exe"}, {"SkinH.dll", "TallivoHook.dll"}, {"TallivoTaskHook.dll", "TallivoTaskHook.dll"}});
  ExpectClearError("TallivoHook.dll");
}

TEST_F(BrokenInstall, MissingPerProcessHookLibrary) {
  Prepare({{"Tallivo.exe", "Tallivo.exe"}, {"TallivoHook.dll", "TallivoHook.dll"}});
  ExpectClearError("TallivoTaskHook.dll");
}

TEST_F(BrokenInstall, MissingSkinLibraryIsFine) {
  Prepare({{"Tallivo.exe", "Tallivo.exe"}, {"TallivoHook.dll", "TallivoHook.dll"},
           {"TallivoTaskHook.dll", "TallivoTaskHook.dll"}});
  ResetProfile();
  App app;
  ASSERT_TRUE(app.Start("broken\\Tallivo.exe"));
  PostMessageA(app.Main(), tallivo::WM_INPUT_KEY, 0, 0);
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, "键盘共敲击: 1次"));
}

}  // namespace
