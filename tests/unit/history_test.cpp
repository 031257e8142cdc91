// The history: deltas filed by local day and hour, and history.db on the real SQLite engine in a temporary folder,
// written directly and through the recorder.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "history/history_delta.h"
#include "history/history_recorder.h"
#include "history/history_store.h"
#include "unit_time.h"

using namespace tallivo;
using namespace tallivo::history;
namespace fs = std::filesystem;

namespace {

std::string Bytes(const fs::path& p) {
  if (fs::is_directory(p)) return "<folder>";
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes; }

sqlite3* Raw(const std::string& path) {
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  return db;
}

int Sql(sqlite3* db, const std::string& sql) { return sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr); }

// What another program does to the file in a connection of its own.
int SqlOnce(const std::string& path, const std::string& sql) {
  sqlite3* db = Raw(path);
  const int rc = Sql(db, sql);
  sqlite3_close(db);
  return rc;
}

// A folder of its own per test, removed afterwards, and the local time of Berlin, which has daylight saving.
class HistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tallivo-history-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    m_dir = tmpl;
  }
  void TearDown() override { fs::remove_all(m_dir); }
  void Empty() {
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
  }
  std::string Db() const { return (m_dir / "history.db").string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(m_dir)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
  }

  fs::path m_dir;
  ZoneScope m_zone{"Europe/Berlin"};
};

const LocalHour kDay{2026, 12, 7, 17};

Deltas Busy(int n) {
  Deltas d;
  for (int i = 0; i < n; ++i) {
    d.AddEvent(kDay, InputKind::Key, 0x41, "notepad.exe");
    d.AddEvent(kDay, InputKind::Left, 0, "explorer.exe");
  }
  return d;
}

}  // namespace

TEST(HistoryDeltas, EventsAreFiledByDayHourKeyAndProgramAndMergeAsIfCountedInOne) {
  const LocalHour h9{2026, 1, 2, 9}, h10{2026, 1, 2, 10}, next{2026, 12, 8, 0};
  // Each event with a pointer step after it (0 pixels: a sample that did not move). A stroke
  // without a key code (0) or with one out of range (255) is counted but gets no keys row; 1 and 254 get theirs.
  using K = InputKind;
  const std::tuple<LocalHour, InputKind, unsigned, const char*, uint32_t> events[] = {
      {h9, K::Middle, 0, "", 0},  // in no program and without a key: still something to write
      {h9, K::Left, 0, "notepad.exe", 0},
      {h9, K::Right, 0, "notepad.exe", 0},
      {h10, K::Wheel, 0, "notepad.exe", 30},
      {h10, K::Key, 0x41, "notepad.exe", 12},
      {h10, K::Key, 0x01, "notepad.exe", 0},
      {h10, K::Key, 0, "cmd.exe", 0},
      {h10, K::Key, 255, "", 0},
      {next, K::Key, 0xFE, "cmd.exe", 0}};
  auto apply = [&](Deltas& d, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i) {
      const auto& [at, kind, vk, exe, pixels] = events[i];
      d.AddEvent(at, kind, vk, exe);
      d.AddMove(at, pixels, pixels / 3000.0);
      d.AddActiveSecond(at);
    }
  };
  Deltas all;
  apply(all, 0, std::size(events));
  all.AddMove({2026, 1, 3, 5}, 0, 0.0);  // a sample that did not move makes no rows

  ASSERT_EQ(all.days.size(), 2u);
  EXPECT_EQ(all.days.at("2026-01-02").counts, (EventCounts{1, 1, 1, 1, 4, 42}));
  EXPECT_DOUBLE_EQ(all.days.at("2026-01-02").moveMetres, 0.014);
  EXPECT_EQ(all.days.at("2026-01-02").activeSeconds, 8u);
  EXPECT_EQ(all.days.at("2026-12-08").counts, (EventCounts{0, 0, 0, 0, 1, 0}));
  EXPECT_EQ(all.hours, (decltype(all.hours){{{"2026-01-02", 9}, {1, 1, 1, 0, 0, 0}},
                                            {{"2026-01-02", 10}, {0, 0, 0, 1, 4, 42}},
                                            {{"2026-12-08", 0}, {0, 0, 0, 0, 1, 0}}}));
  EXPECT_EQ(all.keys,
            (decltype(all.keys){{{"2026-01-02", 0x01}, 1}, {{"2026-01-02", 0x41}, 1}, {{"2026-12-08", 0xFE}, 1}}));
  EXPECT_EQ(all.programs, (decltype(all.programs){{{"2026-01-02", "cmd.exe"}, {0, 0, 1}},
                                                  {{"2026-01-02", "notepad.exe"}, {2, 1, 2}},
                                                  {{"2026-12-08", "cmd.exe"}, {0, 0, 1}}}));

  // What came in while a write failed is merged into what follows, as if one set had held every event.
  for (size_t cut : {0, 1, 3, 5, 9}) {
    SCOPED_TRACE(cut);
    Deltas a, b;
    apply(a, 0, cut);
    apply(b, cut, std::size(events));
    EXPECT_EQ(a.Empty(), cut == 0);
    a.MergeFrom(b);
    ASSERT_EQ(a.days.size(), all.days.size());
    for (const auto& [date, d] : all.days) {
      EXPECT_EQ(std::pair(a.days.at(date).counts, a.days.at(date).activeSeconds), std::pair(d.counts, d.activeSeconds));
      EXPECT_DOUBLE_EQ(a.days.at(date).moveMetres, d.moveMetres) << date;
    }
    EXPECT_EQ(std::tuple(a.hours, a.keys, a.programs), std::tuple(all.hours, all.keys, all.programs));
  }
}

