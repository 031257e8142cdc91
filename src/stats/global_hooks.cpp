#include "stats/global_hooks.h"

#include "stats/hook_library.h"
#include "ui/dialog.h"

namespace stats {

namespace {
constexpr char kHooksFailed[] =
    "无法安装键盘和鼠标钩子，Tallivo 现在统计不到键盘和鼠标的操作。\n"
    "程序会继续运行，并会不时重新尝试安装。";
}  // namespace

void GlobalHooks::Start(HWND window) {
  hooklib::StartGlobal(window);
  m_on = true;
}

void GlobalHooks::Stop() {
  m_on = false;
  hooklib::StopGlobal();
}

void GlobalHooks::Watch(HWND window) {
  if (!m_on) return;  // on the way out
  LASTINPUTINFO last = {};
  last.cbSize = sizeof last;
  // When it cannot be read, the last known value: no input is made up.
  if (GetLastInputInfo(&last)) m_lastInput = last.dwTime;
  if (m_watchdog.Check(GetTickCount(), hooklib::GlobalHooksInstalled(), hooklib::GlobalReportsSeen(), m_lastInput)) {
    hooklib::StopGlobal();
    hooklib::StartGlobal(window);
  }
  if (hooklib::GlobalHooksInstalled()) {
    m_failureShown = false;
  } else if (!m_failureShown) {
    // Once per failure, not every second; the timer goes on meanwhile.
    m_failureShown = true;
    ui::AppMessageBox(kHooksFailed, MB_OK | MB_ICONWARNING);
  }
}

}  // namespace stats
