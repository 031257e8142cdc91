// What a Windows user downloads: the setup program (installed silently,
// started, updated over a running copy, uninstalled) and the portable zip
// (unpacked by the ctest fixture, then started). Both come from
// build/<tree>/package, made by the build (cmake/package.cmake).
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "base/version.h"
#include "harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallivo";
const std::set<std::string> kProgramFiles = {"SkinH.dll", "Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll"};

bool SamePath(const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) == 0; }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string FullPath(const std::string& path) {
  char buf[MAX_PATH * 2] = {};
  return GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr) ? buf : path;
}
std::string Folder(int csidl) {
  char buf[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf);
  return buf;
}
std::string PackageDir() { return FullPath(BinDir() + "\\..\\package"); }
std::string SetupPath() {
  return PackageDir() + "\\Tallivo-" TALLIVO_VERSION_TEXT "-" + (sizeof(void*) == 8 ? "x64" : "x86") + "-setup.exe";
}
std::string PortableDir() { return FullPath(BinDir() + "\\..\\package-test\\Tallivo"); }
std::string InstallDir() { return Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Tallivo"; }
std::string ShortcutPath() { return Folder(CSIDL_PROGRAMS) + "\\Tallivo.lnk"; }

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  std::error_code absent;
  for (const auto& e : std::filesystem::directory_iterator(dir, absent)) names.insert(e.path().filename().string());
  return names;
}

// A registry value as text: "<none>" when absent, "<no key>" without the key.
std::string Reg(HKEY root, const char* key, const char* value) {
  HKEY h;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return "<no key>";
  char buf[1024] = {};
  DWORD size = sizeof buf - 1;
  const LONG rc = RegQueryValueExA(h, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS ? buf : "<none>";
}
// Calls f with each process of the session.
void ForEachProcess(const std::function<void(const PROCESSENTRY32&)>& f) {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 pe = {sizeof pe};
  for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe)) f(pe);
  CloseHandle(snap);
}

// Runs setup or the uninstaller silently until it and the processes it
// started have ended (the uninstaller copies itself to the temporary folder,
// starts the copy and ends at once), but not a Tallivo it started, which is
// meant to stay. Handles, not ids: Wine soon gives an ended process's id to
// another. Its exit code, ~0u when it did not start or end.
DWORD RunSilently(const std::string& exe) {
  // Processes that ran before the setup are never its children, even when
  // their parent's ended id was handed to the setup (the desktop process,
  // programs left by earlier tests).
  std::set<DWORD> ignored;
  ForEachProcess([&](const PROCESSENTRY32& pe) { ignored.insert(pe.th32ProcessID); });
  HANDLE h = StartProcess("\"" + exe + "\" /S");
  const DWORD pid = GetProcessId(h);
  std::map<DWORD, HANDLE> all = {{pid, h}};
  std::map<DWORD, DWORD> namelessSince;
  const auto time = [](HANDLE process, int which) {  // 0: its start, 1: its end
    FILETIME t[4] = {};
    GetProcessTimes(process, &t[0], &t[1], &t[2], &t[3]);
    return t[which];
  };
  const auto poll = [&] {
    // Once the setup has ended, its id may go to a new process whose
    // children are not the setup's: a child must start before its parent ends.
    const FILETIME setupEnd = time(h, 1);
    const bool setupEnded = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    ForEachProcess([&](const PROCESSENTRY32& pe) {
      const DWORD id = pe.th32ProcessID;
      if (pe.th32ParentProcessID != pid || id == pid || ignored.count(id)) return;
      // Tallivo is started on purpose and stays; Wine's desktop process
      // (explorer.exe), started by the first program that needs the shell,
      // does not end with the setup. Neither is the setup's work. Under
      // emulation a child has no name for its first moments, so this is
      // looked at again each round.
      const bool other = !_stricmp(pe.szExeFile, "Tallivo.exe") || !_stricmp(pe.szExeFile, "explorer.exe");
      // A child that stays nameless never started: Wine leaves one behind
      // for a program it refuses to run, such as its disabled menu builder,
      // which shortcuts call.
      const bool stillborn = !pe.szExeFile[0] && namelessSince.count(id) && GetTickCount() - namelessSince[id] > 15000;
      if (!pe.szExeFile[0] && !namelessSince.count(id)) namelessSince[id] = GetTickCount();
      if (other || stillborn) {
        if (all.count(id)) CloseHandle(all[id]), all.erase(id);
        ignored.insert(id);
      } else if (!all.count(id)) {
        HANDLE c = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
        const FILETIME start = c ? time(c, 0) : FILETIME{};
        if (c && setupEnded && CompareFileTime(&start, &setupEnd) > 0) ignored.insert(id), CloseHandle(c);
        if (c && !ignored.count(id)) all[id] = c;
      }
    });
    for (const auto& p : all)
      if (WaitForSingleObject(p.second, 0) != WAIT_OBJECT_0) return false;
    return true;
  };
  const bool ended = h && WaitUntil(poll, 120000);
  DWORD code = ~0u;
  if (ended) GetExitCodeProcess(h, &code);
  for (const auto& p : all) {
    if (!ended && WaitForSingleObject(p.second, 0) != WAIT_OBJECT_0) printf("still running: process %lu\n", p.first);
    CloseHandle(p.second);
  }
  return code;
}