TEST_F(HistoryTest, DayAndHourFollowLocalTimeAcrossMidnightAndDaylightSaving) {
  const std::tuple<time_t, const char*, int> cases[] = {
      {Utc(2026, 12, 7, 23, 0, 0), "2026-12-08", 0},  // midnight CET
      // Spring: 02:00 CET jumps to 03:00 CEST, there is no hour 2.
      {Utc(2026, 3, 29, 1, 0, 0), "2026-03-29", 3},
      // Autumn: 03:00 CEST goes back to 02:00 CET, hour 2 comes twice.
      {Utc(2026, 10, 25, 0, 30, 0), "2026-10-25", 2},
      {Utc(2026, 10, 25, 1, 30, 0), "2026-10-25", 2},
  };
  for (auto [t, date, hour] : cases)
    EXPECT_EQ(std::pair(DateKey(LocalHourAt(t)), LocalHourAt(t).hour), std::pair(std::string(date), hour)) << t;
  EXPECT_EQ(DateKey(LocalHour{987, 1, 2, 0}), "0987-01-02");
  EXPECT_EQ(DateKey(LocalHourAt(std::numeric_limits<time_t>::max())), "0000-00-00");  // beyond the C library
}

TEST_F(HistoryTest, TheRecorderStoresEachActiveSecondOnceOnItsOwnDay) {
  const time_t late = Utc(2026, 12, 7, 22, 59, 59);   // 23:59:59 local
  const time_t autumn = Utc(2026, 10, 25, 0, 30, 0);  // 02:30 CEST; an hour later 02:30 CET
  // The moments of the events (-1: a write) and the seconds stored per day.
  const std::tuple<const char*, std::vector<time_t>, std::map<std::string, uint64_t>> cases[] = {
      {"many events in one second", {late, late, late, late}, {{"2026-12-07", 1}}},
      {"same second across a write", {late, -1, late, late + 1, -1, late + 1}, {{"2026-12-07", 1}, {"2026-12-08", 1}}},
      {"either side of midnight", {late - 1, late, late + 1, late + 2}, {{"2026-12-07", 2}, {"2026-12-08", 2}}},
      {"the repeated hour is two real hours", {autumn, autumn, autumn + 3600, autumn + 3600}, {{"2026-10-25", 2}}},
      {"a clock set back counts its seconds again", {late, late - 60}, {{"2026-12-07", 2}}},
  };
  for (const auto& [name, events, expected] : cases) {
    SCOPED_TRACE(name);
    Empty();
    HistoryStore store;
    Recorder rec;
    for (time_t t : events) {
      if (t != -1)
        rec.AddEvent(t, InputKind::Key, 0x20, "");
      else
        ASSERT_EQ(rec.Flush(store, Db(), late).kind, Notice::Kind::None);
    }
    ASSERT_EQ(rec.Flush(store, Db(), late).kind, Notice::Kind::None);
    std::map<std::string, uint64_t> seconds;
    for (const auto& r : store.Days("2026-01-01", "2026-12-31")) seconds[r.date] = r.activeSeconds;
    EXPECT_EQ(seconds, expected);
  }
  // A pointer step counts its second; a sample that did not move does not.
  Recorder rec;
  rec.AddMove(late, 0, 0.0);
  EXPECT_FALSE(rec.Pending());
  rec.AddMove(late, 40, 0.0);  // no pixel size known: metres 0, the pixels still count
  EXPECT_EQ(rec.PendingDeltas().days.at("2026-12-07").activeSeconds, 1u);
  EXPECT_EQ(rec.PendingDeltas().hours.at({"2026-12-07", 23}).movePixels, 40u);
}

