#include "tools/autostart.h"

#include <cstring>

#include "base/module_path.h"
#include "base/text_format.h"
#include "res/resource.h"
#include "ui/data_exchange.h"
#include "ui/dialog.h"

using tallivo::AutoStartOutcome;
using tallivo::RunKeyResult;

namespace tools {

namespace {

// Always the per-user key, which may not exist yet in a new profile.
RunKeyResult WriteUserRunValue(const std::string& data) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, tallivo::Wide(tallivo::kRunSubkey).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      &key, nullptr) != ERROR_SUCCESS) {
    return RunKeyResult::NoAccess;
  }
  // REG_SZ data with its terminating zero, as the registry expects.
  const std::wstring wide = tallivo::Wide(data);
  const LONG set = RegSetValueExW(key, tallivo::Wide(tallivo::kRunValueName).c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(wide.c_str()),
                                  static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return set == ERROR_SUCCESS ? RunKeyResult::Done : RunKeyResult::Failed;
}

bool RunValuePresent(HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, tallivo::Wide(tallivo::kRunSubkey).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  const LONG r =
      RegQueryValueExW(key, tallivo::Wide(tallivo::kRunValueName).c_str(), nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return r == ERROR_SUCCESS;
}

RunKeyResult RemoveRunValue(HKEY root) {
  HKEY key = nullptr;
  const LONG opened = RegOpenKeyExW(root, tallivo::Wide(tallivo::kRunSubkey).c_str(), 0, KEY_WRITE, &key);
  if (opened != ERROR_SUCCESS) {
    // Only a value we cannot remove matters: it still starts the program.
    return RunValuePresent(root) ? RunKeyResult::NoAccess : RunKeyResult::Absent;
  }
  const LONG r = RegDeleteValueW(key, tallivo::Wide(tallivo::kRunValueName).c_str());
  RegCloseKey(key);
  if (r == ERROR_SUCCESS) return RunKeyResult::Done;
  if (r == ERROR_FILE_NOT_FOUND) return RunKeyResult::Absent;
  return RunKeyResult::Failed;
}

}  // namespace

AutoStartOutcome RegisterAutoStart() {
  const std::string path = tallivo::ModulePath();
  if (path.empty()) return tallivo::RegisterOutcome(RunKeyResult::Failed);
  return tallivo::RegisterOutcome(WriteUserRunValue(tallivo::RunValueData(path)));
}

AutoStartOutcome UnregisterAutoStart() {
  const RunKeyResult machine = RemoveRunValue(HKEY_LOCAL_MACHINE);
  const RunKeyResult user = RemoveRunValue(HKEY_CURRENT_USER);
  return tallivo::UnregisterOutcome(machine, user);
}

namespace {

std::string MarkerPath() { return tallivo::MarkerPathForModule(tallivo::ModulePath()); }

}  // namespace

bool ReadAutoStartMarker(std::string* content) {
  const std::string path = MarkerPath();
  HANDLE file = CreateFileW(tallivo::Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char byte = 0;
  DWORD got = 0;
  const BOOL ok = ReadFile(file, &byte, 1, &got, nullptr);
  CloseHandle(file);
  if (!ok) return false;
  content->assign(&byte, got);
  return true;
}

bool WriteAutoStartMarker(const char* text) {
  return ui::WriteWholeFile(MarkerPath(), text, static_cast<DWORD>(std::strlen(text)), true);
}

namespace {
// "设置(&S)" in the menu bar.
constexpr int kSettingsMenu = 1;
}  // namespace

void AutoStart::SetCheck(HWND mainWindow, bool on) {
  CheckMenuItem(GetSubMenu(GetMenu(mainWindow), kSettingsMenu), ID_AUTOSTART,
                MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void AutoStart::Toggle(HWND mainWindow) {
  const AutoStartOutcome outcome = m_on ? UnregisterAutoStart() : RegisterAutoStart();
  // The item shows what Windows will do at the next logon.
  SetCheck(mainWindow, outcome.on);
  if (outcome.message) ui::AppMessageBox(outcome.message, MB_OK);
  m_on = outcome.on ? 1 : 0;
  WriteAutoStartMarker(tallivo::MarkerText(outcome.on));
}

void AutoStart::Restore(HWND mainWindow) {
  std::string content;
  if (!ReadAutoStartMarker(&content)) {
    m_on = 0;
    return;
  }
  if (!tallivo::MarkerSaysOn(content)) {
    m_on = 0;
    return;
  }
  // Written again at every start, so a moved program starts from its new place.
  const AutoStartOutcome outcome = RegisterAutoStart();
  if (outcome.message) ui::AppMessageBox(outcome.message, MB_OK);
  SetCheck(mainWindow, outcome.on);
  m_on = outcome.on ? 1 : 0;
}

}  // namespace tools