void RemoveInstallation() {
  for (const std::string& f : FilesIn(InstallDir())) DeleteFileA((InstallDir() + "\\" + f).c_str());
  RemoveDirectoryA(InstallDir().c_str());
  DeleteFileA(ShortcutPath().c_str());
  RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
  for (REGSAM view : {0, KEY_WOW64_64KEY, KEY_WOW64_32KEY})
    SetRunValue(view ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, "", view);
  SetRunValue(HKEY_CURRENT_USER, "", 0, "TallivoTestNeighbour");
  ResetProfile();
}

class Installer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exists(SetupPath())) << SetupPath() << " missing: is makensis installed (scripts/package)?";
    RemoveInstallation();
    SeedDay(Today().wMonth, Today().wDay, 4321, 321, 21, 1, 54321, 12345, 600);
  }
  void TearDown() override { RemoveInstallation(); }
  const std::string exe = InstallDir() + "\\Tallivo.exe";
};

TEST_F(Installer, SilentSetupInstallsRunsUpdatesAndUninstallsKeepingTheFigures) {
  ASSERT_EQ(RunSilently(SetupPath()), 0u);
  std::set<std::string> want = kProgramFiles;
  want.insert("uninstall.exe");
  EXPECT_EQ(FilesIn(InstallDir()), want);
  // Listed under Apps for this user only.
  EXPECT_EQ(Reg(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion"), TALLIVO_VERSION_TEXT);
  EXPECT_TRUE(SamePath(Reg(HKEY_CURRENT_USER, kUninstallKey, "QuietUninstallString"),
                       "\"" + InstallDir() + "\\uninstall.exe\" /S"));
  EXPECT_EQ(Reg(HKEY_LOCAL_MACHINE, kUninstallKey, ""), "<no key>");

  // Started from the Start menu, as Explorer does: in its own folder, where
  // "start with Windows" then leaves its marker; the seeded day goes on.
  const auto opened = ShellExecuteA(nullptr, nullptr, ShortcutPath().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  ASSERT_GT(reinterpret_cast<INT_PTR>(opened), 32) << ShortcutPath();
  App app;
  ASSERT_TRUE(app.Attach(exe)) << "no main window of the installed program";
  app.Command(ID_AUTOSTART);
  EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(InstallDir() + "\\AuTo.dat") == "1"; }));
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "\"" + exe + "\"");
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), "<none>");
  EXPECT_EQ(Stored("MouseLeft"), 4321u);

  // Setup over the running copy closes it through its window and replaces it.
  ASSERT_TRUE(DeleteFileA((InstallDir() + "\\uninstall.exe").c_str()));
  ASSERT_EQ(RunSilently(SetupPath()), 0u);
  EXPECT_TRUE(app.WaitExit(15000) && app.ExitCode() == 0) << "the running copy was left alone or closed by force";
  EXPECT_EQ(ReadFileBytes(exe), ReadFileBytes(PackageDir() + "\\files\\Tallivo.exe"));
  EXPECT_TRUE(Exists(InstallDir() + "\\uninstall.exe"));

  // The silent uninstall closes it again, removes it, its shortcut and the
  // Run values that would start it (its own, quoted, and one an older
  // version wrote unquoted), keeps one that starts a copy kept elsewhere,
  // another program's value and the day's figures.
  App again;
  ASSERT_TRUE(again.StartPath(Widen(exe), 20000, InstallDir()));
  const std::string kept = BinDir() + "\\Kept Tallivo\\Tallivo.exe";
  CreateDirectoryA((BinDir() + "\\Kept Tallivo").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA(exe.c_str(), kept.c_str(), FALSE));
  ASSERT_TRUE(SetRunValue(HKEY_LOCAL_MACHINE, exe, KEY_WOW64_64KEY));
  ASSERT_TRUE(SetRunValue(HKEY_LOCAL_MACHINE, "\"" + kept + "\"", KEY_WOW64_32KEY));
  ASSERT_TRUE(SetRunValue(HKEY_CURRENT_USER, "C:\\windows\\notepad.exe", 0, "TallivoTestNeighbour"));
  EXPECT_EQ(RunSilently(InstallDir() + "\\uninstall.exe"), 0u);
  EXPECT_TRUE(again.WaitExit(20000) && again.ExitCode() == 0)
      << "the uninstaller left Tallivo running or closed it by force";
  EXPECT_FALSE(Exists(InstallDir())) << testing::PrintToString(FilesIn(InstallDir()));
  EXPECT_FALSE(Exists(ShortcutPath()));
  EXPECT_EQ(Reg(HKEY_CURRENT_USER, kUninstallKey, ""), "<no key>");
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "<none>");
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY), "<none>");
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY), "\"" + kept + "\"");
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, 0, "TallivoTestNeighbour"), "C:\\windows\\notepad.exe");
  DeleteFileA(kept.c_str());
  RemoveDirectoryA((BinDir() + "\\Kept Tallivo").c_str());
  EXPECT_EQ(Stored("KeyBoard"), 54321u);
}

