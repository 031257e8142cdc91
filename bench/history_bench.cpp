// Figures for history.db: the once-a-second write, the size of a year's
// file, the memory the engine adds, and the recovery of a damaged file.
// Prints figures; asserts nothing.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "history/history_store.h"
#include "history/sync_folder.h"

using namespace tallivo;
using namespace tallivo::history;
namespace fs = std::filesystem;

namespace {

constexpr int kKeys = 60;
constexpr int kPrograms = 20;
constexpr int kWrites = 300;

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

struct Memory {
  double peakMiB;
  double nowMiB;
};

Memory WorkingSet() {
  PROCESS_MEMORY_COUNTERS pmc{};
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return {pmc.PeakWorkingSetSize / 1048576.0, pmc.WorkingSetSize / 1048576.0};
}

std::string Program(int i) { return "program-" + std::to_string(i) + ".exe"; }

// Noon of the i-th day from 2025-01-01: no daylight-saving change near.
LocalHour DayAt(int i) { return LocalHourAt(static_cast<time_t>(1735732800) + static_cast<time_t>(i) * 86400); }

// A busy day: every hour, 60 keys and 20 programs, in one set of deltas.
Deltas BusyDay(const LocalHour& day) {
  Deltas d;
  const std::string date = DateKey(day);
  DayDelta& total = d.days[date];
  for (int h = 0; h < 24; ++h) {
    EventCounts c{400u + h, 90u + h, 5, 300, 2000u + 10u * h, 150000u + 100u * h};
    d.hours[{date, h}] = c;
    total.counts.AddAll(c);
  }
  total.moveMetres = 1234.5;
  total.activeSeconds = 20000;
  for (int k = 0; k < kKeys; ++k) d.keys[{date, 0x20u + k}] = 500u + k;
  for (int p = 0; p < kPrograms; ++p) d.programs[{date, Program(p)}] = ProgramDelta{100u + p, 30, 800u + p};
  return d;
}

// One busy second: a dozen key strokes and a few clicks in two programs,
// pointer movement, all in the hour the write number lands on.
Deltas BusySecond(const LocalHour& day, int n) {
  LocalHour at = day;
  at.hour = n % 24;
  Deltas d;
  for (int i = 0; i < 12; ++i) d.AddEvent(at, InputKind::Key, 0x20u + (n * 7 + i) % kKeys, Program(n % kPrograms));
  for (int i = 0; i < 3; ++i) d.AddEvent(at, InputKind::Left, 0, Program((n + 1) % kPrograms));
  d.AddEvent(at, InputKind::Wheel, 0, Program((n + 1) % kPrograms));
  d.AddMove(at, 850, 0.22);
  d.AddActiveSecond(at);
  return d;
}

struct Timing {
  double medianMs;
  double worstMs;
  int failed;
  int over5ms;
};

Timing SecondWrites(HistoryStore& store, const LocalHour& day) {
  std::vector<double> ms;
  int failed = 0;
  for (int n = 0; n < kWrites; ++n) {
    const Deltas d = BusySecond(day, n);
    const double t0 = Now();
    if (!store.Write(d).Ok()) ++failed;
    ms.push_back((Now() - t0) * 1000.0);
  }
  std::sort(ms.begin(), ms.end());
  const int slow = static_cast<int>(ms.end() - std::upper_bound(ms.begin(), ms.end(), 5.0));
  return {ms[ms.size() / 2], ms.back(), failed, slow};
}

uintmax_t SizeOf(const fs::path& p) {
  std::error_code ec;
  const uintmax_t n = fs::file_size(p, ec);
  return ec ? 0 : n;
}

}  // namespace

