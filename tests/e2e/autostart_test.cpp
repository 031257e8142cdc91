// Start with Windows: the Run values, the marker beside the program and the
// check mark of the menu item, on the real program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

constexpr int kSettingsMenu = 1;

std::string MarkerPath() { return BinDir() + "\\AuTo.dat"; }

void WriteMarker(const std::string& content) {
  FILE* f = std::fopen(MarkerPath().c_str(), "wb");
  ASSERT_TRUE(f);
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

std::string ReadMarker() {
  std::string out = "<none>";
  if (FILE* f = std::fopen(MarkerPath().c_str(), "rb")) {
    char buf[16];
    const size_t n = std::fread(buf, 1, sizeof buf, f);
    out.assign(buf, n);
    std::fclose(f);
  }
  return out;
}

std::string ExePath() { return BinDir() + "\\Tallivo.exe"; }

class AutoStart : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override {
    app.Kill();
    Clean();
  }
  static void Clean() {
    ResetProfile();
    DeleteFileA(MarkerPath().c_str());
    DeleteRunValue(HKEY_LOCAL_MACHINE);
    DeleteRunValue(HKEY_CURRENT_USER);
  }
  // The window is found while it initialises; its first tick comes after
  // every start-up step, the autostart one included.
  bool Start(const std::string& workDir = "") {
    return app.Start("Tallivo.exe", 20000, workDir) &&
           WaitUntil([&] { return !app.Text(IDC_CURSOR_POS).empty(); }, 10000);
  }
  bool Checked() const {
    const UINT state = MenuItemState(app, kSettingsMenu, ID_AUTOSTART);
    EXPECT_NE(state, 0xFFFFFFFFu) << "the menu item could not be read";
    return state != 0xFFFFFFFFu && (state & MF_CHECKED);
  }
  // Waits for the command to finish: the marker is its last step.
  bool MarkerBecomes(const std::string& content) const {
    return WaitUntil([&] { return ReadMarker() == content; });
  }
  App app;
};

TEST_F(AutoStart, CommandRegistersChecksAndWritesTheMarkerAndASecondUseRemovesThem) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Checked());
  app.Command(ID_AUTOSTART);
  ASSERT_TRUE(MarkerBecomes("1")) << ReadMarker();
  std::string data;
  EXPECT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, &data));
  EXPECT_EQ(data, ExePath());
  EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER, nullptr));
  EXPECT_TRUE(Checked());
  EXPECT_EQ(app.FindDialog("Tallivo", 300), nullptr);

  app.Command(ID_AUTOSTART);
  ASSERT_TRUE(MarkerBecomes("0")) << ReadMarker();
  EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr));
  EXPECT_FALSE(Checked());
  EXPECT_EQ(app.FindDialog("Tallivo", 300), nullptr);

  // Switched on again, then the value is removed by someone else: turning
  // off says it was off already.
  app.Command(ID_AUTOSTART);
  ASSERT_TRUE(MarkerBecomes("1"));
  DeleteRunValue(HKEY_LOCAL_MACHINE);
  app.Command(ID_AUTOSTART);
  EXPECT_EQ(AnswerAppBox(app), "已经关闭开机自动启动!!");
  EXPECT_TRUE(MarkerBecomes("0"));
  EXPECT_FALSE(Checked());
}

TEST_F(AutoStart, OneInTheMarkerAtStartWritesTheValueAgainAndChecksTheItem) {
  WriteMarker("1");
  ASSERT_TRUE(Start());
  std::string data;
  EXPECT_TRUE(WaitUntil([&] { return ReadRunValue(HKEY_LOCAL_MACHINE, &data); }));
  EXPECT_EQ(data, ExePath());
  EXPECT_TRUE(Checked());
  app.Kill();

  // Started from the Run key the current directory is not the program's:
  // the marker beside the program is still found.
  DeleteRunValue(HKEY_LOCAL_MACHINE);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_TRUE(Start(windows));
  EXPECT_TRUE(WaitUntil([&] { return ReadRunValue(HKEY_LOCAL_MACHINE, &data); }));
  EXPECT_TRUE(Checked());
  char marker[MAX_PATH * 2];
  std::snprintf(marker, sizeof marker, "%s\\AuTo.dat", windows);
  EXPECT_EQ(GetFileAttributesA(marker), INVALID_FILE_ATTRIBUTES) << "a marker appeared in the current directory";
}