TEST_F(HistoryTest, NewFileAddsUpEveryFigureAcrossReopeningAndAnUnversionedOneGetsItsVersion) {
  Put(Db(), "");  // a zero-length file is a new database too
  // 1 left, 2 right, 3 middle, 4 wheel and 5 key strokes in a.exe at 17:00, 6 pixels (half a metre), 7 active seconds.
  Deltas figures;
  figures.days["2026-12-07"] = {{1, 2, 3, 4, 5, 6}, 0.5, 7};
  figures.hours[{"2026-12-07", 17}] = {1, 2, 3, 4, 5, 6};
  figures.keys[{"2026-12-07", 0x41}] = 5;
  figures.programs[{"2026-12-07", "a.exe"}] = {6, 4, 5};
  HistoryStore s;
  ASSERT_TRUE(s.Open(Db(), 0).Ok());
  ASSERT_TRUE(s.Write(figures).Ok());
  ASSERT_TRUE(s.Open(Db(), 0).Ok());  // closed and opened again: our own version
  ASSERT_TRUE(s.Write(figures).Ok());
  // A file of ours from before the schema had a version gets it.
  ASSERT_EQ(Sql(s.Handle(), "PRAGMA user_version=0"), SQLITE_OK);
  ASSERT_TRUE(s.Open(Db(), 0).Ok());
  // Its version is 2 again: the check refuses any other.
  EXPECT_EQ(Sql(s.Handle(), "CREATE TEMP TABLE v(x CHECK(x = 2)); INSERT INTO v SELECT * FROM pragma_user_version"),
            SQLITE_OK);
  const std::string d = "2026-12-07";
  EXPECT_EQ(s.Days(d, d).at(0).counts, (EventCounts{2, 4, 6, 8, 10, 12}));
  EXPECT_DOUBLE_EQ(s.Days(d, d).at(0).moveMetres, 1.0);
  EXPECT_EQ(s.Days(d, d).at(0).activeSeconds, 14u);
  ASSERT_EQ(s.Hours(d, d).size() + s.Keys(d, d).size() + s.Programs(d, d).size(), 3u);  // one row each
  EXPECT_EQ(std::pair(s.Hours(d, d).at(0).hour, s.Hours(d, d).at(0).counts),
            std::pair(17, EventCounts{2, 4, 6, 8, 10, 12}));
  EXPECT_EQ(s.Keys(d, d).at(0).strokes, 10u);
  EXPECT_EQ(s.Programs(d, d).at(0).counts, (ProgramDelta{12, 8, 10}));
  EXPECT_EQ(Names(), (std::vector<std::string>{"history.db", "history.db-shm", "history.db-wal"}));  // a WAL journal
}

