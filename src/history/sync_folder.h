// The sync folder: a folder the user's own sync service carries between
// their computers. Each computer writes only its own file there, a whole
// copy of its history made elsewhere and put in place in one rename, and
// reads the others' files through private copies, never touching them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "history/history_store.h"

namespace tallivo::history {

// "2026-12-08T21:30:00Z".
std::string UtcStamp(time_t t);
// 32 lower-case hexadecimal digits.
bool IsComputerId(const std::string& text);
// Whether a file of the folder may be a computer's copy: its name starts
// with an id and ends in ".db" (conflict copies keep both: "<id> (1).db",
// "<id>.sync-conflict-20261207-101500-ABC.db").
bool IsCopyName(const std::string& fileName);

// <folder>\Tallivo, and this computer's file and its temporary name there.
std::string CopiesFolder(const std::string& folder);
std::string CopyPath(const std::string& folder, const std::string& id);
std::string CopyTempPath(const std::string& folder, const std::string& id);

// What the first bytes and the size of a file say: an SQLite file whose
// header promises more pages than the file holds was cut short (a copy
// still arriving).
enum class FileShape { Sound, NotSqlite, CutShort };
FileShape ShapeOf(const std::string& head, uint64_t fileSize);

// Makes the copy of the history at historyPath: a complete database in
// workPath (a local file, replaced), with the computer row naming who and
// when, then copied beside its final name in the folder and renamed to it.
// Nothing in the folder is ever an open database.
StoreResult WriteCopy(const std::string& historyPath, const std::string& workPath, const std::string& folder,
                      const CopyIdentity& who);

// One computer's copy found in the folder.
struct PeerCopy {
  std::string file;  // its name in the folder
  CopyIdentity who;
  std::string privatePath;  // where it was copied to be read
};
enum class SkipReason { Unreadable, Newer };
struct SkippedCopy {
  std::string file;
  SkipReason why = SkipReason::Unreadable;
};
// Of several copies of one computer only the one written last counts (the
// exact name first when two say the same time); this computer's own id is
// never read. In name order of the result: by computer name, then id.
std::vector<PeerCopy> LatestPerComputer(std::vector<PeerCopy> copies, const std::string& ownId);

struct FolderScan {
  bool reachable = false;  // the folder (not its Tallivo subfolder) exists
  std::vector<PeerCopy> peers;
  std::vector<SkippedCopy> skipped;
};
// Reads the folder: every copy of another computer is copied into
// privateDir (whose earlier copies are removed) and checked there.
FolderScan ScanFolder(const std::string& folder, const std::string& ownId, const std::string& privateDir);

// The other computers' copies, open to be read, and what the scan left out.
class PeerSet {
 public:
  void Load(const std::string& folder, const std::string& ownId, const std::string& privateDir);
  void Clear();
  size_t Size() const { return m_stores.size(); }
  const CopyIdentity& Who(size_t i) const { return m_peers[i].who; }
  HistoryStore* Store(size_t i) { return m_stores[i].get(); }
  bool Reachable() const { return m_reachable; }
  const std::vector<SkippedCopy>& Skipped() const { return m_skipped; }

 private:
  std::vector<PeerCopy> m_peers;
  std::vector<std::unique_ptr<HistoryStore>> m_stores;
  std::vector<SkippedCopy> m_skipped;
  bool m_reachable = false;
};

// Rows of several histories added together, in the stores' key order.
class MergedHistory {
 public:
  void Set(std::vector<HistoryStore*> stores) { m_stores = std::move(stores); }
  std::vector<DayRow> Days(const std::string& from, const std::string& to);
  std::vector<HourRow> Hours(const std::string& from, const std::string& to);
  std::vector<KeyRow> Keys(const std::string& from, const std::string& to);
  std::vector<ProgramRow> Programs(const std::string& from, const std::string& to);
  std::string FirstDate();
  const StoreResult& LastRead() const { return m_lastRead; }

 private:
  template <typename Row, typename Read>
  std::vector<Row> Merge(Read read);
  std::vector<HistoryStore*> m_stores;
  StoreResult m_lastRead;
};

// When this computer's copy is due: as soon as a folder is set, then at
// most every five minutes while the history changed; a failed copy is
// tried again at the next occasion.
class CopySchedule {
 public:
  static constexpr time_t kEvery = 300;
  void FolderSet() { m_due = true, m_last.reset(); }
  void Changed() { m_changed = true; }
  void Failed() { m_due = true; }
  // Whether to copy now; when so, it counts as done.
  bool Due(time_t now);

 private:
  bool m_due = false;
  bool m_changed = false;
  std::optional<time_t> m_last;
};

// Makes copies on a thread of its own, so that a slow or offline folder
// never holds up counting. A new request replaces one not yet started.
struct CopyJob {
  std::string historyPath, workPath, folder;
  CopyIdentity who;
};
class CopyWorker {
 public:
  CopyWorker() = default;
  CopyWorker(const CopyWorker&) = delete;
  CopyWorker& operator=(const CopyWorker&) = delete;
  ~CopyWorker();
  void Request(CopyJob job);
  // Waits for the pending and running copy; false when time ran out.
  bool WaitIdle(int timeoutMs);
  // The last copy's result, taken once (empty when none finished since).
  std::optional<StoreResult> TakeResult();

 private:
  void Run();
  std::mutex m_mutex;
  std::condition_variable m_wake, m_idle;
  std::optional<CopyJob> m_pending;
  std::optional<StoreResult> m_result;
  bool m_busy = false, m_stop = false;
  std::thread m_thread;
};

}  // namespace tallivo::history
