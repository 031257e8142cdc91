#include "tools/idle_shutdown_timer.h"

#include "base/text_format.h"
#include "res/resource.h"
#include "tools/idle_shutdown.h"
#include "ui/dialog.h"

namespace tools {

namespace {
constexpr UINT kCheckMs = 1000;
}  // namespace

void IdleShutdownTimer::SwitchOn(HWND mainWindow, uint32_t minutes) {
  m_minutes = minutes;
  if (tallivo::IdleLimitAccepted(minutes)) {
    ui::PromptBox(mainWindow, tallivo::IdleOnMessage(minutes), MB_OK);
    SetDlgItemTextW(mainWindow, IDC_IDLE_STATE, tallivo::Wide(tallivo::IdleOnLabel(minutes)).c_str());
  }
  SetTimer(mainWindow, m_timerId, kCheckMs, nullptr);
}

void IdleShutdownTimer::SwitchOff(HWND mainWindow) {
  KillTimer(mainWindow, m_timerId);
  ui::PromptBox(mainWindow, tallivo::kIdleOffMessage, MB_OK);
  SetDlgItemTextW(mainWindow, IDC_IDLE_STATE, tallivo::Wide(tallivo::kIdleOffLabel).c_str());
}

void IdleShutdownTimer::Check() const {
  LASTINPUTINFO last = {};
  last.cbSize = sizeof last;
  // Without the last-input time nothing is known about idleness: a failed
  // read must never shut the computer down.
  if (!GetLastInputInfo(&last)) return;
  if (tallivo::IdleShutdownDue(m_minutes, GetTickCount(), last.dwTime)) RequestShutdown();
}

void RequestShutdown() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &tp.Privileges[0].Luid)) {
      AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    }
    CloseHandle(token);
  }
  // Not checked: a refused request is asked again on the next tick.
  ExitWindowsEx(EWX_SHUTDOWN, 0);
}

}  // namespace tools
