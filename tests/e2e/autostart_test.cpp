// Start with Windows: the Run values, the marker beside the program and the check mark of the menu item, on the real
// program. It runs as a portable copy kept in a folder with a space in its name, started in a downloads folder;
// libraries planted under the names it might look for, beside it and in the current directory, are never loaded.

#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

std::string MarkerPath() { return BinDir() + "\\My Tools\\AuTo.dat"; }
std::string QuotedExe() { return "\"" + BinDir() + "\\My Tools\\Tallivo.exe\""; }

class AutoStart : public ::testing::Test {
 protected:
  void SetUp() override {
    TearDown();
    ASSERT_TRUE(copy.Ready());
  }
  void TearDown() override {
    app.Kill();
    ResetProfile();
    DeleteFileA(MarkerPath().c_str());
    SetRunValue(HKEY_LOCAL_MACHINE, "");
    SetRunValue(HKEY_CURRENT_USER, "");
  }
  // Waits for the first tick too: it comes after every start-up step.
  bool Start(const std::string& workDir = BinDir() + "\\Downloads") {
    return copy.Start(app, workDir) && WaitUntil([&] { return !app.Text(IDC_CURSOR_POS).empty(); });
  }
  bool Checked() const {
    const UINT state = MenuItemState(app, 1, ID_AUTOSTART);
    EXPECT_NE(state, 0xFFFFFFFFu) << "the menu item could not be read";
    return state != 0xFFFFFFFFu && (state & MF_CHECKED);
  }
  // Uses the command; checks its message (none if empty), the marker it writes last and the check mark.
  void Toggle(const std::string& marker, bool checked, const std::string& message = "") const {
    app.Command(ID_AUTOSTART);
    EXPECT_EQ(message.empty() ? "" : AnswerAppBox(app), message);
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(MarkerPath()) == marker; })) << ReadFileBytes(MarkerPath());
    EXPECT_TRUE(!message.empty() || !app.FindDialog("Tallivo", 300)) << "a message for a command that worked";
    EXPECT_EQ(Checked(), checked);
  }
  // The per-user value, "<none>" when absent; there is no machine-wide one.
  static std::string UserValueOnly() {
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), "<none>") << "registered for every user";
    return RunValue(HKEY_CURRENT_USER);
  }
  // Beside the copy: system libraries it uses from its start on, and one those load in turn; SkinH.dll only in the
  // current directory, since the copy has none of its own.
  PlantedCopy copy{"My Tools",
                   {"My Tools\\comctl32.dll", "My Tools\\shell32.dll", "My Tools\\uxtheme.dll", "My Tools\\wininet.dll",
                    "My Tools\\winmm.dll", "Downloads\\SkinH.dll"}};
  App app;
};

TEST_F(AutoStart, TheCommandRegistersThisUserRemovesBothTheMarkerRegistersAtStartAndWhatCannotBeDoneIsSaid) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(copy.Loaded(), "");
  EXPECT_FALSE(Checked());
  // The machine-wide key is writable here, as for a program run elevated.
  Toggle("1", true);
  EXPECT_EQ(UserValueOnly(), QuotedExe());
  // Off removes the value an older version left in the machine-wide key too.
  ASSERT_TRUE(SetRunValue(HKEY_LOCAL_MACHINE, "C:\\Old Tallivo\\Tallivo.exe"));
  Toggle("0", false);
  EXPECT_EQ(UserValueOnly(), "<none>");
  // Marker "1" with the value gone: a start from the Run key, in another current directory, registers it again.
  Toggle("1", true);
  app.Kill();
  ASSERT_TRUE(SetRunValue(HKEY_CURRENT_USER, ""));
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  ASSERT_TRUE(Start(windows));
  EXPECT_TRUE(WaitUntil([] { return RunValue(HKEY_CURRENT_USER) != "<none>"; }));
  EXPECT_EQ(UserValueOnly(), QuotedExe());
  EXPECT_TRUE(Checked());
  EXPECT_EQ(GetFileAttributesA((windows + std::string("\\AuTo.dat")).c_str()), INVALID_FILE_ATTRIBUTES)
      << "a marker in the current directory";

  // What cannot be done is said, and the state stays true (the marker written anew each time).
  Toggle("0", false);
  ASSERT_TRUE(DeleteFileA(MarkerPath().c_str()));
  {
    RunKeyLock user(HKEY_CURRENT_USER);  // the machine-wide key stays writable: never the way out
    ASSERT_TRUE(user.Locked());
    Toggle("0", false, "系统参数错误,不能随系统启动");
    EXPECT_EQ(UserValueOnly(), "<none>");
  }
  Toggle("1", true);
  {
    // Registered for every user by an older version, now without the rights.
    ASSERT_TRUE(SetRunValue(HKEY_LOCAL_MACHINE, QuotedExe()));
    RunKeyLock machine(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.Locked());
    Toggle("1", true, "系统参数错误,不能关闭开机自动启动");
    EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), QuotedExe());
    EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "<none>") << "removed where it could be";
  }
  ASSERT_TRUE(SetRunValue(HKEY_LOCAL_MACHINE, ""));  // by someone else
  Toggle("0", false, "已经关闭开机自动启动!!");
  {
    ReadOnlyFile marker(MarkerPath(), "0");
    ASSERT_TRUE(marker.Unwritable()) << "could not make a file that cannot be written here";
    Toggle("0", true, "对 " + MarkerPath() + " 的存取被拒绝。");  // registered before the marker
    EXPECT_EQ(UserValueOnly(), QuotedExe());
  }
}

}  // namespace
