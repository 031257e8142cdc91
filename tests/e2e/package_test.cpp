// What a Windows user downloads: the setup program (installed silently,
// started, updated over a running copy, uninstalled) and the portable zip
// (unpacked by the ctest fixture, then started). Both come from
// build/<tree>/package, made by the build (cmake/package.cmake).
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/version.h"
#include "harness.h"
#include "res/resource.h"

using namespace e2e;

namespace {

constexpr char kCaption[] = "泰利沃v" TALLIVO_VERSION_TEXT "版";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallivo";
// A value of some other program in the Run key: the uninstaller must leave it.
constexpr char kOtherRunValue[] = "TallivoTestNeighbour";
const char* const kProgramFiles[] = {"Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll", "SkinH.dll"};

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return s;
}
bool SamePath(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::string FullPath(const std::string& path) {
  char buf[MAX_PATH * 2] = {};
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
  return n && n < sizeof buf ? std::string(buf, n) : path;
}

std::string ShellFolder(int csidl) {
  char buf[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf);
  return buf;
}

std::string PackageDir() { return FullPath(BinDir() + "\\..\\package"); }
std::string Arch() { return sizeof(void*) == 8 ? "x64" : "x86"; }
std::string SetupPath() {
  return PackageDir() + "\\Tallivo-" TALLIVO_VERSION_TEXT "-" + Arch() + "-setup.exe";
}
// Where the ctest fixture unpacked the portable zip.
std::string PortableDir() { return FullPath(BinDir() + "\\..\\package-test\\Tallivo"); }
std::string InstallDir() { return ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Tallivo"; }
std::string ShortcutPath() { return ShellFolder(CSIDL_PROGRAMS) + "\\Tallivo.lnk"; }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0) names.insert(fd.cFileName);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}


// Runs a command line to its end; returns its exit code, or ~0u when it did
// not start or did not end in time. *pid receives its process id.
DWORD RunAndWait(const std::string& cmdLine, DWORD timeoutMs, DWORD* pid = nullptr) {
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  std::vector<char> line(cmdLine.begin(), cmdLine.end());
  line.push_back(0);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return ~0u;
  if (pid) *pid = pi.dwProcessId;
  DWORD code = ~0u;
  if (WaitUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs)) {
    GetExitCodeProcess(pi.hProcess, &code);
  } else {
    TerminateProcess(pi.hProcess, 99);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

// The uninstaller copies itself to the temporary folder, starts the copy
// and ends: the work is done by its children. Waits for them.
bool WaitForChildren(DWORD parentPid, DWORD timeoutMs) {
  std::vector<HANDLE> children;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 pe = {sizeof pe};
  for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe)) {
    if (pe.th32ParentProcessID != parentPid || pe.th32ProcessID == parentPid) continue;
    if (HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pe.th32ProcessID)) children.push_back(h);
  }
  CloseHandle(snap);
  bool done = WaitUntil(
      [&] {
        for (HANDLE h : children) {
          if (WaitForSingleObject(h, 0) != WAIT_OBJECT_0) return false;
        }
        return true;
      },
      timeoutMs);
  for (HANDLE h : children) CloseHandle(h);
  return done;
}

// Silent uninstall as the Apps settings page would start it, to its very end.
DWORD UninstallSilently() {
  DWORD pid = 0;
  DWORD code = RunAndWait("\"" + InstallDir() + "\\uninstall.exe\" /S", 60000, &pid);
  if (pid) WaitForChildren(pid, 60000);
  return code;
}

std::string ProcessImage(HANDLE process) {
  char buf[MAX_PATH * 2] = {};
  DWORD size = sizeof buf;
  return QueryFullProcessImageNameA(process, 0, buf, &size) ? std::string(buf, size) : std::string();
}

std::vector<std::string> ModulesOf(HANDLE process) {
  std::vector<std::string> names;
  HMODULE mods[512];
  DWORD needed = 0;
  if (!EnumProcessModulesEx(process, mods, sizeof mods, &needed, LIST_MODULES_ALL)) return names;
  for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
    char buf[MAX_PATH * 2] = {};
    if (GetModuleFileNameExA(process, mods[i], buf, sizeof buf)) names.push_back(buf);
  }
  return names;
}

