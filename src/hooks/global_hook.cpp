// TallivoHook.dll: counts input of all processes and posts one private
// message per click, wheel step and key stroke to the main window (a key
// stroke's with its virtual-key code in wParam).
#include <windows.h>

#include <atomic>

#include "base/messages.h"
#include "hooks/hook_api.h"
#include "hooks/hook_thread.h"
#include "hooks/input_filter.h"

namespace {

hooks::HookThread g_thread;
// Touched only on the hook thread.
tallivo::WheelAccumulator g_wheel;
tallivo::KeyRepeatFilter g_keys;

// Its target is written by start/stop, read on the hook thread.
hooks::MessagePoster g_poster(tallivo::kGlobalInputFirst);

// Every report either hook sees, pointer moves included: the main window
// compares it with the system's last-input time to learn whether the hooks
// are still called. Written only on the hook thread.
std::atomic<DWORD> g_reportsSeen{0};

// Set by the main window when it stops sampling the cursor; the next move
// takes it and says so with one message, however many moves follow.
std::atomic<bool> g_watchPointer{false};
// Pointer moves seen (wraps). Counted before the flag is looked at, so a
// move the window did not count when it set the flag finds it set.
std::atomic<DWORD> g_pointerMoves{0};

// The distance samples, taken from the moves' own reports on the hook
// thread and handed to the window when it asks (ordinal 7).
SRWLOCK g_samplerLock = SRWLOCK_INIT;
tallivo::PointerSampler g_sampler;

void Post(unsigned msg, unsigned code = 0) { g_poster.Post(msg, code); }

void ReportSeen() { g_reportsSeen.store(g_reportsSeen.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }

LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
  ReportSeen();
  if (code == HC_ACTION) {
    switch (wp) {
      case WM_LBUTTONDOWN: Post(tallivo::WM_INPUT_LBUTTON); break;
      case WM_RBUTTONDOWN: Post(tallivo::WM_INPUT_RBUTTON); break;
      case WM_MBUTTONDOWN: Post(tallivo::WM_INPUT_MBUTTON); break;
      case WM_MOUSEMOVE: {
        const auto* report = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
        AcquireSRWLockExclusive(&g_samplerLock);
        // The clock of the take, not the report's own time: reports of the
        // X server and of SendInput carry times of two clocks, and a
        // report that seems older than the one before would hide it.
        g_sampler.Report(report->pt.x, report->pt.y, GetTickCount());
        ReleaseSRWLockExclusive(&g_samplerLock);
        g_pointerMoves.fetch_add(1);
        if (g_watchPointer.exchange(false) && !g_poster.PostNotice(tallivo::WM_INPUT_MOVING)) {
          g_watchPointer.store(true);  // a full queue: the next move tries again
        }
        break;
      }
      case WM_MOUSEWHEEL:
        for (unsigned n = g_wheel.Add(hooks::WheelDelta(lp)); n > 0; --n) Post(tallivo::WM_INPUT_WHEEL);
        break;
      default: break;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
  ReportSeen();
  if (code == HC_ACTION && hooks::NewKeyStroke(g_keys, wp, lp)) Post(tallivo::WM_INPUT_KEY, hooks::KeyCode(lp));
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

// Ordinal 1: stop global counting. Harmless when not started or repeated.
extern "C" void __cdecl TallivoStopHook() {
  g_thread.Stop();
  g_poster.SetTarget(nullptr);
}

// Ordinal 2: start global counting, posting to the given window.
extern "C" void __cdecl TallivoStartHook(HWND target) {
  g_poster.SetTarget(target);
  g_thread.Start(MouseProc, KeyboardProc);
}

// Ordinal 3: 1 while both hooks are in place since the last start, else 0.
extern "C" int __cdecl TallivoHookInstalled() { return g_thread.Installed() ? 1 : 0; }

// Ordinal 4: how many input reports the hooks have seen so far (wraps).
extern "C" DWORD __cdecl TallivoHookReportsSeen() { return g_reportsSeen.load(std::memory_order_relaxed); }

// Ordinal 5: post WM_INPUT_MOVING once, at the next pointer move. Returns
// how many moves the hook has seen so far; ordinal 6 reads that alone.
extern "C" DWORD __cdecl TallivoWatchPointer() {
  g_watchPointer.store(true);
  return g_pointerMoves.load();
}
extern "C" DWORD __cdecl TallivoPointerMoves() { return g_pointerMoves.load(); }

// Ordinal 7: the pointer's distance samples up to now, oldest first, at
// most capacity of them; returns how many were written.
extern "C" DWORD __cdecl TallivoTakeSamples(TallivoSample* out, DWORD capacity) {
  static_assert(sizeof(TallivoSample) == sizeof(tallivo::PointerSampler::Sample));
  if (!out) return 0;
  AcquireSRWLockExclusive(&g_samplerLock);
  const unsigned n = g_sampler.Take(GetTickCount(), reinterpret_cast<tallivo::PointerSampler::Sample*>(out), capacity);
  ReleaseSRWLockExclusive(&g_samplerLock);
  return n;
}

// Ordinal 100, for the end-to-end test of the main window's watchdog only:
// removes the hooks behind the hook thread's back, as Windows does with a
// hook it finds too slow. Only code already running inside the host process
// can call it.
extern "C" void __cdecl TallivoDropHooks() { g_thread.DropHooksSilently(); }