// A file of the version before the breaks: made whole in one step at its first open for a write, nothing lost;
// each day's breaks add up by kind and outcome and go with a deletion of the day.
TEST_F(HistoryTest, AVersionOneFileIsUpgradedInPlaceAndTheBreaksAddUpPerDay) {
  const std::string d = "2026-12-07";
  {
    HistoryStore s;
    ASSERT_TRUE(s.Open(Db(), 0).Ok());
    ASSERT_TRUE(s.Write(Busy(3)).Ok());
    ASSERT_EQ(Sql(s.Handle(), "DROP TABLE breaks; PRAGMA user_version=1"), SQLITE_OK);
  }
  const std::string id = [&] {
    sqlite3* db = Raw(Db());
    std::string v;
    sqlite3_exec(db, "SELECT id FROM computer", [](void* out, int, char** col, char**) {
      *static_cast<std::string*>(out) = col[0];
      return 0;
    }, &v, nullptr);
    sqlite3_close(db);
    return v;
  }();
  HistoryStore s;
  ASSERT_TRUE(s.Open(Db(), 0).Ok());
  EXPECT_EQ(Sql(s.Handle(), "CREATE TEMP TABLE v(x CHECK(x = 2)); INSERT INTO v SELECT * FROM pragma_user_version"),
            SQLITE_OK);
  EXPECT_EQ(s.ComputerId(), id);  // the same computer
  ASSERT_EQ(s.Days(d, d).size(), 1u);
  EXPECT_EQ(s.Days(d, d)[0].counts, (EventCounts{3, 0, 0, 0, 3, 0}));
  EXPECT_EQ(std::pair(s.Days(d, d)[0].breaksTaken, s.Days(d, d)[0].breaksDue), (std::pair<uint64_t, uint64_t>(0, 0)));

  Deltas b;
  using B = BreakDelta;
  for (auto field : {&B::due, &B::due, &B::postponed, &B::taken, &B::due}) b.AddBreak(kDay, "micro", field);
  for (auto field : {&B::due, &B::skipped}) b.AddBreak(kDay, "rest", field);
  Deltas more = b;
  more.AddBreak(kDay, "rest", &B::due);
  ASSERT_TRUE(s.Write(b).Ok());
  ASSERT_TRUE(s.Write(more).Ok());  // added to the rows, as the figures are
  EXPECT_EQ(std::pair(s.Days(d, d)[0].breaksTaken, s.Days(d, d)[0].breaksDue), (std::pair<uint64_t, uint64_t>(2, 9)));
  EXPECT_EQ(Sql(s.Handle(),
                "CREATE TEMP TABLE w(x CHECK(x = 'micro 6 2 0 2,rest 3 0 2 0'));"
                " INSERT INTO w SELECT group_concat(kind || ' ' || due || ' ' || taken || ' ' || skipped || ' ' ||"
                " postponed, ',') FROM (SELECT * FROM breaks WHERE date = '2026-12-07' ORDER BY kind)"),
            SQLITE_OK);
  ASSERT_TRUE(s.DeleteDays(d, d).Ok());
  EXPECT_EQ(Sql(s.Handle(), "CREATE TEMP TABLE z(x CHECK(x = 0)); INSERT INTO z SELECT count(*) FROM breaks"),
            SQLITE_OK);
}

