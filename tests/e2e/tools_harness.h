// Test helpers for the system tools: what the shell, the session and the
// registry are asked for, read back without side effects on the machine.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

// Unix path of a Windows path (the test may call Unix tools on it), "" when not under Wine.
std::string UnixPath(const std::string& winPath);
// chattr +i (on) or -i on a file or folder, then waits until writable() tells the change; false when either fails.
bool SetImmutable(const std::string& path, bool on, const std::function<bool()>& writable);

// Text of a message box (the program's own, captioned "Tallivo", unless told), answered with OK; "<no box>" if none.
std::string AnswerAppBox(const App& app, DWORD timeoutMs = 5000, const char* caption = "Tallivo");

// One copy of the program for all cases of a suite, started on an empty profile (after Suite::BeforeStart()); each case
// first checks that it still runs.
template <typename Suite>
class SharedApp : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetProfile();
    Suite::BeforeStart();
    s_app = new App;
    ASSERT_TRUE(s_app->Start());
  }
  static void TearDownTestSuite() {
    delete s_app;
    s_app = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(s_app && s_app->Running()); }
  static void BeforeStart() {}
  static App* s_app;
};
template <typename Suite>
App* SharedApp<Suite>::s_app = nullptr;

// Loads a helper library of the tests (its DllMain does the work) into the
// running program and waits until its DllMain has returned.
bool RunInside(const App& app, const char* dllName);
// The state bits (MF_CHECKED...) of an item in the program's menu bar, read
// inside the program; 0xFFFFFFFF when it cannot be read.
UINT MenuItemState(const App& app, int submenu, UINT command);

// A list view of another process: its rows, and the text of one cell read through memory shared with the process.
int ListRows(HWND list);
std::string ListCell(HANDLE process, HWND list, int row, int column);

// What came of a save through one of the program's save dialogs.
struct SaveOutcome {
  bool saved = false;  // done() came true
  int asked = 0;       // the save dialog's questions (replace the file?), each answered Yes
  // The box that said why the file was not saved (the save dialog's own or the program's, captioned "Tallivo"),
  // answered OK; both empty when none came.
  std::string caption, text;
};
// Posts command to owner, types name into the save dialog it opens, runs between() and presses OK; then waits up to
// 10 s for done() or a box that tells of a failure, and closes the save dialog should it still be open.
SaveOutcome SaveAs(
    const App& app, HWND owner, WORD command, const std::string& name, const std::function<bool()>& done,
    const std::function<void()>& between = [] {});

// While alive, https addresses open in a recorder instead of the browser.
class BrowserStandIn {
 public:
  BrowserStandIn();
  ~BrowserStandIn();
  // "address|show command" lines, one per request.
  std::string Requests() const { return ReadFileBytes(m_logPath); }

 private:
  std::string m_oldCommand;
  std::string m_logPath;
};

// While alive, the Run key under root can be read but not written.
class RunKeyLock {
 public:
  explicit RunKeyLock(HKEY root);
  ~RunKeyLock();
  bool Locked() const { return m_locked; }

 private:
  HKEY m_root;
  std::string m_oldSecurity;
  bool m_locked = false;
};

// A file nobody may write, with the given content: read-only and, since Wine
// running as root ignores that, immutable too; removed with the object.
class ReadOnlyFile {
 public:
  ReadOnlyFile(const std::string& path, const std::string& content);
  ~ReadOnlyFile();
  // Writing it fails with ERROR_ACCESS_DENIED.
  bool Unwritable() const;

 private:
  std::string m_path;
  bool m_immutable = false;
};

// A copy of the program and its hook libraries in BinDir()\<folder>, and planted_dll.dll copied to each of the given
// paths (relative to BinDir()), e.g. "<folder>\\wininet.dll" beside the copy or "Downloads\\SkinH.dll" in a folder to
// start it in. A planted file that is loaded leaves "<path>.loaded" beside itself.
class PlantedCopy {
 public:
  PlantedCopy(const std::string& folder, std::vector<std::string> planted);
  ~PlantedCopy();
  bool Ready() const { return m_ready; }
  std::string Dir() const { return BinDir() + "\\" + m_folder; }
  // Starts the copy in workDir. Wine prefers its own build of a system library to a file of that name beside a program;
  // while this object lives, every Tallivo.exe is told to look for the planted names as files first, as Windows does
  // for any library that is no KnownDLL.
  bool Start(App& app, const std::string& workDir, DWORD timeoutMs = 20000) const {
    return app.Start(m_folder + "\\Tallivo.exe", timeoutMs, workDir);
  }
  // The planted files that were loaded, one a line.
  std::string Loaded() const;

 private:
  std::string m_folder;
  std::vector<std::string> m_planted;
  bool m_ready = false;
};

// A text value of root\\key in the given registry view: "<no key>" without the key, "<none>" without the value.
std::string RegValue(HKEY root, const std::string& key, const char* name, REGSAM view = 0);
// A value of the Run key under root, in the given registry view; "<none>" when absent.
std::string RunValue(HKEY root, REGSAM view = 0, const char* name = "Tallivo");
// Sets that value; empty data removes it. False when the key cannot be written.
bool SetRunValue(HKEY root, const std::string& data, REGSAM view = 0, const char* name = "Tallivo");

}  // namespace e2e