std::string FindModule(HANDLE process, const char* fileName) {
  for (const std::string& m : ModulesOf(process)) {
    size_t slash = m.find_last_of('\\');
    if (SamePath(m.substr(slash == std::string::npos ? 0 : slash + 1), fileName)) return m;
  }
  return {};
}

// A Tallivo started by whatever means, found by its main window.
struct Running {
  HWND main = nullptr;
  HANDLE process = nullptr;
  DWORD pid = 0;

  Running() = default;
  Running(const Running&) = delete;
  Running& operator=(const Running&) = delete;
  ~Running() { Kill(); }

  // Waits for the main window of a program whose executable is exePath.
  bool Find(const std::string& exePath, DWORD timeoutMs = 20000) {
    return WaitUntil(
        [&] {
          for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", kCaption); w;
               w = FindWindowExA(nullptr, w, "#32770", kCaption)) {
            DWORD p = 0;
            GetWindowThreadProcessId(w, &p);
            HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE | PROCESS_TERMINATE,
                                   FALSE, p);
            if (!h) continue;
            if (SamePath(ProcessImage(h), exePath)) {
              main = w;
              process = h;
              pid = p;
              return true;
            }
            CloseHandle(h);
          }
          return false;
        },
        timeoutMs);
  }
  bool Start(const std::string& dir) {
    std::string cmd = "\"" + dir + "\\Tallivo.exe\"";
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
      return false;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return Find(dir + "\\Tallivo.exe");
  }
  bool Alive() const { return process && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }
  bool WaitEnd(DWORD timeoutMs) {
    return process && WaitUntil([&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, timeoutMs);
  }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process) GetExitCodeProcess(process, &code);
    return code;
  }
  void Kill() {
    if (!process) return;
    if (Alive()) {
      TerminateProcess(process, 99);
      WaitForSingleObject(process, 5000);
    }
    CloseHandle(process);
    process = nullptr;
    main = nullptr;
  }
};

struct VersionInfo {
  bool ok = false;
  VS_FIXEDFILEINFO fixed = {};
  std::vector<DWORD> translations;  // LOWORD language, HIWORD code page
  std::vector<char> data;

  std::string String(const char* block, const char* name) const {
    std::string path = std::string("\\StringFileInfo\\") + block + "\\" + name;
    char* value = nullptr;
    UINT len = 0;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &len) || !value) {
      return "<missing>";
    }
    return std::string(value, strnlen(value, len));
  }
};

VersionInfo ReadVersion(const std::string& file) {
  VersionInfo v;
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  if (!size) return v;
  v.data.resize(size);
  if (!GetFileVersionInfoA(file.c_str(), 0, size, v.data.data())) return v;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  if (!VerQueryValueA(v.data.data(), "\\", reinterpret_cast<void**>(&fixed), &len) || len < sizeof *fixed) return v;
  v.fixed = *fixed;
  DWORD* tr = nullptr;
  if (VerQueryValueA(v.data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len)) {
    v.translations.assign(tr, tr + len / sizeof(DWORD));
  }
  v.ok = true;
  return v;
}

