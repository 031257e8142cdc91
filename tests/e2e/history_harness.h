// The history file as the tests see it: where it is, a clean start, and
// reading its rows with the same engine the program uses.
#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

namespace e2e {

// %LOCALAPPDATA%\Tallivo of this user, and the history file in it.
std::string HistoryFolder();
std::string HistoryFile();
// Removes the folder's files (and an immutable flag left by a failed run).
void ClearHistory();
bool HistoryFolderWritable();
// Today's date key, "YYYY-MM-DD", by the local clock.
std::string TodayKey();

// One integer from the file (opened read-only); -1 when the file, the table
// or the row is missing.
int64_t HistoryInt(const std::string& sql);

// Another program's write transaction on the file, held until Release.
class HistoryWriteLock {
 public:
  explicit HistoryWriteLock(const std::string& path);
  ~HistoryWriteLock();
  bool Held() const { return m_held; }
  void Release();

 private:
  sqlite3* m_db = nullptr;
  bool m_held = false;
};

// Makes a file of the given SQL (schema and rows) with the engine.
bool MakeDatabase(const std::string& path, const std::string& sql);

}  // namespace e2e
