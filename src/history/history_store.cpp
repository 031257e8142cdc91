#include "history/history_store.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tallivo::history {

namespace {

namespace fs = std::filesystem;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS days("
    " date TEXT NOT NULL PRIMARY KEY,"
    " left_clicks INTEGER NOT NULL DEFAULT 0, right_clicks INTEGER NOT NULL DEFAULT 0,"
    " middle_clicks INTEGER NOT NULL DEFAULT 0, wheel_steps INTEGER NOT NULL DEFAULT 0,"
    " key_strokes INTEGER NOT NULL DEFAULT 0, move_pixels INTEGER NOT NULL DEFAULT 0,"
    " move_metres REAL NOT NULL DEFAULT 0, active_seconds INTEGER NOT NULL DEFAULT 0"
    ") WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS hours("
    " date TEXT NOT NULL, hour INTEGER NOT NULL,"
    " left_clicks INTEGER NOT NULL DEFAULT 0, right_clicks INTEGER NOT NULL DEFAULT 0,"
    " middle_clicks INTEGER NOT NULL DEFAULT 0, wheel_steps INTEGER NOT NULL DEFAULT 0,"
    " key_strokes INTEGER NOT NULL DEFAULT 0, move_pixels INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY(date, hour)"
    ") WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS keys("
    " date TEXT NOT NULL, vk INTEGER NOT NULL, strokes INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY(date, vk)"
    ") WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS programs("
    " date TEXT NOT NULL, exe TEXT NOT NULL,"
    " clicks INTEGER NOT NULL DEFAULT 0, wheel_steps INTEGER NOT NULL DEFAULT 0,"
    " key_strokes INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY(date, exe)"
    ") WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS breaks("
    " date TEXT NOT NULL, kind TEXT NOT NULL,"
    " due INTEGER NOT NULL DEFAULT 0, taken INTEGER NOT NULL DEFAULT 0,"
    " skipped INTEGER NOT NULL DEFAULT 0, postponed INTEGER NOT NULL DEFAULT 0,"
    " PRIMARY KEY(date, kind)"
    ") WITHOUT ROWID;";
// This computer's id, made once at random. In the copies in the sync folder
// the row also names the computer and says when the copy was made.
constexpr const char* kComputerRowSql =
    "INSERT INTO computer(id, name, written_at) SELECT lower(hex(randomblob(16))), '', ''"
    " WHERE NOT EXISTS(SELECT 1 FROM computer);";

// The tables of version 1, and the one version 2 adds.
constexpr const char* kTablesSql =
    "SELECT count(*) FROM sqlite_schema WHERE type = 'table'"
    " AND name IN ('days', 'hours', 'keys', 'programs', 'computer')";
constexpr long long kTables = 5;
constexpr const char* kBreaksTableSql = "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = 'breaks'";

// Statement slots of the cache.
enum Slot {
  kUpsertDay,
  kUpsertHour,
  kUpsertKey,
  kUpsertProgram,
  kReadDays,
  kReadHours,
  kReadKeys,
  kReadPrograms,
  kUpsertBreak,
};

constexpr const char* kSql[] = {
    "INSERT INTO days(date, left_clicks, right_clicks, middle_clicks, wheel_steps, key_strokes,"
    " move_pixels, move_metres, active_seconds) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"
    " ON CONFLICT(date) DO UPDATE SET"
    " left_clicks = left_clicks + excluded.left_clicks, right_clicks = right_clicks + excluded.right_clicks,"
    " middle_clicks = middle_clicks + excluded.middle_clicks, wheel_steps = wheel_steps + excluded.wheel_steps,"
    " key_strokes = key_strokes + excluded.key_strokes, move_pixels = move_pixels + excluded.move_pixels,"
    " move_metres = move_metres + excluded.move_metres,"
    " active_seconds = active_seconds + excluded.active_seconds",
    "INSERT INTO hours(date, hour, left_clicks, right_clicks, middle_clicks, wheel_steps, key_strokes,"
    " move_pixels) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"
    " ON CONFLICT(date, hour) DO UPDATE SET"
    " left_clicks = left_clicks + excluded.left_clicks, right_clicks = right_clicks + excluded.right_clicks,"
    " middle_clicks = middle_clicks + excluded.middle_clicks, wheel_steps = wheel_steps + excluded.wheel_steps,"
    " key_strokes = key_strokes + excluded.key_strokes, move_pixels = move_pixels + excluded.move_pixels",
    "INSERT INTO keys(date, vk, strokes) VALUES(?1, ?2, ?3)"
    " ON CONFLICT(date, vk) DO UPDATE SET strokes = strokes + excluded.strokes",
    "INSERT INTO programs(date, exe, clicks, wheel_steps, key_strokes) VALUES(?1, ?2, ?3, ?4, ?5)"
    " ON CONFLICT(date, exe) DO UPDATE SET clicks = clicks + excluded.clicks,"
    " wheel_steps = wheel_steps + excluded.wheel_steps, key_strokes = key_strokes + excluded.key_strokes",
    "SELECT date, left_clicks, right_clicks, middle_clicks, wheel_steps, key_strokes, move_pixels,"
    " move_metres, active_seconds,"
    " coalesce((SELECT sum(due) FROM breaks b WHERE b.date = days.date), 0),"
    " coalesce((SELECT sum(taken) FROM breaks b WHERE b.date = days.date), 0)"
    " FROM days WHERE date BETWEEN ?1 AND ?2 ORDER BY date",
    "SELECT date, hour, left_clicks, right_clicks, middle_clicks, wheel_steps, key_strokes, move_pixels"
    " FROM hours WHERE date BETWEEN ?1 AND ?2 ORDER BY date, hour",
    "SELECT date, vk, strokes FROM keys WHERE date BETWEEN ?1 AND ?2 ORDER BY date, vk",
    "SELECT date, exe, clicks, wheel_steps, key_strokes FROM programs"
    " WHERE date BETWEEN ?1 AND ?2 ORDER BY date, exe",
    "INSERT INTO breaks(date, kind, due, taken, skipped, postponed) VALUES(?1, ?2, ?3, ?4, ?5, ?6)"
    " ON CONFLICT(date, kind) DO UPDATE SET due = due + excluded.due, taken = taken + excluded.taken,"
    " skipped = skipped + excluded.skipped, postponed = postponed + excluded.postponed",
};
static_assert(sizeof kSql / sizeof kSql[0] == 9);

int Primary(int rc) { return rc & 0xff; }
bool IsDamage(int rc) { return Primary(rc) == SQLITE_CORRUPT || Primary(rc) == SQLITE_NOTADB; }

StoreError ErrorFor(int rc, bool opening) {
  switch (Primary(rc)) {
    case SQLITE_OK: return StoreError::None;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return StoreError::Busy;
    case SQLITE_FULL: return StoreError::Full;
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM: return StoreError::CannotOpen;
    case SQLITE_IOERR: return opening ? StoreError::CannotOpen : StoreError::Other;
    default: return StoreError::Other;
  }
}

StoreResult Failure(int rc, bool opening, sqlite3* db, const char* what) {
  StoreResult r;
  r.error = ErrorFor(rc, opening);
  if (r.error == StoreError::None) r.error = StoreError::Other;
  r.detail = std::string(what) + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
  return r;
}

int Exec(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

// Runs a statement and hands back its first column of the first row as text.
int QueryText(sqlite3* db, const char* sql, std::string* out) {
  sqlite3_stmt* st = nullptr;
  int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
  if (rc != SQLITE_OK) return rc;
  rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) {
    const unsigned char* t = sqlite3_column_text(st, 0);
    *out = t ? reinterpret_cast<const char*>(t) : "";
    rc = SQLITE_OK;
  } else if (rc == SQLITE_DONE) {
    out->clear();
    rc = SQLITE_OK;
  }
  sqlite3_finalize(st);
  return rc;
}

int QueryInt(sqlite3* db, const char* sql, long long* out) {
  std::string s;
  const int rc = QueryText(db, sql, &s);
  if (rc == SQLITE_OK) *out = std::atoll(s.c_str());
  return rc;
}

// "2026-12-07-171500", the moment a damaged file was found, local time.
std::string Stamp(time_t now) {
  std::tm tm{};
#ifdef _WIN32
  if (localtime_s(&tm, &now) != 0) tm = std::tm{};
#else
  if (!localtime_r(&now, &tm)) tm = std::tm{};
#endif
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d-%02d%02d%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

// The files the engine keeps beside a database; a stale one left next to a
// new file would be replayed into it or deleted by the engine.
constexpr const char* kSideFiles[] = {"-wal", "-shm", "-journal"};

fs::path WithSuffix(const fs::path& p, const char* suffix) {
  fs::path r = p;
  r += suffix;
  return r;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

void BindCounts(sqlite3_stmt* st, int first, const EventCounts& c) {
  sqlite3_bind_int64(st, first, static_cast<sqlite3_int64>(c.left));
  sqlite3_bind_int64(st, first + 1, static_cast<sqlite3_int64>(c.right));
  sqlite3_bind_int64(st, first + 2, static_cast<sqlite3_int64>(c.middle));
  sqlite3_bind_int64(st, first + 3, static_cast<sqlite3_int64>(c.wheel));
  sqlite3_bind_int64(st, first + 4, static_cast<sqlite3_int64>(c.keys));
  sqlite3_bind_int64(st, first + 5, static_cast<sqlite3_int64>(c.movePixels));
}

EventCounts ColumnCounts(sqlite3_stmt* st, int first) {
  EventCounts c;
  c.left = static_cast<uint64_t>(sqlite3_column_int64(st, first));
  c.right = static_cast<uint64_t>(sqlite3_column_int64(st, first + 1));
  c.middle = static_cast<uint64_t>(sqlite3_column_int64(st, first + 2));
  c.wheel = static_cast<uint64_t>(sqlite3_column_int64(st, first + 3));
  c.keys = static_cast<uint64_t>(sqlite3_column_int64(st, first + 4));
  c.movePixels = static_cast<uint64_t>(sqlite3_column_int64(st, first + 5));
  return c;
}

std::string ColumnText(sqlite3_stmt* st, int i) {
  const unsigned char* t = sqlite3_column_text(st, i);
  return t ? reinterpret_cast<const char*>(t) : "";
}

void BindText(sqlite3_stmt* st, int i, const std::string& s) {
  sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// Steps a bound upsert and makes it ready for the next row.
int StepOnce(sqlite3_stmt* st) {
  const int rc = sqlite3_step(st);
  sqlite3_reset(st);
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

}  // namespace

fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

StoreResult EngineFailure(int rc, sqlite3* db, const char* what) { return Failure(rc, false, db, what); }

HistoryStore::~HistoryStore() { Close(); }

void HistoryStore::Close() {
  m_computerId.clear();
  for (sqlite3_stmt*& st : m_stmts) {
    sqlite3_finalize(st);
    st = nullptr;
  }
  if (m_db) sqlite3_close_v2(m_db);
  m_db = nullptr;
}

sqlite3_stmt* HistoryStore::Cached(int slot, const char* sql) {
  if (!m_stmts[slot]) {
    sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_stmts[slot], nullptr);
  }
  return m_stmts[slot];
}

StoreResult HistoryStore::Open(const std::string& path, time_t now) { return OpenOnce(path, now, true); }

StoreResult HistoryStore::OpenOnce(const std::string& path, time_t now, bool allowMoveAside) {
  Close();
  m_path = path;
  int rc = sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) {
    StoreResult r = Failure(rc, true, m_db, "cannot open the history file");
    if (IsDamage(rc) && allowMoveAside) return MoveAside(now);
    Close();
    return r;
  }
  sqlite3_extended_result_codes(m_db, 1);
  // Until the file has proved to be ours and sound, closing must not fold a
  // journal into it.
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  // The write runs on the window's thread: never wait, the caller retries.
  sqlite3_busy_timeout(m_db, 0);

  auto fail = [&](int code, const char* what) {
    StoreResult r = Failure(code, true, m_db, what);
    if (IsDamage(code) && allowMoveAside) {
      StoreResult moved = MoveAside(now);
      if (moved.detail.empty()) moved.detail = r.detail;
      return moved;
    }
    Close();
    return r;
  };

  long long version = 0;
  rc = QueryInt(m_db, "PRAGMA user_version", &version);
  if (rc != SQLITE_OK) return fail(rc, "cannot read the history file");
  if (version > kSchemaVersion) {
    Close();
    StoreResult r;
    r.error = StoreError::NewerSchema;
    r.detail = "the history file was written by a newer version (schema " + std::to_string(version) + ")";
    return r;
  }
  if (sqlite3_db_readonly(m_db, "main") == 1) {
    Close();
    return StoreResult{StoreError::CannotOpen, "", "the history file is read-only"};
  }

  std::string check;
  rc = QueryText(m_db, "PRAGMA quick_check", &check);
  if (rc != SQLITE_OK) return fail(rc, "cannot check the history file");
  if (check != "ok") {
    if (allowMoveAside) {
      StoreResult moved = MoveAside(now);
      if (moved.detail.empty()) moved.detail = "the history file failed its check: " + check;
      return moved;
    }
    Close();
    return StoreResult{StoreError::Other, "", "the new history file fails its check: " + check};
  }

  std::string mode;
  rc = QueryText(m_db, "PRAGMA journal_mode=WAL", &mode);
  if (rc != SQLITE_OK) return fail(rc, "cannot switch the history file to WAL");
  rc = Exec(m_db, "PRAGMA synchronous=NORMAL");
  if (rc != SQLITE_OK) return fail(rc, "cannot set the history file's sync mode");
  // The page cache of a program that runs all day: a megabyte holds the
  // pages of a year's ranges; the file system caches the rest.
  Exec(m_db, "PRAGMA cache_size=-1024");

  long long tables = 0, breaks = 0;
  rc = QueryInt(m_db, kTablesSql, &tables);
  if (rc == SQLITE_OK) rc = QueryInt(m_db, kBreaksTableSql, &breaks);
  if (rc != SQLITE_OK) return fail(rc, "cannot read the history file's tables");
  tables += breaks;
  if (tables == kTables + 1) rc = QueryText(m_db, "SELECT id FROM computer LIMIT 1", &m_computerId);
  if (rc != SQLITE_OK) return fail(rc, "cannot read the history file's computer");
  if (tables < kTables + 1 || version < kSchemaVersion || m_computerId.empty()) {
    // A new file, or one of an older version: made whole in one step.
    rc = Exec(m_db, "BEGIN IMMEDIATE");
    if (rc == SQLITE_OK) rc = Exec(m_db, kSchema);
    if (rc == SQLITE_OK) rc = Exec(m_db, kComputerTableSql);
    if (rc == SQLITE_OK) rc = Exec(m_db, kComputerRowSql);
    if (rc == SQLITE_OK) rc = Exec(m_db, ("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str());
    if (rc == SQLITE_OK) rc = Exec(m_db, "COMMIT");
    if (rc != SQLITE_OK) {
      if (!sqlite3_get_autocommit(m_db)) Exec(m_db, "ROLLBACK");
      return fail(rc, "cannot create the history tables");
    }
    rc = QueryText(m_db, "SELECT id FROM computer LIMIT 1", &m_computerId);
    if (rc != SQLITE_OK) return fail(rc, "cannot read the history file's computer");
  }
  sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
  return StoreResult{};
}

StoreResult HistoryStore::OpenCopy(const std::string& path, CopyIdentity* who) {
  Close();
  m_path = path;
  int rc = sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READONLY, nullptr);
  auto fail = [&](int code, const char* what) {
    StoreResult r = Failure(code, true, m_db, what);
    Close();
    return r;
  };
  if (rc != SQLITE_OK) return fail(rc, "cannot open the copy");
  sqlite3_extended_result_codes(m_db, 1);
  long long version = 0;
  rc = QueryInt(m_db, "PRAGMA user_version", &version);
  if (rc != SQLITE_OK) return fail(rc, "cannot read the copy");
  if (version > kSchemaVersion) {
    Close();
    return StoreResult{StoreError::NewerSchema, "", "written by a newer version (schema " + std::to_string(version) + ")"};
  }
  std::string check;
  rc = QueryText(m_db, "PRAGMA quick_check", &check);
  if (rc != SQLITE_OK) return fail(rc, "cannot check the copy");
  long long tables = 0, breaks = 0;
  if (check == "ok") rc = QueryInt(m_db, kTablesSql, &tables);
  if (rc == SQLITE_OK && check == "ok") rc = QueryInt(m_db, kBreaksTableSql, &breaks);
  if (rc != SQLITE_OK) return fail(rc, "cannot read the copy's tables");
  if (check != "ok" || tables != kTables || version < 1 || (version >= 2 && breaks != 1)) {
    Close();
    return StoreResult{StoreError::Other, "", check != "ok" ? "the copy fails its check: " + check : "not a history"};
  }
  sqlite3_stmt* st = nullptr;
  rc = sqlite3_prepare_v2(m_db, "SELECT id, name, written_at FROM computer", -1, &st, nullptr);
  if (rc != SQLITE_OK) return fail(rc, "cannot read the copy's computer");
  int rows = 0;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    ++rows;
    who->id = ColumnText(st, 0);
    who->name = ColumnText(st, 1);
    who->writtenAt = ColumnText(st, 2);
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) return fail(rc, "cannot read the copy's computer");
  if (rows != 1 || who->id.empty()) {
    Close();
    return StoreResult{StoreError::Other, "", "the copy does not say whose it is"};
  }
  // A copy of version 1 has no breaks: an empty table of this connection
  // stands in for them, and every read is the same.
  if (breaks == 0) {
    rc = Exec(m_db, "CREATE TEMP TABLE breaks(date TEXT, kind TEXT, due INTEGER, taken INTEGER)");
    if (rc != SQLITE_OK) return fail(rc, "cannot read the copy");
  }
  m_computerId = who->id;
  return StoreResult{};
}

StoreResult HistoryStore::DeleteDays(const std::string& from, const std::string& to) {
  if (!m_db) return StoreResult{StoreError::CannotOpen, "", "the history file is not open"};
  int rc = Exec(m_db, "BEGIN IMMEDIATE");
  for (const char* table : {"days", "hours", "keys", "programs", "breaks"}) {
    if (rc != SQLITE_OK) break;
    sqlite3_stmt* st = nullptr;
    const std::string sql = std::string("DELETE FROM ") + table + " WHERE date BETWEEN ?1 AND ?2";
    rc = sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr);
    if (rc == SQLITE_OK) {
      BindText(st, 1, from);
      BindText(st, 2, to);
      rc = StepOnce(st);
    }
    sqlite3_finalize(st);
  }
  if (rc == SQLITE_OK) rc = Exec(m_db, "COMMIT");
  if (rc == SQLITE_OK) return StoreResult{};
  StoreResult r = Failure(rc, false, m_db, "cannot delete from the history");
  if (!sqlite3_get_autocommit(m_db)) Exec(m_db, "ROLLBACK");
  return r;
}

StoreResult HistoryStore::MoveAside(time_t now) {
  // The damaged file and its journal move as they are: no checkpoint now.
  if (m_db) sqlite3_db_config(m_db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  Close();
  const fs::path file = PathOf(m_path);
  const fs::path dir = file.parent_path();
  const std::string stem = Utf8Of(file.stem()) + ".damaged-" + Stamp(now);
  const std::string ext = Utf8Of(file.extension());

  // A name free for the file and all its side files: a rename would replace
  // whatever holds the name.
  fs::path target;
  for (int n = 1;; ++n) {
    if (n > 999) return StoreResult{StoreError::CannotOpen, "", "no free name to move the damaged history file to"};
    std::string name = stem;
    if (n > 1) name += '-', name += std::to_string(n);
    name += ext;
    target = dir / PathOf(name);
    bool taken = Exists(target);
    for (const char* s : kSideFiles) taken = taken || Exists(WithSuffix(target, s));
    if (!taken) break;
  }

  std::error_code ec;
  fs::rename(file, target, ec);
  if (ec) {
    return StoreResult{StoreError::CannotOpen, "", "cannot move the damaged history file aside: " + ec.message()};
  }
  StoreResult r;
  r.movedAside = Utf8Of(target);
  for (const char* s : kSideFiles) {
    const fs::path side = WithSuffix(file, s);
    if (!Exists(side)) continue;
    fs::rename(side, WithSuffix(target, s), ec);
    if (ec) {
      // A journal left beside the new file would be replayed into it (or
      // deleted by the engine): no new file until it is gone.
      r.error = StoreError::CannotOpen;
      r.detail = "cannot move " + Utf8Of(side) + " aside: " + ec.message();
      return r;
    }
  }
  StoreResult fresh = OpenOnce(m_path, now, false);
  fresh.movedAside = r.movedAside;
  return fresh;
}

StoreResult HistoryStore::Write(const Deltas& deltas) {
  if (!m_db) return StoreResult{StoreError::CannotOpen, "", "the history file is not open"};
  if (deltas.Empty()) return StoreResult{};
  int rc = SQLITE_OK;
  StoreResult r = WriteOnce(deltas, &rc);
  if (r.Ok() || !IsDamage(rc)) return r;
  // The file went bad under us: keep it for whoever wants to look, and put
  // this second's figures into a new one.
  StoreResult moved = MoveAside(std::time(nullptr));
  if (!moved.Ok()) return moved;
  StoreResult again = WriteOnce(deltas, &rc);
  again.movedAside = moved.movedAside;
  return again;
}

StoreResult HistoryStore::WriteOnce(const Deltas& deltas, int* rc) {
  *rc = Exec(m_db, "BEGIN IMMEDIATE");
  if (*rc != SQLITE_OK) return Failure(*rc, false, m_db, "cannot start the history write");

  auto step = [&](int slot, auto bind) {
    if (*rc != SQLITE_OK) return;
    sqlite3_stmt* st = Cached(slot, kSql[slot]);
    if (!st) {
      *rc = sqlite3_errcode(m_db);
      if (*rc == SQLITE_OK) *rc = SQLITE_ERROR;
      return;
    }
    bind(st);
    *rc = StepOnce(st);
  };
  for (const auto& [date, d] : deltas.days) {
    step(kUpsertDay, [&](sqlite3_stmt* st) {
      BindText(st, 1, date);
      BindCounts(st, 2, d.counts);
      sqlite3_bind_double(st, 8, d.moveMetres);
      sqlite3_bind_int64(st, 9, static_cast<sqlite3_int64>(d.activeSeconds));
    });
  }
  for (const auto& [key, c] : deltas.hours) {
    step(kUpsertHour, [&](sqlite3_stmt* st) {
      BindText(st, 1, key.first);
      sqlite3_bind_int(st, 2, key.second);
      BindCounts(st, 3, c);
    });
  }
  for (const auto& [key, n] : deltas.keys) {
    step(kUpsertKey, [&](sqlite3_stmt* st) {
      BindText(st, 1, key.first);
      sqlite3_bind_int64(st, 2, key.second);
      sqlite3_bind_int64(st, 3, static_cast<sqlite3_int64>(n));
    });
  }
  for (const auto& [key, p] : deltas.programs) {
    step(kUpsertProgram, [&](sqlite3_stmt* st) {
      BindText(st, 1, key.first);
      BindText(st, 2, key.second);
      sqlite3_bind_int64(st, 3, static_cast<sqlite3_int64>(p.clicks));
      sqlite3_bind_int64(st, 4, static_cast<sqlite3_int64>(p.wheel));
      sqlite3_bind_int64(st, 5, static_cast<sqlite3_int64>(p.keys));
    });
  }
  for (const auto& [key, b] : deltas.breaks) {
    step(kUpsertBreak, [&](sqlite3_stmt* st) {
      BindText(st, 1, key.first);
      BindText(st, 2, key.second);
      sqlite3_bind_int64(st, 3, static_cast<sqlite3_int64>(b.due));
      sqlite3_bind_int64(st, 4, static_cast<sqlite3_int64>(b.taken));
      sqlite3_bind_int64(st, 5, static_cast<sqlite3_int64>(b.skipped));
      sqlite3_bind_int64(st, 6, static_cast<sqlite3_int64>(b.postponed));
    });
  }
  if (*rc == SQLITE_OK) *rc = Exec(m_db, "COMMIT");
  if (*rc == SQLITE_OK) return StoreResult{};
  StoreResult r = Failure(*rc, false, m_db, "cannot write the history");
  // The engine may have rolled back already (a full disk does); otherwise
  // nothing of this write may stay.
  if (!sqlite3_get_autocommit(m_db)) Exec(m_db, "ROLLBACK");
  return r;
}

namespace {

// Runs one of the range reads, handing each row to the callback.
template <typename F>
StoreResult ReadRange(sqlite3* db, sqlite3_stmt* st, const std::string& from, const std::string& to, F row) {
  if (!db) return StoreResult{StoreError::CannotOpen, "", "the history file is not open"};
  if (!st) return Failure(sqlite3_errcode(db), false, db, "cannot read the history");
  BindText(st, 1, from);
  BindText(st, 2, to);
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) row(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) return Failure(rc, false, db, "cannot read the history");
  return StoreResult{};
}

}  // namespace

std::vector<DayRow> HistoryStore::Days(const std::string& from, const std::string& to) {
  std::vector<DayRow> rows;
  sqlite3_stmt* st = m_db ? Cached(kReadDays, kSql[kReadDays]) : nullptr;
  m_lastRead = ReadRange(m_db, st, from, to, [&](sqlite3_stmt* s) {
    DayRow& r = rows.emplace_back();
    r.date = ColumnText(s, 0);
    r.counts = ColumnCounts(s, 1);
    r.moveMetres = sqlite3_column_double(s, 7);
    r.activeSeconds = static_cast<uint64_t>(sqlite3_column_int64(s, 8));
    r.breaksDue = static_cast<uint64_t>(sqlite3_column_int64(s, 9));
    r.breaksTaken = static_cast<uint64_t>(sqlite3_column_int64(s, 10));
  });
  if (!m_lastRead.Ok()) rows.clear();
  return rows;
}

std::vector<HourRow> HistoryStore::Hours(const std::string& from, const std::string& to) {
  std::vector<HourRow> rows;
  sqlite3_stmt* st = m_db ? Cached(kReadHours, kSql[kReadHours]) : nullptr;
  m_lastRead = ReadRange(m_db, st, from, to, [&](sqlite3_stmt* s) {
    HourRow& r = rows.emplace_back();
    r.date = ColumnText(s, 0);
    r.hour = sqlite3_column_int(s, 1);
    r.counts = ColumnCounts(s, 2);
  });
  if (!m_lastRead.Ok()) rows.clear();
  return rows;
}

std::vector<KeyRow> HistoryStore::Keys(const std::string& from, const std::string& to) {
  std::vector<KeyRow> rows;
  sqlite3_stmt* st = m_db ? Cached(kReadKeys, kSql[kReadKeys]) : nullptr;
  m_lastRead = ReadRange(m_db, st, from, to, [&](sqlite3_stmt* s) {
    KeyRow& r = rows.emplace_back();
    r.date = ColumnText(s, 0);
    r.vk = static_cast<unsigned>(sqlite3_column_int(s, 1));
    r.strokes = static_cast<uint64_t>(sqlite3_column_int64(s, 2));
  });
  if (!m_lastRead.Ok()) rows.clear();
  return rows;
}

std::vector<ProgramRow> HistoryStore::Programs(const std::string& from, const std::string& to) {
  std::vector<ProgramRow> rows;
  sqlite3_stmt* st = m_db ? Cached(kReadPrograms, kSql[kReadPrograms]) : nullptr;
  m_lastRead = ReadRange(m_db, st, from, to, [&](sqlite3_stmt* s) {
    ProgramRow& r = rows.emplace_back();
    r.date = ColumnText(s, 0);
    r.exe = ColumnText(s, 1);
    r.counts.clicks = static_cast<uint64_t>(sqlite3_column_int64(s, 2));
    r.counts.wheel = static_cast<uint64_t>(sqlite3_column_int64(s, 3));
    r.counts.keys = static_cast<uint64_t>(sqlite3_column_int64(s, 4));
  });
  if (!m_lastRead.Ok()) rows.clear();
  return rows;
}

std::string HistoryStore::FirstDate() {
  std::string first;
  if (!m_db) {
    m_lastRead = Failure(SQLITE_MISUSE, false, nullptr, "the history is not open");
    return first;
  }
  // A stray key such as "" or "garbage" must not hide the real first day.
  const int rc = QueryText(m_db,
                           "SELECT min(date) FROM days"
                           " WHERE date GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'",
                           &first);
  m_lastRead = rc == SQLITE_OK ? StoreResult{} : Failure(rc, false, m_db, "cannot read the history");
  if (rc != SQLITE_OK) first.clear();
  return first;
}

}  // namespace tallivo::history