// The portable zip as the ctest fixture unpacked it: the files setup
// installs and a readme Notepad shows in both languages; it runs from there.
TEST(PortableArchive, HoldsTheProgramAndAReadmeAndRunsFromItsFolder) {
  std::set<std::string> want = kProgramFiles;
  want.insert("README.txt");
  ASSERT_EQ(FilesIn(PortableDir()), want) << PortableDir();
  for (const std::string& f : kProgramFiles)
    EXPECT_EQ(ReadFileBytes(PortableDir() + "\\" + f), ReadFileBytes(PackageDir() + "\\files\\" + f)) << f;
  const std::string readme = ReadFileBytes(PortableDir() + "\\README.txt");
  EXPECT_EQ(readme.rfind("\xEF\xBB\xBF", 0), 0u) << "no UTF-8 byte-order mark";
  for (size_t i = readme.find('\n'); i != std::string::npos; i = readme.find('\n', i + 1))
    ASSERT_TRUE(i > 0 && readme[i - 1] == '\r') << "a line ends in LF only at " << i;
  EXPECT_NE(readme.find(reinterpret_cast<const char*>(u8"使用方法")), std::string::npos);
  EXPECT_NE(readme.find("How to use it"), std::string::npos);

  ResetProfile();
  App app;
  ASSERT_TRUE(app.StartPath(Widen(PortableDir() + "\\Tallivo.exe"), 20000, PortableDir()));
  EXPECT_TRUE(WaitUntil([&] { return Stored("Month", "DateCur") == Today().wMonth; })) << "no save";
  app.Command(IDCANCEL);  // Esc ends it at once
  EXPECT_TRUE(app.WaitExit(15000) && app.ExitCode() == 0);
  ResetProfile();
}

}  // namespace
