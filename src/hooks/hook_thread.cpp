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

bool MessagePoster::PostNow(unsigned msg, unsigned code) {
  HWND target = m_target.load();
  return target && PostMessageW(target, msg, code, 0);
}

void MessagePoster::Post(unsigned msg, unsigned code) {
  if (!HasTarget()) return;
  // Keep the order of arrival: nothing new goes out ahead of what waits.
  if (m_backlog.Empty() && PostNow(msg, code)) return;
  m_backlog.Add(msg, code);
  g_retrying = this;
  if (!g_retryTimer) g_retryTimer = SetTimer(nullptr, 0, kRetryMs, nullptr);
}

bool MessagePoster::Retry() {
  if (!IsWindow(m_target.load())) {
    Forget();  // nobody left to count them
    return false;
  }
  return !m_backlog.Flush([this](unsigned msg, unsigned code) { return PostNow(msg, code); });
}

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
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
  PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  self->m_mouse.store(SetWindowsHookExW(WH_MOUSE_LL, self->m_mouseProc, ThisModule(), 0));
  self->m_keyboard.store(SetWindowsHookExW(WH_KEYBOARD_LL, self->m_keyboardProc, ThisModule(), 0));
  const bool installed = self->m_mouse.load() != nullptr && self->m_keyboard.load() != nullptr;
  self->m_installed.store(installed);
  if (installed) {
    SetEvent(self->m_ready);
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == WM_TIMER && msg.hwnd == nullptr && msg.wParam == g_retryTimer && g_retrying) {
        if (!g_retrying->Retry()) {
          KillTimer(nullptr, g_retryTimer);
          g_retryTimer = 0;
        }
        continue;
      }
      DispatchMessageW(&msg);
    }
    if (g_retryTimer) {
      KillTimer(nullptr, g_retryTimer);
      g_retryTimer = 0;
    }
  }
  // Only what is still ours: a hook dropped meanwhile is gone already.
  if (HHOOK mouse = self->m_mouse.exchange(nullptr)) UnhookWindowsHookEx(mouse);
  if (HHOOK keyboard = self->m_keyboard.exchange(nullptr)) UnhookWindowsHookEx(keyboard);
  if (!installed) SetEvent(self->m_ready);
  return installed ? 0 : 1;
}

void HookThread::ReleaseHandles() {
  CloseHandle(m_thread);
  m_thread = nullptr;
  m_threadId = 0;
  CloseHandle(m_ready);
  m_ready = nullptr;
  m_installed.store(false);
  // A thread that had to be terminated could not remove its hooks; the
  // system removes them with the thread.
  m_mouse.store(nullptr);
  m_keyboard.store(nullptr);
}

bool HookThread::Start(HOOKPROC mouseProc, HOOKPROC keyboardProc) {
  constexpr DWORD kWaitMs = 5000;
  CRITICAL_SECTION* lock = Lock();
  EnterCriticalSection(lock);
  if (!m_thread) {
    m_mouseProc = mouseProc;
    m_keyboardProc = keyboardProc;
    m_installed.store(false);
    m_ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = m_ready ? CreateThread(nullptr, 0, ThreadMain, this, 0, &m_threadId) : nullptr;
    if (m_thread) {
      // Low-level hooks are called on the installing thread; give it the
      // priority input deserves.
      SetThreadPriority(m_thread, THREAD_PRIORITY_TIME_CRITICAL);
      // The hook procedures must be in place before Start returns, so that
      // an event right after start is already counted.
      HANDLE both[2] = {m_ready, m_thread};
      const DWORD waited = WaitForMultipleObjects(2, both, FALSE, kWaitMs);
      // A thread that could not set the hooks ends by itself: forget it, so
      // that the next Start tries again. One that has not answered in time
      // keeps its handles (it may still signal the event) until Stop.
      if (waited != WAIT_TIMEOUT && !m_installed.load() && WaitForSingleObject(m_thread, kWaitMs) == WAIT_OBJECT_0) {
        ReleaseHandles();
      }
    } else {
      if (m_ready) CloseHandle(m_ready);
      m_ready = nullptr;
    }
  }
  const bool ok = m_installed.load();
  LeaveCriticalSection(lock);
  return ok;
}

void HookThread::Stop() {
  CRITICAL_SECTION* lock = Lock();
  EnterCriticalSection(lock);
  if (m_thread) {
    PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    if (WaitForSingleObject(m_thread, 5000) == WAIT_TIMEOUT) {
      // The thread could not take the message; the hooks die with it.
      TerminateThread(m_thread, 1);
      WaitForSingleObject(m_thread, 5000);
    }
    ReleaseHandles();
  }
  LeaveCriticalSection(lock);
}

void HookThread::DropHooksSilently() {
  if (HHOOK mouse = m_mouse.exchange(nullptr)) UnhookWindowsHookEx(mouse);
  if (HHOOK keyboard = m_keyboard.exchange(nullptr)) UnhookWindowsHookEx(keyboard);
}

}  // namespace hooks
