#include "tools_harness.h"

#include <commctrl.h>
#include <sddl.h>

#include <cstring>
#include <fstream>
#include <utility>
#include <vector>

#include "menu_probe.h"
#include "res/resource.h"
#include "stats/stats_text.h"

namespace e2e {

namespace {
constexpr char kRunSubkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kHttpsOpen[] = "Software\\Classes\\https\\shell\\open\\command";
// Wine's own settings for every Tallivo.exe of the prefix.
constexpr char kWineAppKey[] = "Software\\Wine\\AppDefaults\\Tallivo.exe";

// Sets a text value (the default one when name is null) of root\\key, creating the key when missing.
LONG SetText(HKEY root, const std::string& key, const char* name, const std::string& text) {
  const std::wstring data = Wide(text);
  return RegSetKeyValueW(root, Wide(key).c_str(), name ? Wide(name).c_str() : nullptr, REG_SZ, data.c_str(),
                         static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

// A dialog window (#32770) of the process owned by owner, shown, other than except.
HWND OwnedDialog(const App& app, HWND owner, HWND except, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w : TopLevelWindowsOf(app.Pid(), nullptr, "#32770"))
          if (w != except && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == owner) return (found = w) != nullptr;
        return false;
      },
      timeoutMs);
  return found;
}
}  // namespace

std::string UnixPath(const std::string& winPath) {
  const auto fn = Export<char*(CDECL*)(const WCHAR*)>("kernel32.dll", "wine_get_unix_file_name");
  char* unix = fn ? fn(Wide(winPath).c_str()) : nullptr;
  if (!unix) return "";  // not under Wine
  std::string out(unix);
  HeapFree(GetProcessHeap(), 0, unix);
  return out;
}

void App::ExpectCounters(std::array<uint32_t, 5> n, DWORD timeoutMs) const {
  using tallivo::CounterLabel;
  using tallivo::InputKind;
  const std::pair<int, std::string> want[] = {{IDC_LEFT_CLICKS, CounterLabel(InputKind::Left, n[0])},
                                              {IDC_RIGHT_CLICKS, CounterLabel(InputKind::Right, n[1])},
                                              {IDC_MIDDLE_CLICKS, CounterLabel(InputKind::Middle, n[2])},
                                              {IDC_WHEEL_STEPS, CounterLabel(InputKind::Wheel, n[3])},
                                              {IDC_KEY_STROKES, CounterLabel(InputKind::Key, n[4])},
                                              {IDC_TOTAL_CLICKS, tallivo::TotalClicksLabel(n[0] + n[1] + n[2] + n[3])}};
  for (const auto& [id, text] : want) EXPECT_TRUE(WaitText(id, text, timeoutMs)) << Text(id) << ", want " << text;
}

void App::ExpectSixteenJumps() const {
  for (int i = 0; i < 16; ++i) {
    ASSERT_TRUE(i % 2 == 0 ? MoveCursor(800, 700) : MoveCursor(500, 300));
    Pump(60);
  }
  const float ppm = MeasurePixelsPerMetre();
  EXPECT_TRUE(WaitText(IDC_MOVE_METRES, tallivo::MetresLabel(static_cast<float>(8000.0 / ppm))))
      << Text(IDC_MOVE_METRES) << " ppm " << ppm;
  EXPECT_TRUE(WaitUntil([] { return Stored("MouseMove") == 8000; })) << Stored("MouseMove");
}

std::string AnswerAppBox(const App& app, DWORD timeoutMs, const char* caption) {
  std::string text = "<no box>";
  app.Answer(IDOK, &text, timeoutMs, caption);
  return text;
}

bool RunInside(const App& app, const char* dllName) {
  HANDLE proc = OpenProcess(PROCESS_ALL_ACCESS, FALSE, app.Pid());
  if (!proc) return false;
  const std::string dll = BinDir() + "\\" + dllName;
  SharedBlock path(proc, dll.size() + 1);  // it keeps a handle of its own
  HANDLE thread = nullptr;
  if (path.Ok()) {
    memcpy(path.Local(), dll.c_str(), dll.size() + 1);
    // kernel32 sits at the same address in every process of the session.
    const auto load = Export<LPTHREAD_START_ROUTINE>("kernel32.dll", "LoadLibraryA");
    thread = CreateRemoteThread(proc, nullptr, 0, load, path.Remote(), 0, nullptr);
  }
  const bool ran = thread && WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0;
  if (thread) CloseHandle(thread);
  CloseHandle(proc);
  return ran;
}

