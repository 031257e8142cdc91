#include "history_harness.h"

#include <shlobj.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>

namespace e2e {

std::string HistoryFolder() {
  wchar_t base[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base);
  return Utf8(base) + "\\Tallivo";
}

std::string HistoryFile() { return HistoryFolder() + "\\history.db"; }

bool HistoryFolderWritable() {
  HANDLE h = CreateFileA((HistoryFolder() + "\\probe.tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return h != INVALID_HANDLE_VALUE;
}

void ClearHistory() {
  const std::string folder = HistoryFolder();
  // A run that failed half-way may have left the folder unwritable. Only then: the Unix command runs whenever Wine gets
  // to it, and a late one would undo what the next case sets up.
  if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES && !HistoryFolderWritable())
    SetImmutable(folder, false, HistoryFolderWritable);
  std::error_code absent;
  for (const auto& e : std::filesystem::directory_iterator(folder, absent))
    if (!e.is_directory(absent)) std::filesystem::remove(e.path(), absent);
}

SYSTEMTIME DayAgo(int n) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  t.wHour = 12;  // noon: a day's step never crosses two dates
  FILETIME ft;
  SystemTimeToFileTime(&t, &ft);
  ULARGE_INTEGER u = {{ft.dwLowDateTime, ft.dwHighDateTime}};
  u.QuadPart -= n * 864000000000ULL;  // 100 ns steps a day
  ft = {u.LowPart, u.HighPart};
  FileTimeToSystemTime(&ft, &t);
  return t;
}

std::string DateDaysAgo(int n) {
  const SYSTEMTIME t = DayAgo(n);
  char buf[16];
  snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
  return buf;
}

std::vector<double> HistoryRow(const std::string& sql, const std::string& file) {
  std::vector<double> row;
  sqlite3* db = nullptr;  // the engine takes UTF-8 paths; the test's paths are ASCII
  sqlite3_stmt* st = nullptr;
  sqlite3_open_v2((file.empty() ? HistoryFile() : file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(st); ++i)
      row.push_back(sqlite3_column_type(st, i) == SQLITE_NULL ? NAN : sqlite3_column_double(st, i));
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return row;
}

int64_t HistoryInt(const std::string& sql, const std::string& file) {
  const std::vector<double> row = HistoryRow(sql, file);
  return row.empty() || std::isnan(row[0]) ? -1 : static_cast<int64_t>(row[0]);
}

bool HistorySql(const std::string& sql, const std::string& file) {
  sqlite3* db = nullptr;
  const bool ok =
      sqlite3_open_v2((file.empty() ? HistoryFile() : file).c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK &&
      sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

void SetSync(const std::string& folder, const std::string& name) {
  for (const auto& [value, text] : {std::pair{L"Folder", folder}, {L"Name", name}}) {
    const std::wstring w = Wide(text);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Tallivo\\Tallivo\\Sync", value, REG_SZ, w.c_str(),
                    static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)));
  }
}

std::string CopyOf(const std::string& folder, const std::string& name) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\Tallivo\\*.db").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return "";
  std::string found;
  do {
    const std::string file = folder + "\\Tallivo\\" + fd.cFileName;
    const std::string n = fd.cFileName;
    // The exact name of a copy, and its computer row naming that computer.
    if (n.size() == 35 && HistoryInt("SELECT count(*) FROM computer WHERE name = '" + name + "' AND id || '.db' = '" +
                                         n + "'", file) == 1) {
      found = file;
    }
  } while (found.empty() && FindNextFileA(h, &fd));
  FindClose(h);
  return found;
}

