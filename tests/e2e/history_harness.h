// The history file as the tests see it: where it is, a clean start, and
// reading its rows with the same engine the program uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_store.h"

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

// The local date n days before today, "YYYY-MM-DD".
std::string DateDaysAgo(int n);

// One cell of a list view of the program (process), read through memory
// shared with it.
std::string ListCell(void* process, void* list, int row, int column);

// A year of history up to today, with figures known from the day alone.
// Day k (k days ago, 0-364) has a row unless k % 7 == 3 or 100 <= k < 110
// (the gaps: Tallivo did not run). Its figures: left 10 + k (5,000,000 on
// day 200, one huge day), right 2 + k % 5, middle k % 3, wheel 5 + k % 11,
// keys 100 + 2k, 1000 (k + 1) pixels, 0.25 (k % 8) metres, 60 (k % 50) + 30
// active seconds; all of it in hour 9 + k % 8. Keys: "E" far ahead of the
// others (keys - 45), Space 20, A 10, 0 to 4 three each. Programs, by
// thirds: notepad.exe half of each figure, winword.exe a third, and
// 浏览器.exe (UTF-8 in the file) the rest.
struct KnownYear {
  // Rows as the store returns them: in key order, oldest first.
  std::vector<tallivo::history::DayRow> days;
  std::vector<tallivo::history::HourRow> hours;
  std::vector<tallivo::history::KeyRow> keys;
  std::vector<tallivo::history::ProgramRow> programs;
  // The rows of the dates in [from, to] only.
  KnownYear Between(const std::string& from, const std::string& to) const;
};
KnownYear KnownYearRows();
// Clears the history folder and writes KnownYearRows() into a new file.
bool WriteKnownYear();

// A day's row as the file holds it now (opened read-only); false when the
// file or the row is missing.
bool ReadDayRow(const std::string& date, tallivo::history::DayRow* row);

}  // namespace e2e
