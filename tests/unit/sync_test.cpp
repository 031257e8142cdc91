// The sync folder on the real engine in temporary folders: the copy a computer writes, the reading of the others'
// copies (conflict copies, files cut short, damaged or newer), the sums of several histories and when copies are due.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "history/history_store.h"
#include "history/sync_folder.h"

using namespace tallivo::history;
namespace fs = std::filesystem;

namespace {

int Sql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return rc;
}

// Each test's own places: two computers' local folders and the sync folder they share.
class SyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tallivo-sync-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    m_dir = tmpl;
    for (const char* d : {"a", "b", "shared", "private"}) fs::create_directories(m_dir / d);
  }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string At(const std::string& rel) const { return (m_dir / rel).string(); }
  std::string Shared() const { return At("shared"); }
  // A computer's history with one day of `left` clicks and `keys` strokes of A in a.exe, copied into the folder.
  std::string Computer(const char* local, const std::string& name, uint64_t left, const std::string& date,
                       const char* writtenAt = "2026-12-08T10:00:00Z") {
    HistoryStore s;
    EXPECT_TRUE(s.Open(At(local) + "/history.db", 0).Ok());
    Deltas d;
    d.days[date] = {{left, 0, 0, 0, 7, 100}, 0.5, 3};
    d.hours[{date, 9}] = {left, 0, 0, 0, 7, 100};
    d.keys[{date, 0x41}] = 7;
    d.programs[{date, "a.exe"}] = {left, 0, 7};
    d.breaks[{date, "micro"}] = {2, 1, 0, 1};
    EXPECT_TRUE(s.Write(d).Ok());
    const std::string id = s.ComputerId();
    EXPECT_TRUE(WriteCopy(At(local) + "/history.db", At(local) + "/copy.tmp", Shared(), {id, name, writtenAt}).Ok());
    return id;
  }
  std::vector<std::string> SharedNames() const {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(m_dir / "shared" / "Tallivo")) v.push_back(e.path().filename());
    std::sort(v.begin(), v.end());
    return v;
  }
  fs::path m_dir;
};

}  // namespace

