// The recorder between the main window and the file: what it tells the
// user, when, and that nothing it could not write is lost.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "history/history_recorder.h"

namespace fs = std::filesystem;
using namespace tallivo;
using namespace tallivo::history;

namespace {

class RecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tallivo-recorder-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    m_dir = tmpl;
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Db() const { return (m_dir / "history.db").string(); }
  fs::path m_dir;
};

// 2026-12-07 12:00:00 UTC; the tests read the day back whatever the zone.
constexpr time_t kNoon = 1796644800;

uint64_t LeftClicks(HistoryStore& store) {
  const std::string day = DateKey(LocalHourAt(kNoon));
  const auto rows = store.Days(day, day);
  return rows.empty() ? 0 : rows[0].counts.left;
}

}  // namespace

TEST_F(RecorderTest, ALockIsToldOnlyWhenItLastsAndOnceAndNothingIsLost) {
  HistoryStore store;
  Recorder rec;
  rec.AddEvent(kNoon, InputKind::Left, 0, "a.exe");
  ASSERT_EQ(rec.Flush(store, Db(), kNoon).kind, Notice::Kind::None);
  ASSERT_EQ(LeftClicks(store), 1u);

  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(Db().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  // Each second another click and a failed write: told at the third, once.
  const Notice::Kind told[] = {Notice::Kind::None, Notice::Kind::None, Notice::Kind::Fault, Notice::Kind::None,
                               Notice::Kind::None};
  for (size_t i = 0; i < sizeof told / sizeof told[0]; ++i) {
    SCOPED_TRACE(i);
    rec.AddEvent(kNoon + 1 + static_cast<time_t>(i), InputKind::Left, 0, "a.exe");
    const Notice n = rec.Flush(store, Db(), kNoon);
    EXPECT_EQ(n.kind, told[i]);
    if (n.kind == Notice::Kind::Fault) {
      EXPECT_EQ(n.error, StoreError::Busy);
    }
    EXPECT_TRUE(rec.Pending());
  }
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(rec.Flush(store, Db(), kNoon).kind, Notice::Kind::None);
  EXPECT_FALSE(rec.Pending());
  EXPECT_EQ(LeftClicks(store), 6u);
  EXPECT_EQ(store.Days("0000-00-00", "9999-99-99").at(0).activeSeconds, 6u);
}

TEST_F(RecorderTest, ANewerFileIsToldOnceAndNeverTriedAgain) {
  {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Db().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version=9", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }
  HistoryStore store;
  Recorder rec;
  for (int i = 0; i < 3; ++i) {
    rec.AddEvent(kNoon + i, InputKind::Key, 0x41, "");
    const Notice n = rec.Flush(store, Db(), kNoon);
    EXPECT_EQ(n.kind, i == 0 ? Notice::Kind::Fault : Notice::Kind::None) << i;
    EXPECT_FALSE(store.IsOpen());
  }
  EXPECT_EQ(rec.PendingDeltas().keys.begin()->second, 3u) << "the strokes are kept in memory";
}

TEST_F(RecorderTest, NoFolderMeansCannotOpenAndAFileOfGarbageIsMovedAsideAndTold) {
  HistoryStore store;
  Recorder rec;
  rec.AddEvent(kNoon, InputKind::Left, 0, "");
  EXPECT_EQ(rec.Flush(store, "", kNoon).error, StoreError::CannotOpen);
  {
    FILE* f = fopen(Db().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("this is not a database, it is a shopping list", f);
    fclose(f);
  }
  const Notice n = rec.Flush(store, Db(), kNoon);
  EXPECT_EQ(n.kind, Notice::Kind::MovedAside);
  EXPECT_TRUE(fs::exists(n.movedAside)) << n.movedAside;
  EXPECT_EQ(LeftClicks(store), 1u);
  EXPECT_NE(NoticeText(n, "C:\\h.db", "C:\\d.db").find("C:\\d.db"), std::string::npos);
}
