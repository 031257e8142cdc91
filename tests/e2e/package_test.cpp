// What a Windows user downloads: the setup program (installed silently, started, updated over a running copy,
// uninstalled) and the portable zip (unpacked by the ctest fixture, then started). Both come from build/<tree>/package,
// made by the build (cmake/package.cmake).
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "base/version.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallivo";
const std::set<std::string> kProgramFiles = {"SkinH.dll", "Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll"};

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string FullPath(const std::string& path) { return std::filesystem::absolute(path).string(); }
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

// Runs setup or the uninstaller silently until it and the processes it started have ended (the uninstaller copies
// itself to the temporary folder, starts the copy and ends at once); a job holds them all. Not waited for: a Tallivo it
// started, which is meant to stay, and Wine's desktop process (explorer.exe), which the first program that needs the
// shell starts. Its exit code, ~0u when it did not start or end.
DWORD RunSilently(const std::string& exe) {
  std::string line = "\"" + exe + "\" /S";
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &si, &pi))
    return ~0u;
  const bool held = AssignProcessToJobObject(job, pi.hProcess);
  ResumeThread(pi.hThread);
  CloseHandle(pi.hThread);
  std::string waitingFor;
  const auto done = [&] {
    struct {
      JOBOBJECT_BASIC_PROCESS_ID_LIST list;
      ULONG_PTR more[63];
    } ids = {{64}};
    if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr)) return false;
    waitingFor.clear();
    for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
      const DWORD id = static_cast<DWORD>(ids.list.ProcessIdList[i]);
      HANDLE p = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
      if (!p) continue;  // gone since the list was made
      char path[MAX_PATH * 2] = {};
      DWORD size = sizeof path;
      const bool ended = WaitForSingleObject(p, 0) == WAIT_OBJECT_0;
      QueryFullProcessImageNameA(p, 0, path, &size);  // no name when it fails
      CloseHandle(p);
      const std::string name = std::filesystem::path(path).filename().string();
      if (!ended && _stricmp(name.c_str(), "Tallivo.exe") && _stricmp(name.c_str(), "explorer.exe"))
        waitingFor += " " + std::to_string(id) + ":" + name;
    }
    return waitingFor.empty();
  };
  DWORD code = ~0u;
  if (held && WaitUntil(done, 120000))
    GetExitCodeProcess(pi.hProcess, &code);
  else
    printf("still running:%s\n", waitingFor.c_str());
  CloseHandle(pi.hProcess);
  CloseHandle(job);
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

TEST(Installer, SilentSetupInstallsRunsUpdatesAndUninstallsKeepingTheFigures) {
  ASSERT_TRUE(Exists(SetupPath())) << SetupPath() << " missing: is makensis installed (scripts/package)?";
  RemoveInstallation();
  SeedDay(Today().wMonth, Today().wDay, 4321, 321, 21, 1, 54321, 12345, 600);
  const std::string exe = InstallDir() + "\\Tallivo.exe";
  ASSERT_EQ(RunSilently(SetupPath()), 0u);
  std::set<std::string> want = kProgramFiles;
  want.insert("uninstall.exe");
  EXPECT_EQ(FilesIn(InstallDir()), want);
  // Listed under Apps for this user only.
  EXPECT_EQ(RegValue(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion"), TALLIVO_VERSION_TEXT);
  EXPECT_STRCASEEQ(RegValue(HKEY_CURRENT_USER, kUninstallKey, "QuietUninstallString").c_str(),
                   ("\"" + InstallDir() + "\\uninstall.exe\" /S").c_str());
  EXPECT_EQ(RegValue(HKEY_LOCAL_MACHINE, kUninstallKey, ""), "<no key>");

  // Started from the Start menu, as Explorer does: in its own folder, where "start with Windows" then leaves its
  // marker; the seeded day goes on.
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

  // The silent uninstall closes it again, removes it, its shortcut and the Run values that would start it (its own,
  // quoted, and one an older version wrote unquoted), keeps one that starts a copy kept elsewhere, another program's
  // value and the day's figures.
  App again;
  ASSERT_TRUE(again.StartPath(Wide(exe), 20000, InstallDir()));
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
  EXPECT_EQ(RegValue(HKEY_CURRENT_USER, kUninstallKey, ""), "<no key>");
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), "<none>");
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY), "<none>");
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY), "\"" + kept + "\"");
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER, 0, "TallivoTestNeighbour"), "C:\\windows\\notepad.exe");
  DeleteFileA(kept.c_str());
  RemoveDirectoryA((BinDir() + "\\Kept Tallivo").c_str());
  EXPECT_EQ(Stored("KeyBoard"), 54321u);
  RemoveInstallation();
}

// The portable zip as the ctest fixture unpacked it: the files setup installs and a readme Notepad shows in both
// languages; it runs from there.
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
  EXPECT_NE(readme.find("使用方法"), std::string::npos);
  EXPECT_NE(readme.find("How to use it"), std::string::npos);

  ResetProfile();
  App app;
  ASSERT_TRUE(app.StartPath(Wide(PortableDir() + "\\Tallivo.exe"), 20000, PortableDir()));
  EXPECT_TRUE(WaitUntil([&] { return Stored("Month", "DateCur") == Today().wMonth; })) << "no save";
  app.Command(IDCANCEL);  // Esc ends it at once
  EXPECT_TRUE(app.WaitExit(15000) && app.ExitCode() == 0);
  ResetProfile();
}

}  // namespace
