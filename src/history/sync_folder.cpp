#include "history/sync_folder.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <tuple>

namespace tallivo::history {

namespace {

namespace fs = std::filesystem;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

uint32_t BigEndian(const std::string& s, size_t at, size_t n) {
  uint32_t v = 0;
  for (size_t i = 0; i < n; ++i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

StoreResult CopyFailure(const std::string& what) { return StoreResult{StoreError::CannotOpen, "", what}; }

void RemoveQuietly(const fs::path& p) {
  std::error_code ec;
  fs::remove(p, ec);
}

}  // namespace

std::string UtcStamp(time_t t) {
  std::tm tm{};
#ifdef _WIN32
  if (gmtime_s(&tm, &t) != 0) tm = std::tm{};
#else
  if (!gmtime_r(&t, &tm)) tm = std::tm{};
#endif
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

bool IsComputerId(const std::string& text) {
  return text.size() == 32 && std::all_of(text.begin(), text.end(), IsHexDigit);
}

bool IsCopyName(const std::string& fileName) {
  return fileName.size() >= 35 && IsComputerId(fileName.substr(0, 32)) &&
         fileName.compare(fileName.size() - 3, 3, ".db") == 0;
}

std::string CopiesFolder(const std::string& folder) { return Utf8Of(PathOf(folder) / "Tallivo"); }
std::string CopyPath(const std::string& folder, const std::string& id) {
  return Utf8Of(PathOf(CopiesFolder(folder)) / PathOf(id + ".db"));
}
// Not a ".db": a reader never takes a half-copied file for a copy.
std::string CopyTempPath(const std::string& folder, const std::string& id) {
  return Utf8Of(PathOf(CopiesFolder(folder)) / PathOf(id + ".db.tmp"));
}

FileShape ShapeOf(const std::string& head, uint64_t fileSize) {
  static const char kMagic[] = "SQLite format 3";  // and its NUL
  if (head.size() < 100 || std::memcmp(head.data(), kMagic, sizeof kMagic) != 0) {
    // The start of a header that has not all arrived yet.
    const size_t n = std::min(head.size(), sizeof kMagic);
    return n > 0 && std::memcmp(head.data(), kMagic, n) == 0 ? FileShape::CutShort : FileShape::NotSqlite;
  }
  uint64_t pageSize = BigEndian(head, 16, 2);
  if (pageSize == 1) pageSize = 65536;
  if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) return FileShape::NotSqlite;
  if (fileSize % pageSize != 0) return FileShape::CutShort;
  // The page count is only kept by writers that also keep the
  // version-valid-for number equal to the change counter.
  if (BigEndian(head, 24, 4) == BigEndian(head, 92, 4)) {
    const uint64_t pages = BigEndian(head, 28, 4);
    if (pages * pageSize > fileSize) return FileShape::CutShort;
  }
  return FileShape::Sound;
}

StoreResult WriteCopy(const std::string& historyPath, const std::string& workPath, const std::string& folder,
                      const CopyIdentity& who) {
  const fs::path work = PathOf(workPath);
  RemoveQuietly(work);
  RemoveQuietly(PathOf(workPath + "-journal"));

  sqlite3* src = nullptr;
  sqlite3* dst = nullptr;
  auto done = [&](StoreResult r) {
    if (src) sqlite3_close_v2(src);
    if (dst) sqlite3_close_v2(dst);
    if (!r.Ok()) RemoveQuietly(work);
    return r;
  };
  // Read-write only so that a file in WAL mode can be read while nobody
  // else has it open; nothing is written to it.
  int rc = sqlite3_open_v2(historyPath.c_str(), &src, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) return done(EngineFailure(rc, src, "cannot open the history to copy it"));
  sqlite3_busy_timeout(src, 2000);
  rc = sqlite3_open_v2(workPath.c_str(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc != SQLITE_OK) return done(EngineFailure(rc, dst, "cannot make the copy"));

  // One step: the copy is one moment of the history, whatever the window
  // thread writes meanwhile.
  sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
  if (!b) return done(EngineFailure(sqlite3_errcode(dst), dst, "cannot copy the history"));
  rc = sqlite3_backup_step(b, -1);
  sqlite3_backup_finish(b);
  if (rc != SQLITE_DONE) return done(EngineFailure(rc, dst, "cannot copy the history"));

  // A file on its own: no journal beside it once closed, and whose it is.
  sqlite3_stmt* st = nullptr;
  rc = sqlite3_exec(dst, "PRAGMA journal_mode=DELETE;", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(dst, kComputerTableSql, nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(dst, "DELETE FROM computer;", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(dst, "INSERT INTO computer VALUES(?1, ?2, ?3)", -1, &st, nullptr);
  if (rc == SQLITE_OK) {
    sqlite3_bind_text(st, 1, who.id.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 2, who.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(st, 3, who.writtenAt.c_str(), -1, SQLITE_TRANSIENT);
    rc = sqlite3_step(st) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(dst);
  }
  sqlite3_finalize(st);
  if (rc != SQLITE_OK) return done(EngineFailure(rc, dst, "cannot name the copy"));
  sqlite3_close_v2(src);
  src = nullptr;
  rc = sqlite3_close(dst);
  dst = nullptr;
  if (rc != SQLITE_OK) return done(EngineFailure(rc, nullptr, "cannot close the copy"));

  std::error_code ec;
  const fs::path dir = PathOf(CopiesFolder(folder));
  if (!fs::is_directory(PathOf(folder), ec)) return done(CopyFailure("the folder " + folder + " cannot be reached"));
  fs::create_directories(dir, ec);
  if (ec) return done(CopyFailure("cannot make " + Utf8Of(dir) + ": " + ec.message()));
  const fs::path temp = PathOf(CopyTempPath(folder, who.id));
  fs::copy_file(work, temp, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    RemoveQuietly(temp);
    return done(CopyFailure("cannot copy into " + Utf8Of(dir) + ": " + ec.message()));
  }
  fs::rename(temp, PathOf(CopyPath(folder, who.id)), ec);
  if (ec) {
    RemoveQuietly(temp);
    return done(CopyFailure("cannot put the copy in place in " + Utf8Of(dir) + ": " + ec.message()));
  }
  RemoveQuietly(work);
  return StoreResult{};
}

std::vector<PeerCopy> LatestPerComputer(std::vector<PeerCopy> copies, const std::string& ownId) {
  std::map<std::string, PeerCopy> best;
  for (PeerCopy& c : copies) {
    if (c.who.id == ownId) continue;
    auto it = best.find(c.who.id);
    const bool exact = c.file == c.who.id + ".db";
    if (it == best.end()) {
      best.emplace(c.who.id, std::move(c));
      continue;
    }
    const PeerCopy& held = it->second;
    const bool heldExact = held.file == held.who.id + ".db";
    if (std::tie(c.who.writtenAt, exact) > std::tie(held.who.writtenAt, heldExact) ||
        (c.who.writtenAt == held.who.writtenAt && exact == heldExact && c.file < held.file)) {
      it->second = std::move(c);
    }
  }
  std::vector<PeerCopy> out;
  for (auto& [id, c] : best) out.push_back(std::move(c));
  std::stable_sort(out.begin(), out.end(),
                   [](const PeerCopy& a, const PeerCopy& b) { return a.who.name < b.who.name; });
  return out;
}

FolderScan ScanFolder(const std::string& folder, const std::string& ownId, const std::string& privateDir) {
  FolderScan scan;
  std::error_code ec;
  const fs::path priv = PathOf(privateDir);
  // Copies of an earlier look go: a computer whose file went must not stay.
  std::vector<fs::path> old;
  for (auto it = fs::directory_iterator(priv, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    old.push_back(it->path());
  }
  for (const fs::path& p : old) RemoveQuietly(p);
  fs::create_directories(priv, ec);
  if (folder.empty() || !fs::is_directory(PathOf(folder), ec)) return scan;
  scan.reachable = true;

  std::vector<std::string> names;
  for (auto it = fs::directory_iterator(PathOf(CopiesFolder(folder)), ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    std::error_code fec;
    if (!it->is_regular_file(fec)) continue;
    const std::string name = Utf8Of(it->path().filename());
    if (IsCopyName(name) && name.compare(0, 32, ownId) != 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());

  std::vector<PeerCopy> found;
  int n = 0;
  for (const std::string& name : names) {
    const fs::path mine = priv / ("peer-" + std::to_string(++n) + ".db");
    fs::copy_file(PathOf(CopiesFolder(folder)) / PathOf(name), mine, fs::copy_options::overwrite_existing, ec);
    std::string head(100, '\0');
    uint64_t size = 0;
    if (!ec) {
      std::ifstream in(mine, std::ios::binary);
      in.read(head.data(), static_cast<std::streamsize>(head.size()));
      head.resize(static_cast<size_t>(in.gcount()));
      size = fs::file_size(mine, ec);
    }
    if (ec || ShapeOf(head, size) != FileShape::Sound) {
      RemoveQuietly(mine);
      scan.skipped.push_back({name, SkipReason::Unreadable});
      continue;
    }
    HistoryStore probe;
    PeerCopy c{name, {}, Utf8Of(mine)};
    const StoreResult r = probe.OpenCopy(c.privatePath, &c.who);
    probe.Close();
    if (!r.Ok()) {
      RemoveQuietly(mine);
      scan.skipped.push_back({name, r.error == StoreError::NewerSchema ? SkipReason::Newer : SkipReason::Unreadable});
      continue;
    }
    found.push_back(std::move(c));
  }
  scan.peers = LatestPerComputer(std::move(found), ownId);
  return scan;
}

void PeerSet::Clear() {
  m_stores.clear();
  m_peers.clear();
  m_skipped.clear();
  m_reachable = false;
}

void PeerSet::Load(const std::string& folder, const std::string& ownId, const std::string& privateDir) {
  Clear();  // closes the private copies before the scan replaces them
  FolderScan scan = ScanFolder(folder, ownId, privateDir);
  m_reachable = scan.reachable;
  m_skipped = std::move(scan.skipped);
  for (PeerCopy& c : scan.peers) {
    auto store = std::make_unique<HistoryStore>();
    CopyIdentity who;
    const StoreResult r = store->OpenCopy(c.privatePath, &who);
    if (!r.Ok()) {
      m_skipped.push_back({c.file, r.error == StoreError::NewerSchema ? SkipReason::Newer : SkipReason::Unreadable});
      continue;
    }
    m_peers.push_back(std::move(c));
    m_stores.push_back(std::move(store));
  }
}

// ---------------------------------------------------------------- merging

namespace {

void Add(EventCounts* to, const EventCounts& c) {
  to->left += c.left;
  to->right += c.right;
  to->middle += c.middle;
  to->wheel += c.wheel;
  to->keys += c.keys;
  to->movePixels += c.movePixels;
}

auto KeyOf(const DayRow& r) { return r.date; }
auto KeyOf(const HourRow& r) { return std::make_pair(r.date, r.hour); }
auto KeyOf(const KeyRow& r) { return std::make_pair(r.date, r.vk); }
auto KeyOf(const ProgramRow& r) { return std::make_pair(r.date, r.exe); }

void AddRow(DayRow* to, const DayRow& r) {
  Add(&to->counts, r.counts);
  to->moveMetres += r.moveMetres;
  to->activeSeconds += r.activeSeconds;
  to->breaksDue += r.breaksDue;
  to->breaksTaken += r.breaksTaken;
}
void AddRow(HourRow* to, const HourRow& r) { Add(&to->counts, r.counts); }
void AddRow(KeyRow* to, const KeyRow& r) { to->strokes += r.strokes; }
void AddRow(ProgramRow* to, const ProgramRow& r) {
  to->counts.clicks += r.counts.clicks;
  to->counts.wheel += r.counts.wheel;
  to->counts.keys += r.counts.keys;
}

}  // namespace

template <typename Row, typename Read>
std::vector<Row> MergedHistory::Merge(Read read) {
  m_lastRead = StoreResult{};
  if (m_stores.size() == 1) {
    std::vector<Row> rows = read(*m_stores[0]);
    m_lastRead = m_stores[0]->LastRead();
    return rows;
  }
  std::map<decltype(KeyOf(Row())), Row> sum;
  for (HistoryStore* s : m_stores) {
    for (const Row& r : read(*s)) {
      auto [it, fresh] = sum.try_emplace(KeyOf(r), r);
      if (!fresh) AddRow(&it->second, r);
    }
    if (!s->LastRead().Ok()) {
      m_lastRead = s->LastRead();
      return {};
    }
  }
  std::vector<Row> rows;
  rows.reserve(sum.size());
  for (auto& [key, r] : sum) rows.push_back(std::move(r));
  return rows;
}

std::vector<DayRow> MergedHistory::Days(const std::string& from, const std::string& to) {
  return Merge<DayRow>([&](HistoryStore& s) { return s.Days(from, to); });
}
std::vector<HourRow> MergedHistory::Hours(const std::string& from, const std::string& to) {
  return Merge<HourRow>([&](HistoryStore& s) { return s.Hours(from, to); });
}
std::vector<KeyRow> MergedHistory::Keys(const std::string& from, const std::string& to) {
  return Merge<KeyRow>([&](HistoryStore& s) { return s.Keys(from, to); });
}
std::vector<ProgramRow> MergedHistory::Programs(const std::string& from, const std::string& to) {
  return Merge<ProgramRow>([&](HistoryStore& s) { return s.Programs(from, to); });
}

std::string MergedHistory::FirstDate() {
  m_lastRead = StoreResult{};
  std::string first;
  for (HistoryStore* s : m_stores) {
    const std::string f = s->FirstDate();
    if (!s->LastRead().Ok()) {
      m_lastRead = s->LastRead();
      return "";
    }
    if (!f.empty() && (first.empty() || f < first)) first = f;
  }
  return first;
}

// ---------------------------------------------------------------- writing

bool CopySchedule::Due(time_t now) {
  const bool due = m_due || (m_changed && (!m_last || now - *m_last >= kEvery || now < *m_last));
  if (!due) return false;
  m_due = m_changed = false;
  m_last = now;
  return true;
}

CopyWorker::~CopyWorker() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

void CopyWorker::Request(CopyJob job) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = std::move(job);
    if (!m_thread.joinable()) m_thread = std::thread(&CopyWorker::Run, this);
  }
  m_wake.notify_all();
}

bool CopyWorker::WaitIdle(int timeoutMs) {
  std::unique_lock<std::mutex> lock(m_mutex);
  return m_idle.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !m_pending && !m_busy; });
}

std::optional<StoreResult> CopyWorker::TakeResult() {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::optional<StoreResult> r = std::move(m_result);
  m_result.reset();
  return r;
}

void CopyWorker::Run() {
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_wake.wait(lock, [&] { return m_stop || m_pending; });
    if (m_stop) return;
    CopyJob job = std::move(*m_pending);
    m_pending.reset();
    m_busy = true;
    lock.unlock();
    StoreResult r = WriteCopy(job.historyPath, job.workPath, job.folder, job.who);
    lock.lock();
    m_busy = false;
    m_result = std::move(r);
    m_idle.notify_all();
  }
}

}  // namespace tallivo::history
