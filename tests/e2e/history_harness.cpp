#include "history_harness.h"

#include <windows.h>
#include <shlobj.h>
#include <sqlite3.h>

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

}  // namespace e2e