TEST(SyncNames, CopiesAreKnownByTheirIdAndConflictCopiesKeepIt) {
  const std::string id = "0123456789abcdef0123456789abcdef";
  const struct {
    std::string name;
    bool copy;
  } cases[] = {
      {id + ".db", true},
      {id + " (1).db", true},
      {id + ".sync-conflict-20261207-101500-ABC.db", true},
      {id + ".db.tmp", false},  // still being copied in
      {"0123456789ABCDEF0123456789abcdef.db", false},
      {id.substr(1) + ".db", false},
      {"notes.db", false},
      {id + ".db-journal", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsCopyName(c.name), c.copy) << c.name;
  EXPECT_EQ(UtcStamp(0), "1970-01-01T00:00:00Z");
  EXPECT_EQ(UtcStamp(1796728200), "2026-12-08T11:10:00Z");
}

TEST(SyncNames, OnlyTheLatestCopyOfEachOtherComputerCounts) {
  const std::string a(32, 'a'), b(32, 'b'), own(32, 'c');
  const std::vector<PeerCopy> found = {
      {a + ".db", {a, "办公室", "2026-12-08T09:00:00Z"}, "1"},
      {a + " (1).db", {a, "办公室", "2026-12-08T10:00:00Z"}, "2"},   // the later one
      {b + ".sync-conflict-x.db", {b, "Laptop", "2026-12-08T08:00:00Z"}, "3"},
      {b + ".db", {b, "Laptop", "2026-12-08T08:00:00Z"}, "4"},        // the same time: the exact name
      {own + ".db", {own, "this one", "2026-12-09T00:00:00Z"}, "5"},  // never read: the live file is the truth
  };
  const std::vector<PeerCopy> kept = LatestPerComputer(found, own);
  ASSERT_EQ(kept.size(), 2u);
  EXPECT_EQ(kept[0].privatePath + kept[1].privatePath, "42");  // by name: "Laptop" before "办公室"
}

TEST(SyncNames, AFileCutShortOrNotADatabaseIsToldFromASoundOne) {
  std::string head(100, '\0');
  std::copy_n("SQLite format 3", 16, head.begin());
  head[16] = 0x10;                  // 4096-byte pages
  head[31] = 3;                     // 3 pages
  head[24] = head[92] = 5;          // the page count is kept
  const struct {
    std::string head;
    uint64_t size;
    FileShape shape;
  } cases[] = {
      {head, 3 * 4096, FileShape::Sound},
      {head, 2 * 4096, FileShape::CutShort},
      {head, 3 * 4096 - 10, FileShape::CutShort},
      {head.substr(0, 40), 40, FileShape::CutShort},
      {"", 0, FileShape::NotSqlite},
      {"<html>offline</html>" + std::string(80, ' '), 100, FileShape::NotSqlite},
  };
  for (const auto& c : cases) EXPECT_EQ(ShapeOf(c.head, c.size), c.shape) << c.size << " " << c.head.size();
}

TEST_F(SyncTest, TheCopyIsAWholeHistoryNamedByItsComputerWithNothingElseLeftInTheFolder) {
  const std::string id = Computer("a", "办公室", 3, "2026-12-08", "2026-12-08T10:11:12Z");
  EXPECT_TRUE(IsComputerId(id)) << id;
  HistoryStore again;  // the id is made once and kept
  ASSERT_TRUE(again.Open(At("a") + "/history.db", 0).Ok());
  EXPECT_EQ(again.ComputerId(), id);
  again.Close();
  EXPECT_EQ(SharedNames(), std::vector<std::string>{id + ".db"});
  EXPECT_FALSE(fs::exists(At("a") + "/copy.tmp"));
  HistoryStore copy;
  CopyIdentity who;
  ASSERT_TRUE(copy.OpenCopy(CopyPath(Shared(), id), &who).Ok());
  EXPECT_EQ(who.id + "|" + who.name + "|" + who.writtenAt, id + "|办公室|2026-12-08T10:11:12Z");
  EXPECT_EQ(copy.Days("2026-12-08", "2026-12-08").at(0).counts.left, 3u);
  copy.Close();
  EXPECT_EQ(SharedNames(), std::vector<std::string>{id + ".db"});  // reading left nothing either
  // Another computer: its own id.
  EXPECT_NE(Computer("b", "Laptop", 5, "2026-12-08"), id);
  // No folder to write to: said so, nothing made.
  EXPECT_FALSE(WriteCopy(At("a") + "/history.db", At("a") + "/copy.tmp", At("gone"), {id, "x", "y"}).Ok());
  EXPECT_FALSE(fs::exists(At("gone")));
}

TEST_F(SyncTest, AllComputersAddUpAndFilesThatAreNoSoundHistoryAreLeftOutUntouched) {
  const std::string a = Computer("a", "A", 3, "2026-12-08");
  const std::string b = Computer("b", "B", 5, "2026-12-08");
  const std::string tallivo = Shared() + "/Tallivo/";
  // An older conflict copy of B with other figures, and files that cannot count.
  fs::copy_file(CopyPath(Shared(), b), tallivo + b + " (1).db");
  ASSERT_EQ(Sql(tallivo + b + " (1).db", "UPDATE days SET left_clicks = 500; UPDATE computer SET written_at = '2026'"),
            SQLITE_OK);
  const std::string c(32, 'c'), d(32, 'd'), e(32, 'e');
  fs::copy_file(CopyPath(Shared(), b), tallivo + c + ".db");
  fs::resize_file(tallivo + c + ".db", fs::file_size(tallivo + c + ".db") / 2);  // cut short while it syncs
  fs::copy_file(CopyPath(Shared(), b), tallivo + d + ".db");
  ASSERT_EQ(Sql(tallivo + d + ".db", "UPDATE computer SET id = '" + d + "'; PRAGMA user_version = 9"), SQLITE_OK);
  std::ofstream(tallivo + e + ".db") << "not a database at all";
  fs::copy_file(CopyPath(Shared(), b), tallivo + "f.db");  // not a copy's name: not looked at
  const auto before = fs::last_write_time(tallivo + c + ".db");

  PeerSet peers;
  peers.Load(Shared(), a, At("private"));
  ASSERT_TRUE(peers.Reachable());
  ASSERT_EQ(peers.Size(), 1u);
  EXPECT_EQ(peers.Who(0).id, b);
  std::vector<std::string> skipped;
  for (const SkippedCopy& s : peers.Skipped()) skipped.push_back(s.file + (s.why == SkipReason::Newer ? " newer" : ""));
  std::sort(skipped.begin(), skipped.end());
  EXPECT_EQ(skipped, (std::vector<std::string>{c + ".db", d + ".db newer", e + ".db"}));

  HistoryStore own;
  ASSERT_TRUE(own.Open(At("a") + "/history.db", 0).Ok());
  MergedHistory all;
  all.Set({&own, peers.Store(0)});
  const std::string day = "2026-12-08";
  ASSERT_EQ(all.Days(day, day).size(), 1u);
  EXPECT_EQ(all.Days(day, day)[0].counts.left, 8u);
  EXPECT_EQ(all.Days(day, day)[0].counts.keys, 14u);
  EXPECT_DOUBLE_EQ(all.Days(day, day)[0].moveMetres, 1.0);
  EXPECT_EQ(all.Hours(day, day).at(0).counts.left, 8u);
  EXPECT_EQ(all.Keys(day, day).at(0).strokes, 14u);
  EXPECT_EQ(all.Programs(day, day).at(0).counts.clicks, 8u);
  EXPECT_EQ(std::pair(all.Days(day, day)[0].breaksTaken, all.Days(day, day)[0].breaksDue), (std::pair<uint64_t, uint64_t>(2, 4)));
  EXPECT_TRUE(all.LastRead().Ok());
  // Nothing in the folder was written, moved or left beside.
  EXPECT_EQ(fs::last_write_time(tallivo + c + ".db"), before);
  std::vector<std::string> names = {a + ".db", b + " (1).db", b + ".db", c + ".db", d + ".db", e + ".db", "f.db"};
  std::sort(names.begin(), names.end());
  EXPECT_EQ(SharedNames(), names);
  // The folder taken away: this computer alone, and said so; back again, B again.
  peers.Clear();
  fs::rename(Shared(), At("away"));
  peers.Load(Shared(), a, At("private"));
  EXPECT_FALSE(peers.Reachable());
  EXPECT_EQ(peers.Size(), 0u);
  fs::rename(At("away"), Shared());
  peers.Load(Shared(), a, At("private"));
  EXPECT_EQ(peers.Size(), 1u);
  // B not updated yet: its copy of the version before the breaks still counts, without breaks.
  peers.Clear();
  ASSERT_EQ(Sql(CopyPath(Shared(), b), "DROP TABLE breaks; PRAGMA user_version = 1"), SQLITE_OK);
  peers.Load(Shared(), a, At("private"));
  ASSERT_EQ(peers.Size(), 1u);
  all.Set({&own, peers.Store(0)});
  ASSERT_EQ(all.Days(day, day).size(), 1u);
  EXPECT_EQ(all.Days(day, day)[0].counts.left, 8u);
  EXPECT_EQ(std::pair(all.Days(day, day)[0].breaksTaken, all.Days(day, day)[0].breaksDue), (std::pair<uint64_t, uint64_t>(1, 2)));
}

TEST_F(SyncTest, DeletedDaysGoFromEveryTableAndTheNextCopyCarriesIt) {
  HistoryStore s;
  ASSERT_TRUE(s.Open(At("a") + "/history.db", 0).Ok());
  Deltas d;
  for (const char* date : {"2026-12-01", "2026-12-02", "2026-12-03"}) {
    d.days[date] = {{1, 0, 0, 0, 0, 0}, 0, 1};
    d.hours[{date, 1}] = {1, 0, 0, 0, 0, 0};
    d.keys[{date, 0x41}] = 1;
    d.programs[{date, "a.exe"}] = {1, 0, 0};
  }
  ASSERT_TRUE(s.Write(d).Ok());
  ASSERT_TRUE(s.DeleteDays("2026-12-02", "2026-12-03").Ok());
  const std::string all[2] = {"2026-12-01", "2026-12-31"};
  EXPECT_EQ(s.Days(all[0], all[1]).size() * 1000 + s.Hours(all[0], all[1]).size() * 100 +
                s.Keys(all[0], all[1]).size() * 10 + s.Programs(all[0], all[1]).size(),
            1111u);
  ASSERT_TRUE(WriteCopy(At("a") + "/history.db", At("a") + "/w", Shared(), {s.ComputerId(), "A", "t"}).Ok());
  HistoryStore copy;
  CopyIdentity who;
  ASSERT_TRUE(copy.OpenCopy(CopyPath(Shared(), s.ComputerId()), &who).Ok());
  EXPECT_EQ(copy.Days(all[0], all[1]).size(), 1u);
}

TEST(SyncSchedule, ACopyAtOnceForANewFolderThenAtMostEveryFiveMinutesWhileTheHistoryChanges) {
  CopySchedule s;
  const struct {
    const char* what;
    time_t at;
    bool due;
  } steps[] = {
      {"", 0, false},         // no folder yet
      {"folder", 1, true},    // set: at once
      {"", 2, false},         // nothing changed
      {"changed", 100, false},
      {"", 300, false},
      {"", 301, true},        // five minutes after the last
      {"changed", 302, false},
      {"failed", 303, true},  // tried again at the next occasion
      {"", 900, false},       // not changed since
  };
  for (const auto& step : steps) {
    const std::string what = step.what;
    if (what == "folder") s.FolderSet();
    if (what == "changed") s.Changed();
    if (what == "failed") s.Failed();
    EXPECT_EQ(s.Due(step.at), step.due) << step.at;
  }
}
