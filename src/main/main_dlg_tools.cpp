// The system tools as the main window runs them: menu commands, the tool
// dialogs' private messages and the hotkey. Each member hands the work to
// the tool's own object in src/tools/ (or src/stats/ for the report).
#include "base/messages.h"
#include "main/main_dlg.h"
#include "res/resource.h"
#include "stats/report_file.h"
#include "tools/tool_dialogs.h"

using namespace tallivo;

namespace {
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
    case WM_HOTKEY: OnHotkey(); return true;
    case WM_SET_HOTKEY: *result = RegisterHotkey(static_cast<int>(wp)) ? 1 : 0; return true;
    case WM_IDLE_SHUTDOWN_ON: OnIdleShutdownOn(static_cast<uint32_t>(wp)); return true;
    case WM_IDLE_SHUTDOWN_OFF: OnIdleShutdownOff(); return true;
    default: return false;
  }
}

void CMainStatsDlg::OnIdleShutdownOn(uint32_t minutes) { m_idleShutdown.SwitchOn(Hwnd(), minutes); }
void CMainStatsDlg::OnIdleShutdownOff() { m_idleShutdown.SwitchOff(Hwnd()); }
void CMainStatsDlg::CheckIdle() { m_idleShutdown.Check(); }

bool CMainStatsDlg::RegisterHotkey(int storedKey) { return m_hotkey.Register(Hwnd(), storedKey); }
void CMainStatsDlg::RegisterStoredHotkey() { m_hotkey.RegisterStored(Hwnd()); }
void CMainStatsDlg::OnHotkey() { tools::ShowHideHotkey::Toggle(Hwnd()); }

void CMainStatsDlg::OnToggleAutoStart() { m_autoStart.Toggle(Hwnd()); }
void CMainStatsDlg::RestoreAutoStart() { m_autoStart.Restore(Hwnd()); }

void CMainStatsDlg::OnSwapButtons() { m_buttonSwap.Toggle(Hwnd()); }

void CMainStatsDlg::OnSaveReport() {
  // The figures of the moment the command was chosen.
  ReportFigures figures;
  figures.left = m_counters.left;
  figures.right = m_counters.right;
  figures.middle = m_counters.middle;
  figures.wheel = m_counters.wheel;
  figures.metres = m_distance.Metres();
  figures.totalClicks = m_totalClicks;
  figures.keys = m_counters.keys;
  stats::SaveReport(Hwnd(), figures, m_runText);
}