KnownYear KnownYearRows(int oldest, int newest) {
  using namespace tallivo::history;
  KnownYear y;
  for (int k = oldest; k >= newest; --k) {
    if (k % 7 == 3 || (k >= 100 && k < 110) || (k > 364 && k != 501)) continue;
    const std::string date = DateDaysAgo(k);
    const DayRow d{date,
                   {k == 200 ? 5000000u : 10u + k, 2u + k % 5, k % 3u, 5u + k % 11, 100u + 2 * k, 1000u * (k + 1)},
                   0.25 * (k % 8),
                   60u * (k % 50) + 30};
    y.days.push_back(d);
    y.hours.push_back({date, 9 + k % 8, d.counts});
    const uint64_t keys = d.counts.keys;
    const std::pair<unsigned, uint64_t> strokes[] = {{0x20, 20}, {0x30, 3}, {0x31, 3},  {0x32, 3},
                                                     {0x33, 3},  {0x34, 3}, {0x41, 10}, {0x45, keys - 45}};
    for (const auto& [vk, n] : strokes) y.keys.push_back({date, vk, n});
    const uint64_t clicks = d.counts.left + d.counts.right + d.counts.middle, wheel = d.counts.wheel;
    ProgramDelta half{clicks / 2, wheel / 2, keys / 2}, third{clicks / 3, wheel / 3, keys / 3};
    ProgramDelta rest{clicks - half.clicks - third.clicks, wheel - half.wheel - third.wheel,
                      keys - half.keys - third.keys};
    // In the file's key order: the UTF-8 name sorts after the ASCII ones.
    y.programs.push_back({date, "notepad.exe", half});
    y.programs.push_back({date, "winword.exe", third});
    y.programs.push_back({date, "浏览器.exe", rest});
  }
  return y;
}

bool WriteKnownYear() {
  using namespace tallivo::history;
  ClearHistory();
  CreateDirectoryA(HistoryFolder().c_str(), nullptr);
  const KnownYear y = KnownYearRows();
  Deltas deltas;
  for (const auto& d : y.days) deltas.days[d.date] = DayDelta{d.counts, d.moveMetres, d.activeSeconds};
  for (const auto& h : y.hours) deltas.hours[{h.date, h.hour}] = h.counts;
  for (const auto& k : y.keys) deltas.keys[{k.date, k.vk}] = k.strokes;
  for (const auto& p : y.programs) deltas.programs[{p.date, p.exe}] = p.counts;
  HistoryStore store;
  return store.Open(HistoryFile(), time(nullptr)).Ok() && store.Write(deltas).Ok();
}

HWND OpenHistoryWindow(const App& app) {
  if (TopLevelWindowsOf(app.Pid(), "历史记录").empty()) app.Command(ID_HISTORY);
  HWND shown = nullptr;
  WaitUntil([&] {
    const std::vector<HWND> w = TopLevelWindowsOf(app.Pid(), "历史记录");
    return (shown = w.size() == 1 && IsWindowVisible(w[0]) ? w[0] : nullptr) != nullptr;
  });
  return shown;
}

bool PickRange(const App& app, HWND window, int fromAgo, int toAgo) {
  SharedBlock block(app.Process(), 256);
  if (!block.Ok()) return false;
  // The dates set, then the year of the second picker up and down again with the keyboard: the picker tells its window
  // only of the user's own changes. Again until the days list starts at the chosen day: a click may not have focused
  // the picker yet, and the window's refresh of each second puts a fixed range back into the pickers.
  for (int attempt = 0; attempt < 8; ++attempt) {
    for (const auto& [id, ago] : {std::pair{IDC_HIST_FROM, fromAgo}, {IDC_HIST_TO, toAgo}}) {
      *reinterpret_cast<SYSTEMTIME*>(block.Local()) = DayAgo(ago);
      SendMessageA(GetDlgItem(window, id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(block.Remote()));
    }
    SetForegroundWindow(window);
    const RECT rc = WindowRect(GetDlgItem(window, IDC_HIST_TO));
    ClickAt({rc.left + 12, (rc.top + rc.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
    Pump(200);
    TapKey(VK_UP, 1);
    Pump(200);
    TapKey(VK_DOWN, 1);
    auto listed = [&] {
      return ListCell(app.Process(), GetDlgItem(window, IDC_HIST_DAYS), 0, 0) == DateDaysAgo(fromAgo);
    };
    if (WaitUntil(listed, 2000)) return true;
  }
  return false;
}

bool ShowsWindowOfClass(const App& app, const char* name) {
  const std::vector<HWND> all = TopLevelWindowsOf(app.Pid(), nullptr, name);
  return std::any_of(all.begin(), all.end(), IsWindowVisible);
}

}  // namespace e2e
