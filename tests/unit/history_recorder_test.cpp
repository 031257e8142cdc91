// The recorder between the main window and the file: what it tells the
// user, when, and that nothing it could not write is lost.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "history/history_recorder.h"

namespace fs = std::filesystem;
using namespace tallivo;
using namespace tallivo::history;

namespace {

// 2026-12-07 12:00:00 UTC; the tests read the day back whatever the zone.
constexpr time_t kNoon = 1796644800;

class RecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tallivo-recorder-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    m_dir = tmpl;
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Db() const { return (m_dir / "history.db").string(); }
  // Another program's connection running sql on the file.
  sqlite3* Other(const char* sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(Db().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    return db;
  }
  // One click a second from kNoon + second, then a flush: what it told.
  Notice::Kind ClickAndFlush(int second) {
    m_rec.AddEvent(kNoon + second, InputKind::Left, 0, "a.exe");
    const Notice n = m_rec.Flush(m_store, Db(), kNoon);
    EXPECT_TRUE(n.kind != Notice::Kind::Fault || n.error == StoreError::Busy) << n.detail;
    return n.kind;
  }
  DayRow Today() {
    const std::string day = DateKey(LocalHourAt(kNoon));
    const auto rows = m_store.Days(day, day);
    return rows.empty() ? DayRow{} : rows[0];
  }

  fs::path m_dir;
  HistoryStore m_store;
  Recorder m_rec;
};

}  // namespace

TEST_F(RecorderTest, ALockIsToldWhenItLastsOncePerSpellAndNothingIsLost) {
  using K = Notice::Kind;
  ASSERT_EQ(ClickAndFlush(0), K::None);
  int second = 1;
  // Each second another click and a failed write: told at the third, once;
  // after a write went through, a new lock counts from the start again.
  for (int spell = 0; spell < 2; ++spell) {
    SCOPED_TRACE(spell);
    sqlite3* other =
        Other(spell == 0 ? "BEGIN IMMEDIATE; INSERT INTO keys VALUES('1999-01-01', 1, 7)" : "BEGIN IMMEDIATE");
    for (K told : {K::None, K::None, K::Fault, K::None, K::None}) {
      EXPECT_EQ(ClickAndFlush(second++), told) << second;
      EXPECT_TRUE(m_rec.Pending());
    }
    sqlite3_exec(other, spell == 0 ? "COMMIT" : "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(ClickAndFlush(second++), K::None);
    EXPECT_FALSE(m_rec.Pending());
  }
  // Every click once, and the other program's row beside them.
  EXPECT_EQ(Today().counts.left, 13u);
  EXPECT_EQ(Today().activeSeconds, 13u);
  EXPECT_EQ(m_store.Keys("1999-01-01", "1999-01-01").at(0).strokes, 7u);
}

TEST_F(RecorderTest, ANewerFileIsToldOnceAndNeverTriedAgainInThisRun) {
  sqlite3_close(Other("PRAGMA user_version=9"));
  for (int i = 0; i < 3; ++i) {
    m_rec.AddEvent(kNoon + i, InputKind::Key, 0x41, "");
    EXPECT_EQ(m_rec.Flush(m_store, Db(), kNoon).kind, i == 0 ? Notice::Kind::Fault : Notice::Kind::None) << i;
    EXPECT_FALSE(m_store.IsOpen());
    // Not even when the file is gone: no new file is started behind its back.
    fs::remove(Db());
  }
  EXPECT_FALSE(fs::exists(Db()));
  EXPECT_EQ(m_rec.PendingDeltas().keys.begin()->second, 3u) << "the strokes are kept in memory";
}

TEST_F(RecorderTest, NoFolderMeansCannotOpenAndAFileOfGarbageIsMovedAsideAndTold) {
  m_rec.AddEvent(kNoon, InputKind::Left, 0, "");
  EXPECT_EQ(m_rec.Flush(m_store, "", kNoon).error, StoreError::CannotOpen);
  std::ofstream(Db()) << "this is not a database, it is a shopping list";
  const Notice n = m_rec.Flush(m_store, Db(), kNoon);
  EXPECT_EQ(n.kind, Notice::Kind::MovedAside);
  EXPECT_TRUE(fs::exists(n.movedAside)) << n.movedAside;
  EXPECT_EQ(Today().counts.left, 1u);
  // The message names the damaged file first, then its new name.
  const std::string text = NoticeText(n, "C:\\h.db", "C:\\d.db");
  EXPECT_LT(text.find("C:\\h.db"), text.find("C:\\d.db"));
  EXPECT_NE(text.find("C:\\d.db"), std::string::npos);
}