// The version resource every shipped file carries: product, version, its
// own name and a description of its own; returns the Chinese description.
std::string ExpectVersionResource(const std::string& dir, const char* name) {
  SCOPED_TRACE(dir + "\\" + name);
  VersionInfo v = ReadVersion(dir + "\\" + name);
  if (!v.ok) {
    ADD_FAILURE() << "no version resource";
    return {};
  }
  const DWORD ms = MAKELONG(TALLIVO_VERSION_MINOR, TALLIVO_VERSION_MAJOR);
  EXPECT_EQ(v.fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(v.fixed.dwFileVersionMS, ms);
  EXPECT_EQ(v.fixed.dwFileVersionLS, 0u);
  EXPECT_EQ(v.fixed.dwProductVersionMS, ms);
  EXPECT_EQ(v.fixed.dwProductVersionLS, 0u);
  const bool exe = strstr(name, ".exe") != nullptr;
  EXPECT_EQ(v.fixed.dwFileType, exe ? DWORD(VFT_APP) : DWORD(VFT_DLL));
  EXPECT_EQ(v.fixed.dwFileFlags & v.fixed.dwFileFlagsMask & VS_FF_DEBUG, 0u);
  // Simplified Chinese first (what Explorer shows on a Chinese system), then English.
  EXPECT_EQ(v.translations, (std::vector<DWORD>{MAKELONG(0x0804, 1200), MAKELONG(0x0409, 1200)}));
  for (const char* block : {"080404b0", "040904b0"}) {
    SCOPED_TRACE(block);
    EXPECT_EQ(v.String(block, "ProductName"), "Tallivo");
    EXPECT_EQ(v.String(block, "ProductVersion"), TALLIVO_VERSION_TEXT);
    EXPECT_EQ(v.String(block, "FileVersion"), TALLIVO_VERSION_TEXT);
    EXPECT_EQ(v.String(block, "CompanyName"), "Tallivo");
    EXPECT_EQ(v.String(block, "LegalCopyright"), "Copyright (C) Tallivo");
    EXPECT_TRUE(SamePath(v.String(block, "OriginalFilename"), name)) << v.String(block, "OriginalFilename");
  }
  std::string zh = v.String("080404b0", "FileDescription");
  std::string en = v.String("040904b0", "FileDescription");
  EXPECT_EQ(zh.rfind("泰利沃 ", 0), 0u) << zh;
  EXPECT_EQ(en.rfind("Tallivo ", 0), 0u) << en;
  return zh;
}

// All four program files: each carries the resource, each says what it is.
void ExpectProgramVersions(const std::string& dir) {
  std::set<std::string> descriptions;
  for (const char* f : kProgramFiles) descriptions.insert(ExpectVersionResource(dir, f));
  EXPECT_EQ(descriptions.size(), std::size(kProgramFiles)) << "descriptions are not all different";
}

// The embedded application manifest (resource 1 of type 24) as text.
std::string ManifestOf(const std::string& file) {
  std::string text;
  HMODULE m = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!m) return text;
  if (HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
    if (HGLOBAL g = LoadResource(m, r)) text.assign(static_cast<const char*>(LockResource(g)), SizeofResource(m, r));
  }
  FreeLibrary(m);
  return text;
}

// The program a running Tallivo works with: its DLLs from its own folder and
// the common controls of the manifest (version 6).
void ExpectLoadedFrom(const Running& app, const std::string& dir) {
  for (const char* dll : {"TallivoHook.dll", "TallivoTaskHook.dll", "SkinH.dll"}) {
    std::string path = FindModule(app.process, dll);
    EXPECT_TRUE(SamePath(path, dir + "\\" + dll)) << dll << " loaded from " << path;
  }
  // Version 6 lives side by side in WinSxS; the system folder holds 5.8.
  std::string comctl = Lower(FindModule(app.process, "comctl32.dll"));
  EXPECT_NE(comctl.find("\\winsxs\\"), std::string::npos) << comctl;
  EXPECT_NE(comctl.find("microsoft.windows.common-controls_6595b64144ccf1df_6."), std::string::npos) << comctl;
}

std::string ReadRegString(HKEY root, const char* key, const char* value, REGSAM view = 0) {
  HKEY h;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE | view, &h) != ERROR_SUCCESS) return "<no key>";
  char buf[1024] = {};
  DWORD size = sizeof buf - 1, type = 0;
  LONG rc = RegQueryValueExA(h, value, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS ? std::string(buf) : "<none>";
}

bool KeyExists(HKEY root, const char* key, REGSAM view = 0) {
  HKEY h;
  if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE | view, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

void SetRunValue(HKEY root, REGSAM view, const char* name, const std::string& data) {
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(root, kRunKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &h, nullptr), ERROR_SUCCESS);
  RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), DWORD(data.size() + 1));
  RegCloseKey(h);
}

void DeleteRunValue(HKEY root, REGSAM view, const char* name) {
  HKEY h;
  if (RegOpenKeyExA(root, kRunKey, 0, KEY_SET_VALUE | view, &h) != ERROR_SUCCESS) return;
  RegDeleteValueA(h, name);
  RegCloseKey(h);
}

struct Shortcut {
  bool ok = false;
  std::string target, workDir;
};

Shortcut ReadShortcut(const std::string& path) {
  Shortcut s;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link)))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wpath[MAX_PATH * 2] = {};
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wpath, MAX_PATH * 2);
      if (SUCCEEDED(file->Load(wpath, STGM_READ))) {
        char buf[MAX_PATH * 2] = {};
        if (SUCCEEDED(link->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH))) s.target = buf;
        buf[0] = 0;
        if (SUCCEEDED(link->GetWorkingDirectory(buf, sizeof buf))) s.workDir = buf;
        s.ok = true;
      }
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return s;
}

