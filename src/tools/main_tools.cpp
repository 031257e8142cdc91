// The system tools as the main window runs them: menu commands, the tool
// dialogs' private messages, the hotkey, the idle timer and the start-up
// steps for the hotkey and autostart.
#include <ctime>

#include "app/registry_profile_store.h"
#include "main/main_dlg.h"
#include "main/messages.h"
#include "res/resource.h"
#include "stats/report.h"
#include "tools/autostart_rules.h"
#include "tools/hotkey_rules.h"
#include "tools/idle_shutdown.h"
#include "tools/system_ops.h"
#include "tools/tool_dialogs.h"

using namespace tallivo;

namespace {
constexpr char kSwapped[] = "鼠标左右键成功切换";
constexpr char kRestored[] = "鼠标左右键恢复原来";
// "设置(&S)" in the menu bar.
constexpr int kSettingsMenu = 1;

template <class Dialog>
void RunModal() {
  Dialog dlg;
  dlg.DoModal();
}
}  // namespace

bool CMainStatsDlg::OnToolCommand(WORD id) {
  switch (id) {
    case ID_IDLE_SHUTDOWN: RunModal<CIdleShutdownDlg>(); return true;
    case ID_SET_HOTKEY: RunModal<CHotkeyDlg>(); return true;
    case ID_HELP_INFO: RunModal<CAboutDlg>(); return true;
    case ID_CONTACT: RunModal<CContactDlg>(); return true;
    case ID_AUTOSTART: OnToggleAutoStart(); return true;
    case ID_SWAP_BUTTONS: OnSwapButtons(); return true;
    case ID_SAVE_REPORT: OnSaveReport(); return true;
    default: return false;
  }
}

bool CMainStatsDlg::OnToolMessage(UINT msg, WPARAM wp, LPARAM, INT_PTR* result) {
  *result = 0;
  switch (msg) {
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) != IDM_ABOUT) return false;
      RunModal<CAboutDlg>();
      return true;
    case WM_HOTKEY:
      OnHotkey();
      return true;
    case WM_SET_HOTKEY:
      *result = RegisterHotkey(static_cast<int>(wp)) ? 1 : 0;
      return true;
    case WM_IDLE_SHUTDOWN_ON:
      OnIdleShutdownOn(static_cast<uint32_t>(wp));
      return true;
    case WM_IDLE_SHUTDOWN_OFF:
      OnIdleShutdownOff();
      return true;
    default:
      return false;
  }
}

// ------------------------------------------------------------ idle shutdown

void CMainStatsDlg::OnIdleShutdownOn(uint32_t minutes) {
  m_idleMinutes = minutes;
  if (IdleLimitAccepted(minutes)) {
    MessageBoxA(Hwnd(), IdleOnMessage(minutes).c_str(), ui::kPromptCaption, MB_OK);
    SetItemText(IDC_IDLE_STATE, IdleOnLabel(minutes).c_str());
  }
  SetTimer(Hwnd(), TIMER_IDLE, kSecondMs, nullptr);
}

void CMainStatsDlg::OnIdleShutdownOff() {
  KillTimer(Hwnd(), TIMER_IDLE);
  MessageBoxA(Hwnd(), kIdleOffMessage, ui::kPromptCaption, MB_OK);
  SetItemText(IDC_IDLE_STATE, kIdleOffLabel);
}

void CMainStatsDlg::CheckIdle() {
  LASTINPUTINFO last = {};
  last.cbSize = sizeof last;
  // Without the last-input time nothing is known about idleness: a failed
  // read must never shut the computer down.
  if (!GetLastInputInfo(&last)) return;
  if (IdleShutdownDue(m_idleMinutes, GetTickCount(), last.dwTime)) tools::RequestShutdown();
}

// ------------------------------------------------------------------ hotkey