TEST_F(AutoStart, AnyOtherMarkerMeansOff) {
  for (const char* content : {"", "0", "x"}) {
    WriteMarker(content);
    ASSERT_TRUE(Start());
    Pump(500);
    EXPECT_FALSE(Checked()) << '"' << content << '"';
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr)) << '"' << content << '"';
    app.Kill();
  }
}

TEST_F(AutoStart, WithoutRightsToTheMachineKeyThePerUserKeyIsUsed) {
  RunKeyLock lock(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(lock.Locked()) << "could not take the write rights away from the machine-wide Run key";
  ASSERT_TRUE(Start());
  app.Command(ID_AUTOSTART);
  ASSERT_TRUE(MarkerBecomes("1"));
  std::string data;
  EXPECT_TRUE(ReadRunValue(HKEY_CURRENT_USER, &data));
  EXPECT_EQ(data, ExePath());
  EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr));
  EXPECT_TRUE(Checked());
  EXPECT_EQ(app.FindDialog("Tallivo", 300), nullptr);

  app.Command(ID_AUTOSTART);
  ASSERT_TRUE(MarkerBecomes("0"));
  EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER, nullptr));
  EXPECT_FALSE(Checked());
  EXPECT_EQ(app.FindDialog("Tallivo", 300), nullptr);
}

TEST_F(AutoStart, WhenNeitherKeyCanBeWrittenItSaysSoAndStaysOff) {
  RunKeyLock machine(HKEY_LOCAL_MACHINE);
  RunKeyLock user(HKEY_CURRENT_USER);
  ASSERT_TRUE(machine.Locked() && user.Locked());
  ASSERT_TRUE(Start());
  app.Command(ID_AUTOSTART);
  EXPECT_EQ(AnswerAppBox(app), "系统参数错误,不能随系统启动");
  EXPECT_TRUE(MarkerBecomes("0")) << ReadMarker();
  EXPECT_FALSE(Checked());
  EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr));
  EXPECT_FALSE(ReadRunValue(HKEY_CURRENT_USER, nullptr));
}

TEST_F(AutoStart, AValueThatCannotBeRemovedKeepsTheItemOn) {
  ASSERT_TRUE(Start());
  app.Command(ID_AUTOSTART);
  ASSERT_TRUE(MarkerBecomes("1"));
  ASSERT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr));
  {
    // Registered by an administrator; now run without the rights.
    RunKeyLock lock(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(lock.Locked());
    app.Command(ID_AUTOSTART);
    EXPECT_EQ(AnswerAppBox(app), "系统参数错误,不能关闭开机自动启动");
    Pump(300);
    EXPECT_EQ(ReadMarker(), "1");
    EXPECT_TRUE(Checked());
    EXPECT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr));
  }
}

TEST_F(AutoStart, SomeoneReadingTheMarkerDoesNotStopTheCommand) {
  WriteMarker("0");
  ASSERT_TRUE(Start());
  HANDLE reader = CreateFileA(MarkerPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  app.Command(ID_AUTOSTART);
  EXPECT_TRUE(MarkerBecomes("1")) << ReadMarker();
  EXPECT_EQ(app.FindDialog("Tallivo", 300), nullptr);
  CloseHandle(reader);
}

TEST_F(AutoStart, AMarkerThatCannotBeWrittenIsReportedWithItsPath) {
  {
    ReadOnlyFile marker(MarkerPath(), "0");
    ASSERT_TRUE(marker.Unwritable()) << "could not make a file that cannot be written here";
    ASSERT_TRUE(Start());
    app.Command(ID_AUTOSTART);
    EXPECT_EQ(AnswerAppBox(app), "对 " + MarkerPath() + " 的存取被拒绝。");
    // The registration and the check mark happened before.
    EXPECT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr));
    EXPECT_TRUE(Checked());
    EXPECT_EQ(ReadMarker(), "0");
  }
  EXPECT_TRUE(app.Running());
}

}  // namespace
