// Low-level mouse and keyboard hooks on a thread of their own, with its own
// message loop, so input never waits on the main window's painting and the
// system never drops the hooks for slowness.
#pragma once

#include <windows.h>

#include "hooks/input_filter.h"

namespace hooks {

class HookThread {
 public:
  // Starts the thread and installs both hooks; returns once they are in
  // place (or failed). A second Start while running does nothing.
  bool Start(HOOKPROC mouseProc, HOOKPROC keyboardProc);
  // On the hook thread: run onTimer every periodMs until it returns false.
  // Used to retry posts that a full queue refused.
  static void ArmRetry(bool (*onTimer)(), UINT periodMs);
  // Removes the hooks and joins the thread. Harmless when not running.
  void Stop();
  bool Running() const { return m_thread != nullptr; }

 private:
  static DWORD WINAPI ThreadMain(LPVOID param);

  CRITICAL_SECTION* Lock();
  HANDLE m_thread = nullptr;
  DWORD m_threadId = 0;
  HANDLE m_ready = nullptr;
  bool m_installed = false;
  HOOKPROC m_mouseProc = nullptr;
  HOOKPROC m_keyboardProc = nullptr;
};

// Posts one message per event to the target window. Events a full queue
// refuses are kept and posted again from a retry timer on the hook thread.
// Used on the hook thread only, except SetTarget.
class MessagePoster {
 public:
  explicit MessagePoster(unsigned baseMessage) : m_base(baseMessage), m_backlog(baseMessage) {}
  void SetTarget(HWND target) { m_target = target; }
  bool HasTarget() const { return m_target != nullptr; }
  // onRetry must call Retry() of this poster.
  void Post(unsigned msg, bool (*onRetry)());
  // Returns true while events are still waiting (keep the timer).
  bool Retry();

 private:
  bool PostNow(unsigned msg);
  unsigned m_base;
  volatile HWND m_target = nullptr;
  tallivo::PostBacklog m_backlog;
};

HMODULE ThisModule();

}  // namespace hooks