// Starts what the Start-menu entry starts, as Explorer would.
bool OpenShortcut(const std::string& path) {
  SHELLEXECUTEINFOA sei = {sizeof sei};
  sei.fMask = SEE_MASK_FLAG_NO_UI;
  sei.lpFile = path.c_str();
  sei.nShow = SW_SHOWNORMAL;
  return ShellExecuteExA(&sei);
}

bool HasButton(HWND w, int id) { return GetDlgItem(w, id) != nullptr; }

// The process and the ones it started, but not the Tallivo a setup
// program starts at the end: that one is meant to stay.
std::set<DWORD> ProcessAndHelpers(DWORD pid) {
  std::set<DWORD> pids = {pid};
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return pids;
  PROCESSENTRY32 pe = {sizeof pe};
  for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe)) {
    if (pe.th32ParentProcessID == pid && _stricmp(pe.szExeFile, "Tallivo.exe") != 0) pids.insert(pe.th32ProcessID);
  }
  CloseHandle(snap);
  return pids;
}

std::vector<HWND> VisibleWindowsOf(const std::set<DWORD>& pids) {
  std::vector<HWND> found;
  for (DWORD pid : pids) {
    for (HWND w : TopLevelWindowsOf(pid)) {
      if (IsWindowVisible(w)) found.push_back(w);
    }
  }
  return found;
}

// Runs a setup program or uninstaller with its wizard, as a user clicks
// through it: the default button of each page once it is enabled, and each
// Yes/No message box answered by answer(text). Returns whether it and the
// processes it started ended.
template <typename Answer>
bool ClickThrough(const std::string& cmdLine, Answer answer) {
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  std::vector<char> line(cmdLine.begin(), cmdLine.end());
  line.push_back(0);
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 90000) {
    std::set<DWORD> pids = ProcessAndHelpers(pi.dwProcessId);
    bool alive = false;
    for (DWORD pid : pids) {
      if (HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
        alive = alive || WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
        CloseHandle(h);
      }
    }
    if (!alive) return true;
    for (HWND w : VisibleWindowsOf(pids)) {
      if (HasButton(w, IDYES) && HasButton(w, IDNO)) {
        PressButton(w, answer(DialogStaticText(w)));
        WaitUntil([&] { return !IsWindow(w); });
        continue;
      }
      HWND next = GetDlgItem(w, IDOK);
      if (!next || !IsWindowVisible(next) || !IsWindowEnabled(next)) continue;
      // Press once per page: wait until the page has changed (another
      // text, disabled while working, or the window gone).
      std::string text = WindowText(next);
      PressButton(w, IDOK);
      WaitUntil([&] { return !IsWindow(next) || !IsWindowEnabled(next) || WindowText(next) != text; }, 10000);
    }
    Pump(20);
  }
  return false;
}

// Leftovers of an earlier, interrupted run would decide the results.
void RemoveInstallation() {
  for (const char* f : kProgramFiles) DeleteFileA((InstallDir() + "\\" + f).c_str());
  DeleteFileA((InstallDir() + "\\uninstall.exe").c_str());
  DeleteFileA((InstallDir() + "\\AuTo.dat").c_str());
  RemoveDirectoryA(InstallDir().c_str());
  DeleteFileA(ShortcutPath().c_str());
  RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
}

void RemoveRunValues() {
  DeleteRunValue(HKEY_CURRENT_USER, 0, "Tallivo");
  DeleteRunValue(HKEY_CURRENT_USER, 0, kOtherRunValue);
  DeleteRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "Tallivo");
  DeleteRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "Tallivo");
}

// Installs, runs, updates and removes in this order; each test continues
// from where the one before left the machine.
class Installer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RemoveInstallation();
    RemoveRunValues();
    ResetProfile();
    SYSTEMTIME t = Today();
    SeedDay(t.wMonth, t.wDay, 4321, 321, 21, 1, 54321, 12345, 600);
  }
  static void TearDownTestSuite() {
    delete s_app;
    s_app = nullptr;
    RemoveInstallation();
    RemoveRunValues();
    ResetProfile();
  }
  void SetUp() override {
    ASSERT_TRUE(Exists(SetupPath())) << SetupPath() << " missing: is makensis installed (scripts/package)?";
  }
  static Running* s_app;
};
Running* Installer::s_app = nullptr;