bool CMainStatsDlg::RegisterHotkey(int storedKey) {
  // One combination at a time: the one chosen before goes, whatever
  // becomes of the new one.
  if (m_hotkeyKey != 0) {
    UnregisterHotKey(Hwnd(), kHotkeyId);
    m_hotkeyKey = 0;
  }
  const unsigned vk = HotkeyVirtualKey(storedKey);
  if (vk == 0) return true;  // no key chosen: nothing to register, nothing failed
  if (!RegisterHotKey(Hwnd(), kHotkeyId, kHotkeyModifiers, vk)) return false;
  m_hotkeyKey = vk;
  return true;
}

void CMainStatsDlg::RegisterStoredHotkey() {
  RegisterHotkey(static_cast<int>(Profile().ReadInt("QuickKey", "quickkey", 0)));
}

void CMainStatsDlg::OnHotkey() {
  if (IsWindowVisible(Hwnd())) {
    // The minimise path takes it to the tray, as the minimise button does.
    PostMessageA(Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else {
    ShowWindow(Hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(Hwnd());
  }
}

// ---------------------------------------------------------------- autostart

void CMainStatsDlg::SetAutoStartCheck(bool on) {
  CheckMenuItem(GetSubMenu(GetMenu(Hwnd()), kSettingsMenu), ID_AUTOSTART,
                MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

void CMainStatsDlg::OnToggleAutoStart() {
  const AutoStartOutcome outcome = m_autoStartOn ? tools::UnregisterAutoStart() : tools::RegisterAutoStart();
  // The item shows what Windows will do at the next logon.
  SetAutoStartCheck(outcome.on);
  if (outcome.message) ui::AppMessageBox(outcome.message, MB_OK);
  m_autoStartOn = outcome.on ? 1 : 0;
  tools::WriteAutoStartMarker(MarkerText(outcome.on));
}

void CMainStatsDlg::RestoreAutoStart() {
  std::string content;
  if (!tools::ReadAutoStartMarker(&content)) {
    m_autoStartOn = 0;
    return;
  }
  if (!MarkerSaysOn(content)) {
    m_autoStartOn = 0;
    return;
  }
  // Written again at every start, so a moved program starts from its new place.
  const AutoStartOutcome outcome = tools::RegisterAutoStart();
  if (outcome.message) ui::AppMessageBox(outcome.message, MB_OK);
  SetAutoStartCheck(outcome.on);
  m_autoStartOn = outcome.on ? 1 : 0;
}

// ------------------------------------------------------------- button swap

void CMainStatsDlg::OnSwapButtons() {
  if (m_swapNext) {
    SwapMouseButton(TRUE);
    m_swapNext = 0;
    MessageBoxA(Hwnd(), kSwapped, ui::kPromptCaption, MB_OK);
  } else {
    SwapMouseButton(FALSE);
    m_swapNext = 1;
    MessageBoxA(Hwnd(), kRestored, ui::kPromptCaption, MB_OK);
  }
}

// ------------------------------------------------------------------ report

void CMainStatsDlg::OnSaveReport() {
  // The figures of the moment the command was chosen.
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::tm local = {};
  local.tm_year = now.wYear - 1900;
  local.tm_mon = now.wMonth - 1;
  local.tm_mday = now.wDay;
  local.tm_hour = now.wHour;
  local.tm_min = now.wMinute;
  local.tm_sec = now.wSecond;
  const std::string timeLine = ReportTimeLine(local);
  ReportFigures figures;
  figures.left = m_counters.left;
  figures.right = m_counters.right;
  figures.middle = m_counters.middle;
  figures.wheel = m_counters.wheel;
  figures.metres = m_distance.Metres();
  figures.totalClicks = m_totalClicks;
  figures.keys = m_counters.keys;
  const std::vector<std::string> lines = ReportFigureLines(figures);

  const std::string path = tools::AskReportPath(Hwnd());
  if (path.empty()) return;
  // The run time as of the last second before the dialog closed.
  tools::WriteReportFile(path, ReportText(timeLine, m_runText, lines));
}
