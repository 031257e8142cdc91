#include "history_harness.h"

#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "tools_harness.h"

namespace e2e {

std::string HistoryFolder() {
  char base[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, base);
  return std::string(base) + "\\Tallivo";
}

std::string HistoryFile() { return HistoryFolder() + "\\history.db"; }

namespace {

bool FolderWritable(const std::string& folder) {
  const std::string probe = folder + "\\probe.tmp";
  HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

}  // namespace

bool HistoryFolderWritable() { return FolderWritable(HistoryFolder()); }

void ClearHistory() {
  const std::string folder = HistoryFolder();
  // A run that failed half-way may have left the folder unwritable. Only
  // then: the Unix command runs whenever Wine gets to it, and a late one
  // would undo what the next case sets up.
  if (GetFileAttributesA(folder.c_str()) != INVALID_FILE_ATTRIBUTES && !FolderWritable(folder)) {
    RunUnix("/usr/bin/chattr -i \"" + UnixPath(folder) + "\"");
    WaitUntil([&] { return FolderWritable(folder); });
  }
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileA((folder + "\\" + fd.cFileName).c_str());
  } while (FindNextFileA(find, &fd));
  FindClose(find);
}

std::string ListCell(void* process, void* list, int row, int column) {
  SharedBlock block(static_cast<HANDLE>(process), 4096);
  if (!block.Ok()) return "<no memory>";
  auto* item = reinterpret_cast<LVITEMA*>(block.Local());
  *item = {};
  item->iSubItem = column;
  item->cchTextMax = 1024;
  item->pszText = block.Remote() + 1024;
  block.Local()[1024] = '\0';
  SendMessageA(static_cast<HWND>(list), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(block.Remote()));
  return block.Local() + 1024;
}

std::string TodayKey() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char buf[16];
  snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
  return buf;
}

namespace {

// The engine takes UTF-8 paths; the test's paths are ASCII.
sqlite3* OpenDb(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

}  // namespace

int64_t HistoryInt(const std::string& sql) {
  sqlite3* db = OpenDb(HistoryFile(), SQLITE_OPEN_READONLY);
  if (!db) return -1;
  int64_t v = -1;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW &&
      sqlite3_column_type(st, 0) != SQLITE_NULL) {
    v = sqlite3_column_int64(st, 0);
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return v;
}

HistoryWriteLock::HistoryWriteLock(const std::string& path) {
  m_db = OpenDb(path, SQLITE_OPEN_READWRITE);
  m_held = m_db && sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

HistoryWriteLock::~HistoryWriteLock() { Release(); }

void HistoryWriteLock::Release() {
  if (m_held) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
  m_held = false;
  if (m_db) sqlite3_close(m_db);
  m_db = nullptr;
}

bool MakeDatabase(const std::string& path, const std::string& sql) {
  DeleteFileA(path.c_str());
  sqlite3* db = OpenDb(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (!db) return false;
  const bool ok = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

std::string DateDaysAgo(int n) {
  SYSTEMTIME t;
  GetLocalTime(&t);
  t.wHour = 12;  // noon: a day's step never crosses two dates
  t.wMinute = t.wSecond = t.wMilliseconds = 0;
  FILETIME ft;
  SystemTimeToFileTime(&t, &ft);
  ULARGE_INTEGER u;
  u.LowPart = ft.dwLowDateTime;
  u.HighPart = ft.dwHighDateTime;
  u.QuadPart -= static_cast<ULONGLONG>(n) * 24 * 3600 * 10000000ULL;
  ft.dwLowDateTime = u.LowPart;
  ft.dwHighDateTime = u.HighPart;
  FileTimeToSystemTime(&ft, &t);
  char buf[16];
  snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.wYear, t.wMonth, t.wDay);
  return buf;
}

KnownYear KnownYear::Between(const std::string& from, const std::string& to) const {
  KnownYear y;
  auto in = [&](const std::string& d) { return from <= d && d <= to; };
  for (const auto& r : days)
    if (in(r.date)) y.days.push_back(r);
  for (const auto& r : hours)
    if (in(r.date)) y.hours.push_back(r);
  for (const auto& r : keys)
    if (in(r.date)) y.keys.push_back(r);
  for (const auto& r : programs)
    if (in(r.date)) y.programs.push_back(r);
  return y;
}

KnownYear KnownYearRows() {
  using namespace tallivo::history;
  KnownYear y;
  for (int k = 364; k >= 0; --k) {
    if (k % 7 == 3 || (k >= 100 && k < 110)) continue;
    const std::string date = DateDaysAgo(k);
    DayRow d;
    d.date = date;
    d.counts.left = k == 200 ? 5000000 : 10 + k;
    d.counts.right = 2 + k % 5;
    d.counts.middle = k % 3;
    d.counts.wheel = 5 + k % 11;
    d.counts.keys = 100 + 2 * k;
    d.counts.movePixels = 1000 * (k + 1);
    d.moveMetres = 0.25 * (k % 8);
    d.activeSeconds = 60 * (k % 50) + 30;
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
    y.programs.push_back({date, "\xE6\xB5\x8F\xE8\xA7\x88\xE5\x99\xA8.exe", rest});  // 浏览器.exe
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
  if (!store.Open(HistoryFile(), time(nullptr)).Ok()) return false;
  const bool ok = store.Write(deltas).Ok();
  store.Close();
  return ok;
}

bool ReadDayRow(const std::string& date, tallivo::history::DayRow* row) {
  sqlite3* db = OpenDb(HistoryFile(), SQLITE_OPEN_READONLY);
  if (!db) return false;
  sqlite3_stmt* st = nullptr;
  bool found = false;
  if (sqlite3_prepare_v2(db,
                         "SELECT left_clicks, right_clicks, middle_clicks, wheel_steps, key_strokes, move_pixels, "
                         "move_metres, active_seconds FROM days WHERE date = ?1",
                         -1, &st, nullptr) == SQLITE_OK &&
      sqlite3_bind_text(st, 1, date.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
    row->date = date;
    row->counts.left = sqlite3_column_int64(st, 0);
    row->counts.right = sqlite3_column_int64(st, 1);
    row->counts.middle = sqlite3_column_int64(st, 2);
    row->counts.wheel = sqlite3_column_int64(st, 3);
    row->counts.keys = sqlite3_column_int64(st, 4);
    row->counts.movePixels = sqlite3_column_int64(st, 5);
    row->moveMetres = sqlite3_column_double(st, 6);
    row->activeSeconds = sqlite3_column_int64(st, 7);
    found = true;
  }
  sqlite3_finalize(st);
  sqlite3_close(db);
  return found;
}

}  // namespace e2e