UINT MenuItemState(const App& app, int submenu, UINT command) {
  HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(MenuProbe), kMenuProbeName);
  if (!map) return 0xFFFFFFFFu;
  auto* probe = static_cast<MenuProbe*>(MapViewOfFile(map, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(MenuProbe)));
  UINT state = 0xFFFFFFFFu;
  if (probe) {
    *probe = {reinterpret_cast<INT_PTR>(app.Main()), submenu, command, 0xFFFFFFFFu, 0};
    if (RunInside(app, "menu_probe.dll") && probe->done) state = probe->state;
    UnmapViewOfFile(probe);
  }
  CloseHandle(map);
  return state;
}

int ListRows(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListCell(HANDLE process, HWND list, int row, int column) {
  SharedBlock block(process, 4096);
  if (!block.Ok()) return "<no memory>";
  *reinterpret_cast<LVITEMW*>(block.Local()) = {
      .iSubItem = column, .pszText = reinterpret_cast<wchar_t*>(block.Remote() + 1024), .cchTextMax = 1024};
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.Remote()));
  return Utf8(reinterpret_cast<wchar_t*>(block.Local() + 1024));  // a new block is zeros: "" when nothing came
}

SaveOutcome SaveAs(const App& app, HWND owner, WORD command, const std::string& name, const std::function<bool()>& done,
                   const std::function<void()>& between) {
  SaveOutcome out;
  PostMessageA(owner, WM_COMMAND, command, 0);
  const HWND dlg = OwnedDialog(app, owner, nullptr, 5000);
  if (!dlg) return out;
  // The name field: cmb13, or edt1 in the old style.
  SetWindowTextW(GetDlgItem(dlg, 0x47C) ? GetDlgItem(dlg, 0x47C) : GetDlgItem(dlg, 0x480), Wide(name).c_str());
  between();
  PressButton(dlg, IDOK);
  WaitUntil(
      [&] {
        // A question comes from the save dialog, a failure from it or from the program.
        for (HWND by : {dlg, owner}) {
          const HWND box = OwnedDialog(app, by, dlg, 0);
          if (!box) continue;
          if (GetDlgItem(box, IDYES)) {
            ++out.asked;
            PressButton(box, IDYES);
          } else {
            out.caption = WindowText(box);
            out.text = DialogStaticText(box);
            PressButton(box, IDOK);
          }
          WaitUntil([&] { return !IsWindow(box); });
        }
        return !out.caption.empty() || (out.saved = done && done());
      },
      10000);
  if (IsWindow(dlg)) PressButton(dlg, IDCANCEL);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); })) << "the save dialog stays";
  return out;
}

BrowserStandIn::BrowserStandIn()
    : m_oldCommand(RegValue(HKEY_LOCAL_MACHINE, kHttpsOpen, nullptr)), m_logPath(BinDir() + "\\browser_requests.txt") {
  DeleteFileA(m_logPath.c_str());
  // Wine's HKEY_CLASSES_ROOT is the machine's classes key.
  SetText(HKEY_LOCAL_MACHINE, kHttpsOpen, nullptr,
          "\"" + BinDir() + "\\url_recorder.exe\" \"" + m_logPath + "\" \"%1\"");
}

BrowserStandIn::~BrowserStandIn() {
  if (m_oldCommand == "<no key>" || m_oldCommand == "<none>")
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kHttpsOpen, nullptr);
  else
    SetText(HKEY_LOCAL_MACHINE, kHttpsOpen, nullptr, m_oldCommand);
  DeleteFileA(m_logPath.c_str());
}

RunKeyLock::RunKeyLock(HKEY root) : m_root(root) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, kRunSubkey, 0, nullptr, 0, READ_CONTROL | WRITE_DAC, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  DWORD size = 0;
  RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
  std::string old(size, '\0');
  if (size && RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, old.data(), &size) == ERROR_SUCCESS) {
    m_oldSecurity = old;
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    // Protected DACL: everyone may read, nobody may write.
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr)) {
      m_locked = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
      LocalFree(readOnly);
    }
  }
  RegCloseKey(key);
  if (m_locked) {
    HKEY probe = nullptr;
    if (RegOpenKeyExA(root, kRunSubkey, 0, KEY_WRITE, &probe) == ERROR_SUCCESS) {
      RegCloseKey(probe);
      m_locked = false;  // not enforced here: the caller must know
    }
  }
}