TEST_F(HistoryTest, ReadsTakeAnInclusiveRangeInKeyOrderAndTheFirstDateIsTheEarliestRealDay) {
  HistoryStore s;
  // The first date and whether it was read (a braced list reads them in this order).
  EXPECT_EQ((std::pair{s.FirstDate(), s.LastRead().Ok()}), std::pair(std::string(), false));  // closed
  ASSERT_TRUE(s.Open(Db(), 0).Ok());
  EXPECT_EQ((std::pair{s.FirstDate(), s.LastRead().Ok()}), std::pair(std::string(), true));
  const std::string umlaut = "\xC3\x84rger.exe";  // Ärger.exe in UTF-8: sorts after the ASCII names
  Deltas d;
  for (LocalHour at : {LocalHour{2026, 12, 9}, {2026, 12, 7}, {2026, 12, 8}, {2026, 11, 30}}) {
    for (int hour : {13, 2}) {
      at.hour = hour;
      d.AddEvent(at, InputKind::Key, hour == 2 ? 0x5A : 0x08, hour == 2 ? "zed.exe" : umlaut);
      d.AddEvent(at, InputKind::Key, 0x41, "abc.exe");
    }
  }
  ASSERT_TRUE(s.Write(d).Ok());
  auto list = [](const auto& rows, auto text) {
    std::string out;
    for (const auto& r : rows) out += text(r) + " ";
    return out;
  };
  EXPECT_EQ(list(s.Days("2026-12-07", "2026-12-08"), [](auto& r) { return r.date; }), "2026-12-07 2026-12-08 ");
  EXPECT_EQ(list(s.Hours("2026-12-07", "2026-12-07"), [](auto& r) { return std::to_string(r.hour); }), "2 13 ");
  EXPECT_EQ(list(s.Keys("2026-12-09", "2026-12-31"),
                 [](auto& r) { return std::to_string(r.vk) + "=" + std::to_string(r.strokes); }),
            "8=1 65=2 90=1 ");
  EXPECT_EQ(list(s.Programs("2026-11-30", "2026-11-30"), [](auto& r) { return r.exe; }),
            "abc.exe zed.exe " + umlaut + " ");
  EXPECT_EQ((std::pair{s.Days("2026-12-10", "2026-12-01").empty(), s.LastRead().Ok()}), std::pair(true, true));
  EXPECT_EQ(s.FirstDate(), "2026-11-30");
  // Keys no writer of ours makes, sorting before every date, are passed over.
  ASSERT_EQ(Sql(s.Handle(), "INSERT INTO days(date) VALUES(''), ('0'), ('1999-1-1'), ('!')"), SQLITE_OK);
  EXPECT_EQ(s.FirstDate(), "2026-11-30");
  ASSERT_EQ(Sql(s.Handle(), "DROP TABLE days"), SQLITE_OK);
  EXPECT_EQ((std::pair{s.FirstDate(), s.LastRead().Ok()}), std::pair(std::string(), false));
}

TEST_F(HistoryTest, AFileThatCannotBeOpenedIsLeftAsItWasAndNeverWritten) {
  // What another program did first (it keeps its connection until the end).
  const std::tuple<const char*, std::string, const char*, StoreError> cases[] = {
      {"written by a newer version", Db(), "CREATE TABLE days(date TEXT PRIMARY KEY, x BLOB); PRAGMA user_version=3",
       StoreError::NewerSchema},
      {"locked by another program", Db(), "CREATE TABLE t(x); BEGIN EXCLUSIVE; INSERT INTO t VALUES(1)",
       StoreError::Busy},
      {"folder missing", (m_dir / "gone" / "history.db").string(), nullptr, StoreError::CannotOpen},
      {"a folder in the way", m_dir.string(), nullptr, StoreError::CannotOpen},
  };
  for (const auto& [name, path, setup, error] : cases) {
    SCOPED_TRACE(name);
    Empty();
    sqlite3* other = setup ? Raw(path) : nullptr;
    ASSERT_EQ(setup ? Sql(other, setup) : SQLITE_OK, SQLITE_OK);
    const auto before = std::pair(Bytes(path), Names());
    HistoryStore s;
    EXPECT_EQ(s.Open(path, 0).error, error);
    EXPECT_EQ(s.Write(Busy(1)).error, StoreError::CannotOpen);
    EXPECT_EQ((std::pair{s.Days("0000", "9999").empty(), s.LastRead().Ok()}), std::pair(true, false));
    EXPECT_EQ(std::pair(Bytes(path), Names()), before);
    sqlite3_close(other);
    EXPECT_EQ(s.Open(path, 0).Ok(), error == StoreError::Busy);  // a lock is only for a while
  }
}

