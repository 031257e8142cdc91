// TallivoHook.dll: counts input of all processes. The clicks, wheel steps
// and key strokes wait here, each with its time and the foreground window,
// for the main window to take them at its ticks (ordinal 8); a word
// (WM_INPUT_MOVING) goes to it only when it asked for one, or when the
// foreground window changed.
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

// Set by the main window when its refresh rests; the next move or counted
// event takes it and says so with one message, however many follow.
std::atomic<bool> g_watchPointer{false};
// Pointer moves seen (wraps). Counted before the flag is looked at, so a
// move the window did not count when it set the flag finds it set.
std::atomic<DWORD> g_pointerMoves{0};

// The distance samples, taken from the moves' own reports on the hook
// thread and handed to the window when it asks (ordinal 7).
SRWLOCK g_samplerLock = SRWLOCK_INIT;
tallivo::PointerSampler g_sampler;

SRWLOCK g_eventsLock = SRWLOCK_INIT;
tallivo::EventQueue g_events;

void Notify() {
  if (!g_poster.PostNotice(tallivo::WM_INPUT_MOVING)) g_watchPointer.store(true);  // a full queue: the next tries again
}

void Count(unsigned kind, unsigned code = 0) {
  // The program is named by the window, from the foreground window of the
  // moment: a word at each change, so that it does while that still exists.
  const auto foreground = reinterpret_cast<uintptr_t>(GetForegroundWindow());
  AcquireSRWLockExclusive(&g_eventsLock);
  const bool switched = g_events.Add(GetTickCount(), kind, code, foreground);
  ReleaseSRWLockExclusive(&g_eventsLock);
  if (g_watchPointer.exchange(false) || switched) Notify();
}

void ReportSeen() { g_reportsSeen.store(g_reportsSeen.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed); }

LRESULT CALLBACK MouseProc(int code, WPARAM wp, LPARAM lp) {
  ReportSeen();
  if (code == HC_ACTION) {
    switch (wp) {
      case WM_LBUTTONDOWN: Count(tallivo::input_block::kLeft); break;
      case WM_RBUTTONDOWN: Count(tallivo::input_block::kRight); break;
      case WM_MBUTTONDOWN: Count(tallivo::input_block::kMiddle); break;
      case WM_MOUSEMOVE: {
        const auto* report = reinterpret_cast<const MSLLHOOKSTRUCT*>(lp);
        AcquireSRWLockExclusive(&g_samplerLock);
        // The clock of the take, not the report's own time: reports of the
        // X server and of SendInput carry times of two clocks, and a
        // report that seems older than the one before would hide it.
        g_sampler.Report(report->pt.x, report->pt.y, GetTickCount());
        ReleaseSRWLockExclusive(&g_samplerLock);
        g_pointerMoves.fetch_add(1);
        if (g_watchPointer.exchange(false)) Notify();
        break;
      }
      case WM_MOUSEWHEEL:
        for (unsigned n = g_wheel.Add(hooks::WheelDelta(lp)); n > 0; --n) Count(tallivo::input_block::kWheel);
        break;
      default: break;
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK KeyboardProc(int code, WPARAM wp, LPARAM lp) {
  ReportSeen();
  if (code == HC_ACTION && hooks::NewKeyStroke(g_keys, wp, lp)) Count(tallivo::input_block::kKey, hooks::KeyCode(lp));
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

// Ordinal 8: the counted events up to now, oldest first, at most capacity
// of them; returns how many were written.
extern "C" DWORD __cdecl TallivoTakeEvents(TallivoEvent* out, DWORD capacity) {
  static_assert(sizeof(TallivoEvent) == sizeof(tallivo::EventQueue::Event));
  if (!out) return 0;
  AcquireSRWLockExclusive(&g_eventsLock);
  const unsigned n = g_events.Take(reinterpret_cast<tallivo::EventQueue::Event*>(out), capacity);
  ReleaseSRWLockExclusive(&g_eventsLock);
  return n;
}

// Ordinal 100, for the end-to-end test of the main window's watchdog only:
// removes the hooks behind the hook thread's back, as Windows does with a
// hook it finds too slow. Only code already running inside the host process
// can call it.
extern "C" void __cdecl TallivoDropHooks() { g_thread.DropHooksSilently(); }