int main() {
  const Memory start = WorkingSet();
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  // A folder with a non-ASCII name, as a user's profile may have.
  const fs::path dir = fs::path(tmp) / (L"Tallivo 历史 bench-" + std::to_wstring(GetCurrentProcessId()));
  fs::create_directories(dir);
  const time_t now = time(nullptr);

  printf("History file (history.db) under Wine\n");
  {
    printf("1. Once-a-second write: %d writes of a busy second (1 day, 1 hour, ~12 keys, 2 programs)\n", kWrites);
    HistoryStore store;
    StoreResult r = store.Open(Utf8(dir / "fresh.db"), now);
    if (!r.Ok()) printf("   open failed: %s\n", r.detail.c_str());
    const LocalHour today = DayAt(0);
    store.Write(BusyDay(today));
    const Timing t = SecondWrites(store, today);
    printf("   a busy day's rows in the file:  median %7.3f ms, worst %7.3f ms, %d over 5 ms%s\n", t.medianMs,
           t.worstMs, t.over5ms, t.failed ? "  (some writes failed)" : "");
  }

  double yearSeconds = 0;
  {
    const fs::path year = dir / "year.db";
    HistoryStore store;
    StoreResult r = store.Open(Utf8(year), now);
    if (!r.Ok()) printf("   open failed: %s\n", r.detail.c_str());
    int failed = 0;
    const double t0 = Now();
    for (int i = 0; i < 365; ++i)
      if (!store.Write(BusyDay(DayAt(i))).Ok()) ++failed;
    yearSeconds = Now() - t0;
    const LocalHour today = DayAt(365);
    store.Write(BusyDay(today));
    const Timing t = SecondWrites(store, today);
    printf("   after a year of busy days:      median %7.3f ms, worst %7.3f ms, %d over 5 ms%s\n", t.medianMs,
           t.worstMs, t.over5ms, t.failed ? "  (some writes failed)" : "");
    store.Close();

    printf("2. A year: 365 days x (24 hours, %d keys, %d programs), one transaction a day\n", kKeys, kPrograms);
    printf("   written in %.2f s (%.1f ms a day)%s\n", yearSeconds, yearSeconds * 1000.0 / 365,
           failed ? "  (some days failed)" : "");
    // After the close the journal is folded in: the file is all there is.
    printf("   file size %.2f MB (%ju bytes, 366 days and %d seconds)  (target <= 5 MB)\n", SizeOf(year) / 1048576.0,
           SizeOf(year), kWrites);
  }

  {
    const fs::path damaged = dir / "damaged.db";
    FILE* f = _wfopen(damaged.c_str(), L"wb");
    if (f) {
      std::string junk(1 << 20, '\x5a');
      fwrite(junk.data(), 1, junk.size(), f);
      fclose(f);
    }
    HistoryStore store;
    const double t0 = Now();
    const StoreResult r = store.Open(Utf8(damaged), now);
    const double ms = (Now() - t0) * 1000.0;
    printf("3. A damaged 1 MB file at start: %s in %.1f ms, moved to %s\n", r.Ok() ? "new file" : "FAILED", ms,
           r.movedAside.empty()
               ? "(nothing)"
               : Utf8(fs::path(std::u8string(r.movedAside.begin(), r.movedAside.end())).filename()).c_str());
  }

  const Memory end = WorkingSet();
  printf("4. Working set of this process: at start %.1f MiB (peak %.1f), at the end %.1f MiB (peak %.1f)\n",
         start.nowMiB, start.peakMiB, end.nowMiB, end.peakMiB);

  {
    // The copy runs on its own thread; the window thread only goes on
    // writing its seconds, and may wait for the engine's lock meanwhile.
    const fs::path year = dir / "year.db", folder = dir / "sync";
    fs::create_directories(folder);
    const CopyIdentity who{"0123456789abcdef0123456789abcdef", "bench", "2026-12-08T00:00:00Z"};
    std::vector<double> ms;
    for (int i = 0; i < 5; ++i) {
      const double t0 = Now();
      const StoreResult r = WriteCopy(Utf8(year), Utf8(dir / "work.db"), Utf8(folder), who);
      ms.push_back((Now() - t0) * 1000.0);
      if (!r.Ok()) printf("   copy failed: %s\n", r.detail.c_str());
    }
    std::sort(ms.begin(), ms.end());
    printf("5. The year's copy into the sync folder (%.2f MB): median %.1f ms, worst %.1f ms\n",
           SizeOf(folder / "Tallivo" / (who.id + ".db")) / 1048576.0, ms[2], ms[4]);
    HistoryStore store;
    store.Open(Utf8(year), now);
    const LocalHour today = DayAt(366);
    const Timing quiet = SecondWrites(store, today);
    CopyWorker worker;
    int copies = 0;
    std::vector<double> during;
    for (int n = 0; n < kWrites; ++n) {
      if (n % 10 == 0 && worker.WaitIdle(0)) {
        worker.Request({Utf8(year), Utf8(dir / "work.db"), Utf8(folder), who});
        ++copies;
      }
      const Deltas d = BusySecond(today, n);
      const double t0 = Now();
      store.Write(d);
      during.push_back((Now() - t0) * 1000.0);
    }
    worker.WaitIdle(60000);
    std::sort(during.begin(), during.end());
    printf("   the window thread's second writes, %d copies running beside them: median %.3f ms, longest %.3f ms"
           " (without copies: median %.3f ms, longest %.3f ms)\n",
           copies, during[during.size() / 2], during.back(), quiet.medianMs, quiet.worstMs);
  }

  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
