// Figures for the whole program under its real load, each against a floor
// measured in the same run: input cost, exactness of long bursts, idle CPU,
// memory and start-up. Prints figures; asserts nothing.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tests/e2e/harness.h"
#include "main/messages.h"
#include "res/resource.h"

using namespace e2e;

namespace {

using StopFn = void(__cdecl*)();
using StartFn = void(__cdecl*)(HWND);

double Now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(freq.QuadPart);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The window the hook posts to lives on a thread of its own that drains its
// queue, as the program's main window does.
HWND g_target = nullptr;
DWORD WINAPI TargetThread(LPVOID) {
  g_target = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

// Microseconds per input event for SendInput of clicks, with a hook library
// started (or none).
double CostPerEvent(const char* library, int events) {
  HMODULE lib = library ? LoadLibraryA((BinDir() + "\\" + library).c_str()) : nullptr;
  if (!g_target) {
    CreateThread(nullptr, 0, TargetThread, nullptr, 0, nullptr);
    while (!g_target) Sleep(1);
  }
  HWND target = g_target;
  if (lib) {
    reinterpret_cast<StartFn>(reinterpret_cast<void*>(GetProcAddress(lib, MAKEINTRESOURCEA(2))))(target);
  }
  std::vector<INPUT> in;
  for (int i = 0; i < events; ++i) {
    in.push_back(MouseInput(MOUSEEVENTF_LEFTDOWN));
    in.push_back(MouseInput(MOUSEEVENTF_LEFTUP));
  }
  const double t0 = Now();
  SendInputs(in);
  const double t1 = Now();
  if (lib) {
    reinterpret_cast<StopFn>(reinterpret_cast<void*>(GetProcAddress(lib, MAKEINTRESOURCEA(1))))();
    FreeLibrary(lib);
  }
  return (t1 - t0) * 1e6 / (2.0 * events);
}

struct Proc {
  HANDLE process = nullptr;
  DWORD pid = 0;
  HWND window = nullptr;
  double startSeconds = 0;
};

struct FindArg {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lp) {
  auto* a = reinterpret_cast<FindArg*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == a->pid && IsWindowVisible(hwnd) && GetWindowTextLengthA(hwnd) > 0) {
    a->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

Proc Launch(const std::string& exe) {
  Proc p;
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  std::string cmd = "\"" + BinDir() + "\\" + exe + "\"";
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back(0);
  const double t0 = Now();
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(), &si, &pi)) {
    return p;
  }
  CloseHandle(pi.hThread);
  p.process = pi.hProcess;
  p.pid = pi.dwProcessId;
  while (Now() - t0 < 30) {
    FindArg a = {p.pid, nullptr};
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&a));
    if (a.found) {
      p.window = a.found;
      break;
    }
    Sleep(1);
  }
  p.startSeconds = Now() - t0;
  return p;
}

void Kill(Proc& p) {
  if (!p.process) return;
  TerminateProcess(p.process, 0);
  WaitForSingleObject(p.process, 5000);
  CloseHandle(p.process);
  p.process = nullptr;
}

double CpuSeconds(HANDLE process) {
  FILETIME c, e, k, u;
  GetProcessTimes(process, &c, &e, &k, &u);
  auto secs = [](FILETIME f) {
    return (static_cast<double>(f.dwHighDateTime) * 4294967296.0 + f.dwLowDateTime) / 1e7;
  };
  return secs(k) + secs(u);
}

double CpuOver(HANDLE process, int seconds) {
  const double c0 = CpuSeconds(process);
  Pump(static_cast<DWORD>(seconds) * 1000);
  return CpuSeconds(process) - c0;
}

double PeakMiB(HANDLE process) {
  PROCESS_MEMORY_COUNTERS pmc = {sizeof pmc};
  GetProcessMemoryInfo(process, &pmc, sizeof pmc);
  return pmc.PeakWorkingSetSize / 1048576.0;
}