TEST_F(Installer, SilentSetupInstallsForTheCurrentUserOnly) {
  ASSERT_FALSE(Exists(InstallDir())) << "left over from an earlier run";
  EXPECT_EQ(RunAndWait("\"" + SetupPath() + "\" /S", 120000), 0u);

  std::set<std::string> want(std::begin(kProgramFiles), std::end(kProgramFiles));
  want.insert("uninstall.exe");
  EXPECT_EQ(FilesIn(InstallDir()), want) << InstallDir();

  // Listed under Apps for this user, not for the machine.
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion"), TALLIVO_VERSION_TEXT);
  EXPECT_TRUE(SamePath(ReadRegString(HKEY_CURRENT_USER, kUninstallKey, "InstallLocation"), InstallDir()));
  EXPECT_TRUE(SamePath(ReadRegString(HKEY_CURRENT_USER, kUninstallKey, "QuietUninstallString"),
                       "\"" + InstallDir() + "\\uninstall.exe\" /S"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));

  // Neither the setup program nor the program asks for administrator rights.
  EXPECT_NE(ManifestOf(SetupPath()).find("level=\"asInvoker\""), std::string::npos);
  std::string manifest = ManifestOf(InstallDir() + "\\Tallivo.exe");
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find(">false</dpiAware>"), std::string::npos);
}

TEST_F(Installer, StartMenuEntryStartsTheProgramInItsFolder) {
  Shortcut s = ReadShortcut(ShortcutPath());
  ASSERT_TRUE(s.ok) << ShortcutPath();
  EXPECT_TRUE(SamePath(s.target, InstallDir() + "\\Tallivo.exe")) << s.target;
  // The program keeps its start-with-Windows marker in the current directory.
  EXPECT_TRUE(SamePath(s.workDir, InstallDir())) << s.workDir;
}

TEST_F(Installer, EveryInstalledFileCarriesTheVersion) {
  ExpectProgramVersions(InstallDir());
  // The setup program too, so a download can be told apart.
  VersionInfo setup = ReadVersion(SetupPath());
  ASSERT_TRUE(setup.ok);
  EXPECT_EQ(setup.fixed.dwProductVersionMS, DWORD(MAKELONG(TALLIVO_VERSION_MINOR, TALLIVO_VERSION_MAJOR)));
  // NSIS keeps one version resource per language; Windows picks the one of
  // the user's language, whose own translation comes first.
  ASSERT_FALSE(setup.translations.empty());
  char block[16];
  snprintf(block, sizeof block, "%04x%04x", LOWORD(setup.translations[0]), HIWORD(setup.translations[0]));
  EXPECT_EQ(setup.String(block, "ProductName"), "Tallivo") << block;
  EXPECT_EQ(setup.String(block, "ProductVersion"), TALLIVO_VERSION_TEXT) << block;
}

TEST_F(Installer, InstalledProgramRunsFromTheStartMenu) {
  ASSERT_TRUE(OpenShortcut(ShortcutPath()));
  s_app = new Running;
  ASSERT_TRUE(s_app->Find(InstallDir() + "\\Tallivo.exe")) << "no main window of the installed program";
  ExpectLoadedFrom(*s_app, InstallDir());
  // It loaded the day seeded for today and goes on saving it.
  DWORD left = 0;
  EXPECT_TRUE(WaitUntil([&] { return ReadProfileDword("DataSetting", "MouseLeft", &left) && left == 4321; }));
}

TEST_F(Installer, SetupOverARunningCopyClosesAndReplacesIt) {
  ASSERT_TRUE(s_app && s_app->Alive());
  const std::string exe = InstallDir() + "\\Tallivo.exe";
  // Not in use, so it can go: setup must put it back.
  ASSERT_TRUE(DeleteFileA((InstallDir() + "\\uninstall.exe").c_str()));

  EXPECT_EQ(RunAndWait("\"" + SetupPath() + "\" /S", 120000), 0u);
  EXPECT_TRUE(s_app->WaitEnd(15000)) << "setup left the running copy alone";
  EXPECT_EQ(s_app->ExitCode(), 0u) << "closed by force, not through its window";
  EXPECT_EQ(ReadFileBytes(exe), ReadFileBytes(PackageDir() + "\\files\\Tallivo.exe"));
  EXPECT_TRUE(Exists(InstallDir() + "\\uninstall.exe"));

  delete s_app;
  s_app = new Running;
  ASSERT_TRUE(s_app->Start(InstallDir()));
}

