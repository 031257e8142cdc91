// The history window's cost: opening it and going through every page and
// range button over a simulated year, each step against the same step over
// an empty history; and the program's memory with the window open against
// the empty dialog's. Figures, not pass/fail (scripts/bench, part "w").
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "harness.h"
#include "history_harness.h"
#include "history/sync_folder.h"
#include "res/resource.h"

using namespace e2e;

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

HWND HistoryWindowOf(const App& app) {
  for (HWND w : TopLevelWindowsOf(app.Pid())) {
    if (WindowText(w) == "历史记录" && IsWindowVisible(w)) return w;
  }
  return nullptr;
}

double WorkingSetMiB(HANDLE process, bool peak) {
  PROCESS_MEMORY_COUNTERS pmc = {sizeof pmc};
  GetProcessMemoryInfo(process, &pmc, sizeof pmc);
  return (peak ? pmc.PeakWorkingSetSize : pmc.WorkingSetSize) / 1048576.0;
}

struct Step {
  std::string name;
  double seconds = 0;
};

// The window's steps, each the median of five rounds: the message handled
// and everything it invalidated painted.
std::vector<Step> RunSteps(App& app, double* memory) {
  std::vector<Step> steps;
  std::vector<double> open;
  HWND w = nullptr;
  for (int round = 0; round < 5; ++round) {
    if (w) {
      SendMessageA(w, WM_CLOSE, 0, 0);
      WaitUntil([&] { return !IsWindow(w); });
    }
    const double t0 = Now();
    app.Command(ID_HISTORY);
    WaitUntil([&] { return (w = HistoryWindowOf(app)) != nullptr; }, 20000);
    RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    open.push_back(Now() - t0);
  }
  steps.push_back({"open the window", Median(open)});
  auto timed = [&](const std::string& name, auto action) {
    std::vector<double> t;
    for (int round = 0; round < 5; ++round) {
      const double t0 = Now();
      action();
      RedrawWindow(w, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      t.push_back(Now() - t0);
    }
    steps.push_back({name, Median(t)});
  };
  HWND tab = GetDlgItem(w, IDC_HIST_TAB);
  static const char* const kTabs[] = {"每日", "时段", "按键", "程序"};
  for (int page : {1, 2, 3, 0}) {
    timed(std::string("range change, page ") + kTabs[page], [&] {
      // Away and back: the page's data is read each time it is shown
      // after a range change, so the step is the change and the read.
      SendMessageA(GetDlgItem(w, IDC_HIST_TODAY), BM_CLICK, 0, 0);
      SendMessageA(GetDlgItem(w, IDC_HIST_YEAR), BM_CLICK, 0, 0);
      SendMessageA(tab, TCM_SETCURFOCUS, page, 0);
    });
  }
  static const struct {
    int id;
    const char* name;
  } kButtons[] = {{IDC_HIST_TODAY, "今天"},
                  {IDC_HIST_7DAYS, "最近7天"},
                  {IDC_HIST_30DAYS, "最近30天"},
                  {IDC_HIST_YEAR, "最近一年"},
                  {IDC_HIST_ALL, "全部"}};
  for (int page = 0; page < 4; ++page) {
    SendMessageA(tab, TCM_SETCURFOCUS, page, 0);
    for (const auto& b : kButtons) {
      timed(std::string(kTabs[page]) + " " + b.name, [&] { SendMessageA(GetDlgItem(w, b.id), BM_CLICK, 0, 0); });
    }
  }
  SendMessageA(tab, TCM_SETCURFOCUS, 0, 0);
  *memory = WorkingSetMiB(app.Process(), true);
  return steps;
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  MoveCursor(20, 20);
  printf("w. The history window over a simulated year vs an empty history (median of 5 rounds a step)\n");
  std::vector<Step> empty, year;
  double memEmpty = 0, memYear = 0;
  {
    ResetProfile();
    ClearHistory();
    App app;
    if (!app.Start()) return 1;
    empty = RunSteps(app, &memEmpty);
    app.Kill();
  }
  {
    ResetProfile();
    if (!WriteKnownYear()) return 1;
    App app;
    if (!app.Start()) return 1;
    year = RunSteps(app, &memYear);
    app.Kill();
  }
  // Eight computers: this one's year and seven others' copies of it in the
  // sync folder, all of them shown ("全部电脑", the list's default).
  std::vector<Step> eight;
  double memEight = 0;
  const std::string folder = HistoryFolder() + "-bench-sync";
  {
    ResetProfile();
    if (!WriteKnownYear()) return 1;
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int c = 1; c < 8; ++c) {
      const tallivo::history::CopyIdentity who{std::string(32, static_cast<char>('0' + c)), "PC " + std::to_string(c),
                                               "2026-12-08T00:00:00Z"};
      const tallivo::history::StoreResult r =
          tallivo::history::WriteCopy(HistoryFile(), HistoryFolder() + "\\work.db", folder, who);
      if (!r.Ok()) printf("   copy %d failed: %s\n", c, r.detail.c_str());
    }
    const std::wstring f = Wide(folder);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Tallivo\\Tallivo\\Sync", L"Folder", REG_SZ, f.c_str(),
                    static_cast<DWORD>((f.size() + 1) * sizeof(wchar_t)));
    App app;
    if (!app.Start()) return 1;
    eight = RunSteps(app, &memEight);
    app.Kill();
  }
  double worst = 0;
  for (size_t i = 0; i < year.size() && i < empty.size(); ++i) {
    const double ratio = empty[i].seconds > 0 ? year[i].seconds / empty[i].seconds : 0;
    worst = std::max(worst, ratio);
    printf("   %-24s %8.2f ms  empty %8.2f ms  ratio %5.2f  (target <= 2)\n", year[i].name.c_str(),
           year[i].seconds * 1e3, empty[i].seconds * 1e3, ratio);
  }
  printf("   worst step ratio %.2f\n", worst);
  printf("   8 computers x the year (this one and 7 copies in the sync folder) vs this computer's year alone\n");
  worst = 0;
  for (size_t i = 0; i < year.size() && i < eight.size(); ++i) {
    const double ratio = year[i].seconds > 0 ? eight[i].seconds / year[i].seconds : 0;
    worst = std::max(worst, ratio);
    printf("   %-24s %8.2f ms  one computer %8.2f ms  ratio %5.2f  (target <= 2)\n", eight[i].name.c_str(),
           eight[i].seconds * 1e3, year[i].seconds * 1e3, ratio);
  }
  printf("   worst step ratio %.2f; peak working set %.1f MiB (one computer %.1f MiB)\n", worst, memEight, memYear);
  for (int c = 1; c < 8; ++c) DeleteFileA(tallivo::history::CopyPath(folder, std::string(32, static_cast<char>('0' + c))).c_str());
  RemoveDirectoryA((folder + "\\Tallivo").c_str());
  RemoveDirectoryA(folder.c_str());

  // The floor of memory: a plain dialog of the main window's size.
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  std::string cmd = "\"" + BinDir() + "\\empty_dialog.exe\"";
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back(0);
  double memFloor = 0;
  if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(), &si, &pi)) {
    WaitUntil(
        [&] {
          for (HWND h : TopLevelWindowsOf(pi.dwProcessId)) {
            if (IsWindowVisible(h)) return true;
          }
          return false;
        },
        20000);
    Pump(500);
    memFloor = WorkingSetMiB(pi.hProcess, true);
    TerminateProcess(pi.hProcess, 0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  printf(
      "   peak working set, window open over the year %.1f MiB (empty history %.1f MiB), empty dialog %.1f MiB:"
      " ratio %.2f (target <= 2)\n",
      memYear, memEmpty, memFloor, memFloor > 0 ? memYear / memFloor : 0.0);
  ClearHistory();
  return 0;
}