unsigned LeftClicks(HWND main) {
  std::string t = WindowText(GetDlgItem(main, IDC_LEFT_CLICKS));
  size_t d = t.find_first_of("0123456789");
  return d == std::string::npos ? 0 : static_cast<unsigned>(strtoul(t.c_str() + d, nullptr, 10));
}

void Ratio(const char* what, double value, double floor, const char* unit, const char* target) {
  printf("%-44s %10.3f %-4s floor %10.3f %-4s ratio %6.2f  (target %s)\n", what, value, unit, floor, unit,
         floor > 0 ? value / floor : 0.0, target);
}

}  // namespace

int main() {
  setvbuf(stdout, nullptr, _IONBF, 0);
  const int idleSeconds = getenv("BENCH_SECONDS") ? atoi(getenv("BENCH_SECONDS")) : 60;
  InputSink sink(RECT{560, 420, 1000, 740});
  POINT c = sink.Center();
  MoveCursor(c.x, c.y);

  // 1. Input cost.
  std::vector<double> ours, empty, none;
  for (int round = 0; round < 5; ++round) {
    none.push_back(CostPerEvent(nullptr, 1000));
    empty.push_back(CostPerEvent("EmptyHook.dll", 1000));
    ours.push_back(CostPerEvent("TallivoHook.dll", 1000));
  }
  printf("1. Input cost per event (SendInput of clicks, median of 5 x 2000 events)\n");
  Ratio("   TallivoHook.dll vs empty low-level hook", Median(ours), Median(empty), "us", "<= 1.2");
  printf("   (no hook at all: %.3f us)\n", Median(none));

  // 2. Exactness of bursts through the real program.
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tallivo");
  Proc app = Launch("Tallivo.exe");
  const double startApp = app.startSeconds;
  Pump(1000);
  const double memStart = PeakMiB(app.process);
  printf("2. Exactness: bursts of clicks in one SendInput call\n");
  unsigned expected = LeftClicks(app.window);
  for (int burst : {1000, 5000, 20000}) {
    sink.Activate();
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, burst);
    expected += burst;
    WaitUntil([&] { return LeftClicks(app.window) >= expected; }, 60000);
    Pump(500);
    const unsigned counted = LeftClicks(app.window) - (expected - burst);
    printf("   burst %6d: counted %6u (%s)\n", burst, counted, counted == static_cast<unsigned>(burst) ? "all" : "LOST");
  }

  // 3. Idle cost, and 4. memory.
  Proc floor = Launch("empty_dialog.exe");
  const double startFloor = floor.startSeconds;
  Pump(1000);
  const double memFloor = PeakMiB(floor.process);
  PostMessageA(app.window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  PostMessageA(floor.window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump(1000);
  printf("3. Idle CPU over %d s (process CPU time)\n", idleSeconds);
  const double hiddenApp = CpuOver(app.process, idleSeconds);
  const double hiddenFloor = CpuOver(floor.process, idleSeconds);
  Ratio("   hidden in the tray vs empty dialog", hiddenApp * 1000, hiddenFloor * 1000, "ms", "<= 1.5");
  PostMessageA(app.window, tallivo::WM_TRAY_NOTIFY, 128, WM_LBUTTONDBLCLK);
  ShowWindow(floor.window, SW_SHOWNORMAL);
  Pump(1000);
  const double shownApp = CpuOver(app.process, idleSeconds);
  const double shownFloor = CpuOver(floor.process, idleSeconds);
  Ratio("   shown (hour page visible) vs empty dialog", shownApp * 1000, shownFloor * 1000, "ms", "report");
  printf("   shown: %.2f%% of one core\n", 100.0 * shownApp / idleSeconds);
  printf("4. Peak working set\n");
  Ratio("   after start vs empty dialog", memStart, memFloor, "MiB", "<= 2");
  Ratio("   after the bursts and idle runs", PeakMiB(app.process), PeakMiB(floor.process), "MiB", "<= 2");
  printf("5. Start-up to visible main window\n");
  Ratio("   Tallivo vs empty dialog", startApp * 1000, startFloor * 1000, "ms", "report");
  Kill(app);
  Kill(floor);
  return 0;
}