TEST_F(Installer, SilentUninstallStopsTheProgramAndRemovesItButKeepsTheFigures) {
  ASSERT_TRUE(s_app && s_app->Alive());
  const std::string exe = InstallDir() + "\\Tallivo.exe";
  // What "start with Windows" leaves behind (marker and Run values), and a
  // value of another program in the same key.
  HANDLE marker = CreateFileA((InstallDir() + "\\AuTo.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
  DWORD written = 0;
  WriteFile(marker, "1", 1, &written, nullptr);
  CloseHandle(marker);
  SetRunValue(HKEY_CURRENT_USER, 0, "Tallivo", exe);
  SetRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "Tallivo", exe);
  SetRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, "Tallivo", exe);
  SetRunValue(HKEY_CURRENT_USER, 0, kOtherRunValue, "C:\\windows\\notepad.exe");

  EXPECT_EQ(UninstallSilently(), 0u);
  EXPECT_TRUE(s_app->WaitEnd(20000)) << "the uninstaller left Tallivo running";
  EXPECT_EQ(s_app->ExitCode(), 0u) << "closed by force, not through its window";

  EXPECT_FALSE(Exists(InstallDir())) << "left: " << ::testing::PrintToString(FilesIn(InstallDir()));
  EXPECT_FALSE(Exists(ShortcutPath()));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUninstallKey));
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kRunKey, "Tallivo"), "<none>");
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, "Tallivo", KEY_WOW64_64KEY), "<none>");
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, "Tallivo", KEY_WOW64_32KEY), "<none>");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kRunKey, kOtherRunValue), "C:\\windows\\notepad.exe");

  // Silent means "keep the figures": the day as the program saved it last.
  DWORD value = 0;
  EXPECT_TRUE(ReadProfileDword("DataSetting", "MouseLeft", &value) && value == 4321) << value;
  EXPECT_TRUE(ReadProfileDword("DataSetting", "KeyBoard", &value) && value == 54321) << value;
  EXPECT_TRUE(ReadProfileDword("DateCur", "Day", &value) && value == Today().wDay) << value;
  delete s_app;
  s_app = nullptr;
}

TEST_F(Installer, UninstallEndsAProgramThatDoesNotCloseAndKeepsOtherCopiesStarting) {
  ASSERT_EQ(RunAndWait("\"" + SetupPath() + "\" /S", 120000), 0u);
  s_app = new Running;
  ASSERT_TRUE(s_app->Start(InstallDir()));
  // The exit question is open: the program cannot end until it is answered.
  PostMessageA(s_app->main, WM_COMMAND, ID_EXIT, 0);
  ASSERT_TRUE(WaitUntil([&] {
    HWND box = FindWindowA("#32770", "提示");
    DWORD pid = 0;
    if (box) GetWindowThreadProcessId(box, &pid);
    return box && pid == s_app->pid && IsWindowVisible(box);
  }));
  // A Run value that starts a copy kept elsewhere is that copy's business.
  const std::string elsewhere = BinDir() + "\\Tallivo.exe";
  SetRunValue(HKEY_CURRENT_USER, 0, "Tallivo", elsewhere);
  SetRunValue(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, "Tallivo", InstallDir() + "\\Tallivo.exe");

  EXPECT_EQ(UninstallSilently(), 0u);
  EXPECT_TRUE(s_app->WaitEnd(20000)) << "the uninstaller left Tallivo running";
  EXPECT_FALSE(Exists(InstallDir())) << "left: " << ::testing::PrintToString(FilesIn(InstallDir()));
  EXPECT_TRUE(SamePath(ReadRegString(HKEY_CURRENT_USER, kRunKey, "Tallivo"), elsewhere));
  EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, kRunKey, "Tallivo", KEY_WOW64_64KEY), "<none>");
  DWORD value = 0;
  EXPECT_TRUE(ReadProfileDword("DataSetting", "MouseLeft", &value) && value == 4321) << value;
  DeleteRunValue(HKEY_CURRENT_USER, 0, "Tallivo");
  delete s_app;
  s_app = nullptr;
}

