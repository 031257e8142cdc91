// Start with Windows: the Run values, the marker beside the program and the
// check mark of the menu item, on the real program.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

std::string MarkerPath() { return BinDir() + "\\AuTo.dat"; }

class AutoStart : public ::testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    app.Kill();
    ResetProfile();
    DeleteFileA(MarkerPath().c_str());
    DeleteRunValue(HKEY_LOCAL_MACHINE);
    DeleteRunValue(HKEY_CURRENT_USER);
  }
  // Waits for the first tick too: it comes after every start-up step.
  bool Start(const std::string& workDir = "") {
    return app.Start("Tallivo.exe", 20000, workDir) && WaitUntil([&] { return !app.Text(IDC_CURSOR_POS).empty(); });
  }
  bool Checked() const {
    const UINT state = MenuItemState(app, 1, ID_AUTOSTART);
    EXPECT_NE(state, 0xFFFFFFFFu) << "the menu item could not be read";
    return state != 0xFFFFFFFFu && (state & MF_CHECKED);
  }
  // Uses the command; checks its message (none if empty), the marker it
  // writes last and the check mark.
  void Toggle(const std::string& marker, bool checked, const std::string& message = "") const {
    app.Command(ID_AUTOSTART);
    EXPECT_EQ(message.empty() ? "" : AnswerAppBox(app), message);
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(MarkerPath()) == marker; })) << ReadFileBytes(MarkerPath());
    EXPECT_TRUE(!message.empty() || !app.FindDialog("Tallivo", 300)) << "a message for a command that worked";
    EXPECT_EQ(Checked(), checked);
  }
  App app;
};

TEST_F(AutoStart, CommandRegistersAndRemovesAndTheMarkerRegistersAgainAtStart) {
  ASSERT_TRUE(Start());
  EXPECT_FALSE(Checked());
  // Without rights to the machine-wide key the per-user one is used.
  for (HKEY used : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    const HKEY other = used == HKEY_LOCAL_MACHINE ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    SCOPED_TRACE(used == HKEY_LOCAL_MACHINE ? "machine key" : "per-user key");
    std::unique_ptr<RunKeyLock> lock(used == HKEY_CURRENT_USER ? new RunKeyLock(HKEY_LOCAL_MACHINE) : nullptr);
    ASSERT_TRUE(!lock || lock->Locked()) << "could not take the rights to the machine-wide Run key away";
    Toggle("1", true);
    std::string data;
    EXPECT_TRUE(ReadRunValue(used, &data));
    EXPECT_EQ(data, BinDir() + "\\Tallivo.exe");
    EXPECT_FALSE(ReadRunValue(other, nullptr));
    Toggle("0", false);
    EXPECT_FALSE(ReadRunValue(used, nullptr));
  }
  // Marker "1" with the value gone: a start from the Run key, in another
  // current directory, registers it again.
  Toggle("1", true);
  app.Kill();
  DeleteRunValue(HKEY_LOCAL_MACHINE);
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_TRUE(Start(windows));
  EXPECT_TRUE(WaitUntil([] { return ReadRunValue(HKEY_LOCAL_MACHINE, nullptr); }));
  EXPECT_TRUE(Checked());
  EXPECT_EQ(GetFileAttributesA((windows + std::string("\\AuTo.dat")).c_str()), INVALID_FILE_ATTRIBUTES)
      << "a marker in the current directory";
}

TEST_F(AutoStart, WhatCannotBeDoneIsSaidAndTheStateStaysTrue) {
  ASSERT_TRUE(Start());
  {
    RunKeyLock machine(HKEY_LOCAL_MACHINE), user(HKEY_CURRENT_USER);
    ASSERT_TRUE(machine.Locked() && user.Locked());
    Toggle("0", false, "系统参数错误,不能随系统启动");
    EXPECT_FALSE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr) || ReadRunValue(HKEY_CURRENT_USER, nullptr));
  }
  Toggle("1", true);
  {
    RunKeyLock machine(HKEY_LOCAL_MACHINE);  // registered by an administrator, now without the rights
    ASSERT_TRUE(machine.Locked());
    Toggle("1", true, "系统参数错误,不能关闭开机自动启动");
    EXPECT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr));
  }
  DeleteRunValue(HKEY_LOCAL_MACHINE);  // by someone else
  Toggle("0", false, "已经关闭开机自动启动!!");
  {
    ReadOnlyFile marker(MarkerPath(), "0");
    ASSERT_TRUE(marker.Unwritable()) << "could not make a file that cannot be written here";
    Toggle("0", true, "对 " + MarkerPath() + " 的存取被拒绝。");  // registered before the marker
    EXPECT_TRUE(ReadRunValue(HKEY_LOCAL_MACHINE, nullptr));
  }
  EXPECT_TRUE(app.Running());
}

}  // namespace