TEST_F(HistoryTest, DamagedFileIsMovedAsideUnchangedANewOneStartedAndTold) {
  const time_t now = Utc(2026, 12, 7, 16, 15, 0);  // 17:15 local
  // A sound file of some pages, for the truncated case.
  ASSERT_EQ(SqlOnce(Db(), "CREATE TABLE t(x); INSERT INTO t VALUES(zeroblob(60000))"), SQLITE_OK);
  const std::string sound = Bytes(Db());
  ASSERT_GT(sound.size(), 8u * 4096);
  std::string pageGarbage = sound;
  for (size_t i = 4096; i < pageGarbage.size(); i += 7) pageGarbage[i] = static_cast<char>(i * 31);

  const std::string stamp = "history.damaged-2026-12-07-171500", damaged = stamp + ".db";
  // The damaged bytes, the files already in the folder, a -wal beside the
  // damaged file (moved along) and the name it is given.
  const std::tuple<const char*, std::string, std::vector<std::string>, const char*, std::string> cases[] = {
      {"garbage", std::string(5000, '\x5a'), {}, nullptr, damaged},
      {"truncated to some of its pages", sound.substr(0, sound.size() / 2), {}, nullptr, damaged},
      {"a short header", sound.substr(0, 60), {}, nullptr, damaged},
      {"pages overwritten", pageGarbage, {}, nullptr, damaged},
      {"name taken twice", "not a database, just text\n", {damaged, stamp + "-2.db-wal"}, nullptr, stamp + "-3.db"},
      {"with a journal", std::string(4096, '\x01'), {}, "stale frames", damaged},
  };
  for (const auto& [name, bytes, before, wal, movedTo] : cases) {
    SCOPED_TRACE(name);
    Empty();
    Put(Db(), bytes);
    if (wal) Put(Db() + "-wal", wal);
    for (const auto& n : before) Put(m_dir / n, "keep " + n);

    HistoryStore s;
    Recorder rec;
    rec.AddEvent(now, InputKind::Key, 0x41, "");
    const Notice n = rec.Flush(s, Db(), now);
    ASSERT_EQ(n.kind, Notice::Kind::MovedAside) << n.detail;
    EXPECT_FALSE(rec.Pending());
    EXPECT_EQ(n.movedAside, (m_dir / movedTo).string());
    EXPECT_EQ(Bytes(m_dir / movedTo), bytes);
    EXPECT_EQ(Bytes(m_dir / (movedTo + "-wal")), wal ? wal : "");
    for (const auto& n : before) EXPECT_EQ(Bytes(m_dir / n), "keep " + n);
    EXPECT_EQ(s.Days("2026-12-07", "2026-12-07").at(0).counts, (EventCounts{0, 0, 0, 0, 1, 0})) << "in a new file";
  }
}

