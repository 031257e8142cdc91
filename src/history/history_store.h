// history.db: every day's figures, by day, hour, key and program, in an
// SQLite file. Opens or creates the file, checks and migrates its schema,
// writes a set of deltas in one transaction and reads rows back.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "history/history_delta.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tallivo::history {

enum class StoreError {
  None,
  CannotOpen,   // the file or its folder cannot be created or opened
  Busy,         // another program holds a lock: try again later
  Full,         // the disk (or the file's limit) is full: try again later
  NewerSchema,  // written by a newer version: left alone, never written
  Other,        // any other failure of the engine
};

struct StoreResult {
  StoreError error = StoreError::None;
  // Set when a damaged file was moved aside (and a new one started).
  std::string movedAside;
  // The engine's own words, for the log.
  std::string detail;
  bool Ok() const { return error == StoreError::None; }
};

struct DayRow {
  std::string date;
  EventCounts counts;
  double moveMetres = 0.0;
  uint64_t activeSeconds = 0;
  // The day's breaks (both kinds): how many came due, how many were taken.
  uint64_t breaksDue = 0;
  uint64_t breaksTaken = 0;
};

struct HourRow {
  std::string date;
  int hour = 0;
  EventCounts counts;
};

struct KeyRow {
  std::string date;
  unsigned vk = 0;
  uint64_t strokes = 0;
};

struct ProgramRow {
  std::string date;
  std::string exe;
  ProgramDelta counts;
};

// UTF-8 paths (the engine's own) as the file system's, and back.
std::filesystem::path PathOf(const std::string& utf8);
std::string Utf8Of(const std::filesystem::path& p);
// A failure of the engine (an SQLite result code) as the store reports it.
StoreResult EngineFailure(int rc, sqlite3* db, const char* what);
// Which computer a file belongs to: one row, in history.db and its copies.
inline constexpr char kComputerTableSql[] =
    "CREATE TABLE IF NOT EXISTS computer(id TEXT PRIMARY KEY, name TEXT NOT NULL, written_at TEXT NOT NULL);";

// Whose a copy in the sync folder is: the computer's id, its name and when
// the copy was made ("YYYY-MM-DDTHH:MM:SSZ").
struct CopyIdentity {
  std::string id;
  std::string name;
  std::string writtenAt;
};

class HistoryStore {
 public:
  // 2: the breaks table. A copy of version 1 (a computer not updated yet)
  // is still read; it has no breaks.
  static constexpr int kSchemaVersion = 2;

  HistoryStore() = default;
  HistoryStore(const HistoryStore&) = delete;
  HistoryStore& operator=(const HistoryStore&) = delete;
  ~HistoryStore();

  // Opens (creating when missing) the file at a UTF-8 path; its folder must
  // exist. WAL journal, schema version in user_version. A file that is not
  // a database or fails its check is renamed with a dated name beside it
  // (now gives the date) and a new one is started. A newer schema is left
  // untouched: the result says so and the store stays closed.
  StoreResult Open(const std::string& path, time_t now);
  // Opens another computer's copy (a private one) to read it only. Nothing
  // is ever written to it or moved: a file of a newer schema, a damaged one
  // or one that does not say whose it is fails and the store stays closed.
  StoreResult OpenCopy(const std::string& path, CopyIdentity* who);
  bool IsOpen() const { return m_db != nullptr; }
  // This computer's id (the copy's computer for a copy), "" when closed.
  const std::string& ComputerId() const { return m_computerId; }
  void Close();

  // Adds the deltas to the rows in one transaction: all or nothing. After a
  // failure the store stays open and the caller keeps the deltas.
  StoreResult Write(const Deltas& deltas);

  // Removes the days [from, to] from every table, in one transaction.
  StoreResult DeleteDays(const std::string& from, const std::string& to);

  // Rows of one date range [from, to] ("YYYY-MM-DD"), in key order.
  std::vector<DayRow> Days(const std::string& from, const std::string& to);
  std::vector<HourRow> Hours(const std::string& from, const std::string& to);
  std::vector<KeyRow> Keys(const std::string& from, const std::string& to);
  std::vector<ProgramRow> Programs(const std::string& from, const std::string& to);
  // The earliest date in the days table, "" when there is none or it cannot
  // be read (LastRead says which). Keys that are not a date are passed over.
  std::string FirstDate();
  // How the last of the reads above went: an empty list and a failed read
  // look alike otherwise.
  const StoreResult& LastRead() const { return m_lastRead; }

  // The engine's connection, for tests and diagnostics (null when closed).
  sqlite3* Handle() const { return m_db; }

 private:
  StoreResult OpenOnce(const std::string& path, time_t now, bool allowMoveAside);
  StoreResult MoveAside(time_t now);
  StoreResult WriteOnce(const Deltas& deltas, int* rc);
  sqlite3_stmt* Cached(int slot, const char* sql);

  sqlite3* m_db = nullptr;
  std::string m_path;
  // Prepared once per connection: the write runs every second.
  sqlite3_stmt* m_stmts[9] = {};
  StoreResult m_lastRead;
  std::string m_computerId;
};

}  // namespace tallivo::history
