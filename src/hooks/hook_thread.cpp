#include "hooks/hook_thread.h"

namespace hooks {

namespace {
// Start and stop may be called from any thread of the host; one lock per
// library keeps them from racing each other.
CRITICAL_SECTION g_lock;
INIT_ONCE g_lockOnce = INIT_ONCE_STATIC_INIT;

// Retry timer of the hook thread and the poster it serves (one per
// library, touched only there).
constexpr UINT kRetryMs = 50;
UINT_PTR g_retryTimer = 0;
MessagePoster* g_retrying = nullptr;

BOOL CALLBACK InitLock(PINIT_ONCE, PVOID, PVOID*) {
  InitializeCriticalSection(&g_lock);
  return TRUE;
}
}  // namespace

bool MessagePoster::PostNow(unsigned msg) {
  HWND target = m_target;
  return target && PostMessageA(target, msg, 0, 0);
}

void MessagePoster::Post(unsigned msg) {
  if (!m_target) return;
  // Keep the order of arrival: nothing new goes out ahead of what waits.
  if (m_backlog.Empty() && PostNow(msg)) return;
  m_backlog.Add(msg);
  g_retrying = this;
  if (!g_retryTimer) g_retryTimer = SetTimer(nullptr, 0, kRetryMs, nullptr);
}

bool MessagePoster::Retry() {
  if (!IsWindow(m_target)) {
    m_backlog = tallivo::PostBacklog(m_base);  // nobody left to count them
    return false;
  }
  return !m_backlog.Flush([this](unsigned msg) { return PostNow(msg); });
}

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&ThisModule), &module);
  return module;
}

CRITICAL_SECTION* HookThread::Lock() {
  InitOnceExecuteOnce(&g_lockOnce, InitLock, nullptr, nullptr);
  return &g_lock;
}

DWORD WINAPI HookThread::ThreadMain(LPVOID param) {
  auto* self = static_cast<HookThread*>(param);
  MSG msg;
  // Make sure the thread has a queue before anyone posts WM_QUIT to it.
  PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, self->m_mouseProc, ThisModule(), 0);
  HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, self->m_keyboardProc, ThisModule(), 0);
  self->m_installed = mouse != nullptr && keyboard != nullptr;
  SetEvent(self->m_ready);
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == g_retryTimer && g_retrying) {
      if (!g_retrying->Retry()) {
        KillTimer(nullptr, g_retryTimer);
        g_retryTimer = 0;
      }
      continue;
    }
    DispatchMessageA(&msg);
  }
  if (g_retryTimer) {
    KillTimer(nullptr, g_retryTimer);
    g_retryTimer = 0;
  }
  if (mouse) UnhookWindowsHookEx(mouse);
  if (keyboard) UnhookWindowsHookEx(keyboard);
  return 0;
}

bool HookThread::Start(HOOKPROC mouseProc, HOOKPROC keyboardProc) {
  CRITICAL_SECTION* lock = Lock();
  EnterCriticalSection(lock);
  bool ok = true;
  if (!m_thread) {
    m_mouseProc = mouseProc;
    m_keyboardProc = keyboardProc;
    m_installed = false;
    m_ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(nullptr, 0, ThreadMain, this, 0, &m_threadId);
    if (m_thread) {
      // The hook procedures must be in place before Start returns, so that
      // an event right after start is already counted.
      HANDLE both[2] = {m_ready, m_thread};
      WaitForMultipleObjects(2, both, FALSE, 5000);
      ok = m_installed;
      // Low-level hooks are called on the installing thread; give it the
      // priority input deserves.
      SetThreadPriority(m_thread, THREAD_PRIORITY_TIME_CRITICAL);
    } else {
      ok = false;
    }
    CloseHandle(m_ready);
    m_ready = nullptr;
  }
  LeaveCriticalSection(lock);
  return ok;
}

void HookThread::Stop() {
  CRITICAL_SECTION* lock = Lock();
  EnterCriticalSection(lock);
  if (m_thread) {
    PostThreadMessageA(m_threadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(m_thread, 5000) == WAIT_TIMEOUT) {
      // The thread could not take the message; the hooks die with it.
      TerminateThread(m_thread, 1);
    }
    CloseHandle(m_thread);
    m_thread = nullptr;
    m_threadId = 0;
  }
  LeaveCriticalSection(lock);
}

}  // namespace hooks