TEST_F(HistoryTest, DamageFoundByAWriteMovesTheFileAsideWritesToANewOneAndIsTold) {
  const time_t t = Utc(2026, 12, 7, 17);
  // A folder with a non-ASCII name: the renames take UTF-8 paths.
  const fs::path dir = m_dir / fs::path(std::u8string(u8"历史 ü"));
  fs::create_directories(dir);
  const std::string db = (dir / "history.db").string();
  HistoryStore s;
  Recorder rec;
  rec.AddEvent(t, InputKind::Key, 0x41, "a.exe");
  ASSERT_EQ(rec.Flush(s, db, t).kind, Notice::Kind::None);
  // Another program changes the file (so the store reads it afresh), folds
  // the journal in and then the table pages go bad on the disk.
  ASSERT_EQ(SqlOnce(db, "INSERT INTO keys VALUES('1999-01-01', 1, 1); PRAGMA wal_checkpoint(TRUNCATE);"), SQLITE_OK);
  std::string bytes = Bytes(db);
  for (size_t i = 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(0xA5);
  Put(db, bytes);

  rec.AddEvent(t + 1, InputKind::Key, 0x41, "a.exe");
  const Notice n = rec.Flush(s, db, t + 1);
  ASSERT_EQ(n.kind, Notice::Kind::MovedAside) << n.detail;
  EXPECT_FALSE(rec.Pending());
  EXPECT_EQ(Bytes(n.movedAside), bytes);
  EXPECT_EQ(fs::path(n.movedAside).parent_path(), dir);
  EXPECT_EQ(s.Days("2026-12-07", "2026-12-07").at(0).counts.keys, 1u);  // only this write: the old rows stay behind
}

TEST_F(HistoryTest, AFailedWriteLeavesNothingBehindAndTheRetryWorks) {
  // The day row is written before the program rows, so a failure among those must take the day's update back with it.
  // What breaks the write and mends it again, on the store's own connection.
  const std::tuple<const char*, const char*, const char*, StoreError> cases[] = {
      // No page more than the file has now.
      {"the file may not grow (disk full)", "PRAGMA max_page_count=1", "PRAGMA max_page_count=1000000",
       StoreError::Full},
      // The engine takes back a full disk's transaction itself, not that of a statement that fails alone.
      {"one statement refused",
       "CREATE TEMP TRIGGER refuse BEFORE INSERT ON main.programs WHEN NEW.exe = 'refused.exe'"
       " BEGIN SELECT RAISE(ABORT, 'refused'); END",
       "DROP TRIGGER temp.refuse", StoreError::Other},
  };
  for (auto [name, breakIt, mendIt, error] : cases) {
    SCOPED_TRACE(name);
    fs::remove(Db());
    HistoryStore s;
    ASSERT_TRUE(s.Open(Db(), 0).Ok());
    ASSERT_TRUE(s.Write(Busy(4)).Ok());
    ASSERT_EQ(Sql(s.Handle(), breakIt), SQLITE_OK);
    Deltas big = Busy(1);
    for (int i = 0; i < 400; ++i)
      big.AddEvent(kDay, InputKind::Wheel, 0, "a-rather-long-program-name-" + std::to_string(i) + ".exe");
    big.AddEvent(kDay, InputKind::Wheel, 0, "refused.exe");
    const StoreResult r = s.Write(big);
    EXPECT_EQ(r.error, error) << r.detail;
    auto dayKeys = [&] { return s.Days("2026-12-07", "2026-12-07").at(0).counts.keys; };
    EXPECT_EQ(dayKeys(), 4u);
    EXPECT_EQ(s.Programs("2026-12-07", "2026-12-07").size(), 2u);
    ASSERT_EQ(Sql(s.Handle(), mendIt), SQLITE_OK);
    ASSERT_TRUE(s.Write(big).Ok());
    EXPECT_EQ(dayKeys(), 5u);
    EXPECT_EQ(s.Programs("2026-12-07", "2026-12-07").size(), 403u);
  }
}

TEST_F(HistoryTest, TheRecorderTellsOfALockThatLastsOncePerSpellAndLosesNothing) {
  const time_t noon = Utc(2026, 12, 7, 12);
  HistoryStore store;
  Recorder rec;
  int second = 0;
  auto click = [&] {  // one click a second, then a write: what it told
    rec.AddEvent(noon + second++, InputKind::Left, 0, "a.exe");
    const Notice n = rec.Flush(store, Db(), noon);
    EXPECT_TRUE(n.kind != Notice::Kind::Fault || n.error == StoreError::Busy) << n.detail;
    return n.kind;
  };
  using K = Notice::Kind;
  ASSERT_EQ(click(), K::None);
  // Each second another click and a failed write: told at the third, once;
  // after a write went through, a new lock counts from the start again.
  for (int spell = 0; spell < 2; ++spell) {
    SCOPED_TRACE(spell);
    sqlite3* other = Raw(Db());
    ASSERT_EQ(Sql(other, spell ? "BEGIN IMMEDIATE" : "BEGIN IMMEDIATE; INSERT INTO keys VALUES('1999-01-01', 1, 7)"),
              SQLITE_OK);
    for (K told : {K::None, K::None, K::Fault, K::None, K::None}) EXPECT_EQ(click(), told) << second;
    Sql(other, spell ? "ROLLBACK" : "COMMIT");
    sqlite3_close(other);
    EXPECT_EQ(click(), K::None);
    EXPECT_FALSE(rec.Pending());
  }
  // Every click once, and the other program's row beside them.
  EXPECT_EQ(store.Days("2026-12-07", "2026-12-07").at(0).counts.left, 13u);
  EXPECT_EQ(store.Days("2026-12-07", "2026-12-07").at(0).activeSeconds, 13u);
  EXPECT_EQ(store.Keys("1999-01-01", "1999-01-01").at(0).strokes, 7u);
}

TEST_F(HistoryTest, TheRecorderTellsOfNoFolderOrANewerFileOnceAndNeverTriesItsPlaceAgain) {
  ASSERT_EQ(SqlOnce(Db(), "PRAGMA user_version=9"), SQLITE_OK);
  HistoryStore store;
  Recorder rec;
  rec.AddEvent(Utc(2026, 12, 7, 12), InputKind::Key, 0x41, "");
  EXPECT_EQ(rec.Flush(store, "", 0).error, StoreError::CannotOpen);  // no folder for the file
  for (int i = 1; i <= 3; ++i) {
    rec.AddEvent(Utc(2026, 12, 7, 12) + i, InputKind::Key, 0x41, "");
    const Notice n = rec.Flush(store, Db(), 0);
    EXPECT_EQ(n.kind, i == 1 ? Notice::Kind::Fault : Notice::Kind::None) << i;
    EXPECT_EQ(n.error, i == 1 ? StoreError::NewerSchema : StoreError::None) << i;
    EXPECT_FALSE(store.IsOpen());
    fs::remove(Db());  // not even when the file is gone: no new one behind its back
  }
  EXPECT_EQ(rec.PendingDeltas().keys.begin()->second, 4u) << "the strokes are kept in memory";
}

// The recorder's messages: each kind of trouble in its own words, naming the history file (and where a damaged
// one went).
TEST(RecorderNotice, EachTroubleIsToldInItsOwnWordsAndNamesTheFile) {
  const std::pair<StoreError, const char*> words[] = {{StoreError::Busy, "锁定"},
                                                      {StoreError::Full, "磁盘已满"},
                                                      {StoreError::NewerSchema, "更新的版本"},
                                                      {StoreError::CannotOpen, "无法创建或打开"},
                                                      {StoreError::Other, "出错"}};
  for (auto [error, word] : words) {
    const std::string text = NoticeText({Notice::Kind::Fault, error, "", ""}, "C:\\h.db", "");
    EXPECT_NE(text.find(word), std::string::npos) << text;
    EXPECT_NE(text.find("C:\\h.db"), std::string::npos) << text;
  }
  // A damaged file: its own name first, then the one it was given.
  const std::string moved = NoticeText({Notice::Kind::MovedAside, StoreError::None, "x", ""}, "C:\\h.db", "C:\\d.db");
  EXPECT_NE(moved.find("C:\\d.db", moved.find("C:\\h.db")), std::string::npos) << moved;
}
