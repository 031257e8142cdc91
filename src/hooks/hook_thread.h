// Low-level mouse and keyboard hooks on a thread of their own, with its own
// message loop, so input never waits on the main window's painting and the
// system never drops the hooks for slowness.
#pragma once

#include <windows.h>

#include <atomic>

#include "hooks/input_filter.h"

namespace hooks {

class HookThread {
 public:
  // Starts the thread and installs both hooks; returns once they are in
  // place (or failed). A second Start while running does nothing. After a
  // failure the next Start tries afresh.
  bool Start(HOOKPROC mouseProc, HOOKPROC keyboardProc);
  // Removes the hooks and joins the thread. Harmless when not running.
  void Stop();
  bool Running() const { return m_thread != nullptr; }
  // Both hooks were set and the thread has not been stopped since.
  bool Installed() const { return m_installed.load(); }
  // Removes the hooks the way Windows does when it drops them for
  // slowness: the thread is not told and goes on as if they were there.
  void DropHooksSilently();

 private:
  static DWORD WINAPI ThreadMain(LPVOID param);
  void ReleaseHandles();

  CRITICAL_SECTION* Lock();
  HANDLE m_thread = nullptr;
  DWORD m_threadId = 0;
  // Open as long as the thread may signal it, i.e. until it has ended.
  HANDLE m_ready = nullptr;
  std::atomic<bool> m_installed{false};
  // Set by the hook thread; whoever takes one out removes that hook.
  std::atomic<HHOOK> m_mouse{nullptr};
  std::atomic<HHOOK> m_keyboard{nullptr};
  HOOKPROC m_mouseProc = nullptr;
  HOOKPROC m_keyboardProc = nullptr;
};

// Posts one message per event to the target window, the event's code in
// wParam. Events a full queue refuses are kept and posted again from a
// retry timer on the hook thread (one poster per library). Used on the hook
// thread only, except SetTarget and Forget.
class MessagePoster {
 public:
  explicit MessagePoster(unsigned baseMessage) : m_base(baseMessage), m_backlog(baseMessage) {}
  void SetTarget(HWND target) { m_target.store(target); }
  bool HasTarget() const { return m_target.load() != nullptr; }
  void Post(unsigned msg, unsigned code = 0);
  // A message that is no counted event: posted at once or not at all.
  bool PostNotice(unsigned msg) { return PostNow(msg, 0); }
  // From the retry timer: returns true while events are still waiting
  // (keep the timer).
  bool Retry();
  // Drops what is waiting. Only while the hook thread is not running.
  void Forget() { m_backlog = tallivo::PostBacklog(m_base); }

 private:
  bool PostNow(unsigned msg, unsigned code);
  unsigned m_base;
  std::atomic<HWND> m_target{nullptr};
  tallivo::PostBacklog m_backlog;
};

HMODULE ThisModule();

// Keyboard hook: true for a key-down that starts a new stroke (not an
// auto-repeat); a key-up only clears the key's state.
inline bool NewKeyStroke(tallivo::KeyRepeatFilter& keys, WPARAM wp, LPARAM lp) {
  const auto* info = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp);
  if (wp == WM_KEYDOWN || wp == WM_SYSKEYDOWN) return keys.KeyDown(info->vkCode);
  if (wp == WM_KEYUP || wp == WM_SYSKEYUP) keys.KeyUp(info->vkCode);
  return false;
}

// Keyboard hook: the key's virtual-key code, what a stroke's message carries.
inline unsigned KeyCode(LPARAM lp) { return reinterpret_cast<const KBDLLHOOKSTRUCT*>(lp)->vkCode & 0xFF; }

// Mouse hook: the signed vertical wheel delta of a WM_MOUSEWHEEL report.
inline int WheelDelta(LPARAM lp) {
  return static_cast<short>(HIWORD(reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->mouseData));
}

}  // namespace hooks