RunKeyLock::~RunKeyLock() {
  if (m_oldSecurity.empty()) return;
  HKEY key = nullptr;
  if (RegOpenKeyExA(m_root, kRunSubkey, 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, m_oldSecurity.data());
    RegCloseKey(key);
  }
}

std::string RegValue(HKEY root, const std::string& key, const char* name, REGSAM view) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(root, Wide(key).c_str(), 0, KEY_QUERY_VALUE | view, &h) != ERROR_SUCCESS) return "<no key>";
  wchar_t buf[1024] = {};
  DWORD size = sizeof buf;
  const LONG rc = RegGetValueW(h, nullptr, name ? Wide(name).c_str() : nullptr, RRF_RT_REG_SZ, nullptr, buf, &size);
  RegCloseKey(h);
  return rc == ERROR_SUCCESS ? Utf8(buf) : "<none>";
}

std::string RunValue(HKEY root, REGSAM view, const char* name) {
  const std::string value = RegValue(root, kRunSubkey, name, view);
  return value == "<no key>" ? "<none>" : value;
}

bool SetRunValue(HKEY root, const std::string& data, REGSAM view, const char* name) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, kRunSubkey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring value = Wide(name), text = Wide(data);
  const LONG rc = data.empty() ? RegDeleteValueW(key, value.c_str())
                               : RegSetValueExW(key, value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS || (data.empty() && rc == ERROR_FILE_NOT_FOUND);
}

PlantedCopy::PlantedCopy(const std::string& folder, std::vector<std::string> planted)
    : m_folder(folder), m_planted(std::move(planted)) {
  CreateDirectoryA(Dir().c_str(), nullptr);
  m_ready = true;
  for (const char* f : {"Tallivo.exe", "TallivoHook.dll", "TallivoTaskHook.dll"})
    m_ready = CopyFileA((BinDir() + "\\" + f).c_str(), (Dir() + "\\" + f).c_str(), FALSE) && m_ready;
  const std::string overrides = std::string(kWineAppKey) + "\\DllOverrides";
  for (const std::string& p : m_planted) {
    const std::string path = BinDir() + "\\" + p;
    CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), nullptr);
    DeleteFileA((path + ".loaded").c_str());
    m_ready = CopyFileA((BinDir() + "\\planted_dll.dll").c_str(), path.c_str(), FALSE) && m_ready;
    const std::string file = p.substr(p.rfind('\\') + 1), name = file.substr(0, file.rfind('.'));
    m_ready = SetText(HKEY_CURRENT_USER, overrides, name.c_str(), "native,builtin") == ERROR_SUCCESS && m_ready;
  }
}

PlantedCopy::~PlantedCopy() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kWineAppKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kWineAppKey);
  for (const std::string& p : m_planted) DeleteFileA((BinDir() + "\\" + p + ".loaded").c_str());
}

std::string PlantedCopy::Loaded() const {
  std::string loaded;
  for (const std::string& p : m_planted)
    if (GetFileAttributesA((BinDir() + "\\" + p + ".loaded").c_str()) != INVALID_FILE_ATTRIBUTES) loaded += p + "\n";
  return loaded;
}

ReadOnlyFile::ReadOnlyFile(const std::string& path, const std::string& content) : m_path(path) {
  // A run that was killed may have left the file immutable: free it first,
  // or it stays behind for good (and no one can delete the build tree).
  const auto writable = [this] { return !Unwritable(); };
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES && Unwritable()) SetImmutable(path, false, writable);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::ofstream(path, std::ios::binary) << content;
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  if (!Unwritable()) {
    m_immutable = true;  // undone at the end even if it took effect only late
    SetImmutable(path, true, writable);
  }
}

ReadOnlyFile::~ReadOnlyFile() {
  if (m_immutable) SetImmutable(m_path, false, [this] { return !Unwritable(); });
  SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(m_path.c_str());
}

bool SetImmutable(const std::string& path, bool on, const std::function<bool()>& writable) {
  return RunUnix(std::string("/usr/bin/chattr ") + (on ? "+i" : "-i") + " \"" + UnixPath(path) + "\"") &&
         WaitUntil([&] { return writable() != on; });
}

bool ReadOnlyFile::Unwritable() const {
  HANDLE h = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_ACCESS_DENIED;
  CloseHandle(h);
  return false;
}

}  // namespace e2e