TEST_F(Installer, SetupWizardOffersToStartTallivo) {
  ASSERT_FALSE(Exists(InstallDir()));
  int boxes = 0;
  ASSERT_TRUE(ClickThrough("\"" + SetupPath() + "\"", [&](const std::string&) { return ++boxes, IDNO; }));
  EXPECT_EQ(boxes, 0);
  EXPECT_TRUE(Exists(InstallDir() + "\\Tallivo.exe"));
  // The last page's "start now" is ticked: the installed program runs.
  s_app = new Running;
  EXPECT_TRUE(s_app->Find(InstallDir() + "\\Tallivo.exe"));
}

TEST_F(Installer, UninstallWizardAsksAndCanRemoveTheFigures) {
  // Figures of a renamed copy (another executable name) are not this one's.
  HKEY h;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tallivo\\TallivoCopy\\DataSetting", 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &h, nullptr),
            ERROR_SUCCESS);
  DWORD seven = 7;
  RegSetValueExA(h, "MouseLeft", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&seven), sizeof seven);
  RegCloseKey(h);
  std::string question;
  ASSERT_TRUE(ClickThrough("\"" + InstallDir() + "\\uninstall.exe\"", [&](const std::string& text) {
    question = text;
    return IDNO;
  }));
  EXPECT_EQ(question.rfind("是否保留键鼠统计数据？", 0), 0u) << question;
  ASSERT_TRUE(s_app);
  EXPECT_TRUE(s_app->WaitEnd(20000)) << "the uninstaller left Tallivo running";
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_FALSE(Exists(ShortcutPath()));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Tallivo\\Tallivo"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Tallivo\\TallivoCopy\\DataSetting"));
}

// The portable zip as the ctest fixture unpacked it.
class PortableArchive : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Exists(PortableDir())) << PortableDir() << " missing: the zip was not unpacked";
  }
};

TEST_F(PortableArchive, HoldsTheProgramFilesAndABilingualReadme) {
  std::set<std::string> want(std::begin(kProgramFiles), std::end(kProgramFiles));
  want.insert("README.txt");
  EXPECT_EQ(FilesIn(PortableDir()), want);
  // Identical to what the setup program installs.
  for (const char* f : kProgramFiles) {
    EXPECT_EQ(ReadFileBytes(PortableDir() + "\\" + f), ReadFileBytes(PackageDir() + "\\files\\" + f)) << f;
  }
  ExpectProgramVersions(PortableDir());

  std::string readme = ReadFileBytes(PortableDir() + "\\README.txt");
  // UTF-8 with a byte-order mark and CR LF lines: Notepad shows both languages.
  EXPECT_EQ(readme.rfind("\xEF\xBB\xBF", 0), 0u);
  size_t lines = 0, bare = 0;
  for (size_t i = 0; i < readme.size(); ++i) {
    if (readme[i] != '\n') continue;
    ++lines;
    if (i == 0 || readme[i - 1] != '\r') ++bare;
  }
  EXPECT_GT(lines, 20u);
  EXPECT_EQ(bare, 0u) << "lines ending in LF only";
  EXPECT_NE(readme.find(reinterpret_cast<const char*>(u8"使用方法")), std::string::npos);
  EXPECT_NE(readme.find("How to use it"), std::string::npos);
  for (const char* f : kProgramFiles) EXPECT_NE(readme.find(f), std::string::npos) << f;
}

TEST_F(PortableArchive, UnpackedProgramRunsFromItsFolder) {
  ResetProfile();
  Running app;
  ASSERT_TRUE(app.Start(PortableDir()));
  ExpectLoadedFrom(app, PortableDir());
  // Counting and saving work: the day's figures appear in the profile.
  DWORD month = 0;
  EXPECT_TRUE(WaitUntil([&] { return ReadProfileDword("DateCur", "Month", &month); }));
  EXPECT_EQ(month, Today().wMonth);
  // Esc closes it at once, as the uninstaller does.
  PostMessageA(app.main, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(app.WaitEnd(15000));
  EXPECT_EQ(app.ExitCode(), 0u);
  ResetProfile();
}

}  // namespace
