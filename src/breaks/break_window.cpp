#include "breaks/break_window.h"

#include <algorithm>

#include "res/resource.h"
#include "ui/data_exchange.h"

namespace tallivo::breaks {

CBreakWindow::CBreakWindow() : ui::CDialog(IDD_BREAK) {}

void CBreakWindow::Show(HWND target, const std::string& title, uint32_t remaining) {
  m_target = target;
  // Not owned: an owner in the tray (minimised) would hide it.
  if (!Hwnd() && !Create(nullptr)) return;
  SetItemText(IDC_BREAK_TITLE, title);
  m_countdown.clear();
  m_hint.clear();
  Update(remaining, false);
  // In the middle of the work area of the pointer's monitor.
  POINT pt = {};
  GetCursorPos(&pt);
  MONITORINFO mi = {sizeof mi};
  RECT rc = {};
  GetWindowRect(Hwnd(), &rc);
  int x = rc.left, y = rc.top;
  if (GetMonitorInfoW(MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &mi)) {
    x = (mi.rcWork.left + mi.rcWork.right - (rc.right - rc.left)) / 2;
    y = (mi.rcWork.top + mi.rcWork.bottom - (rc.bottom - rc.top)) / 2;
  }
  SetWindowPos(Hwnd(), HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CBreakWindow::Update(uint32_t remaining, bool inputSeen) {
  if (!Hwnd()) return;
  const std::string countdown = CountdownText(remaining);
  if (countdown != m_countdown) SetItemText(IDC_BREAK_COUNTDOWN, m_countdown = countdown);
  const std::string hint = inputSeen ? kLeaveInput : m_hint.empty() ? kRestEasy : m_hint;
  if (hint != m_hint) SetItemText(IDC_BREAK_HINT, m_hint = hint);
}

void CBreakWindow::Close() {
  if (Hwnd()) ShowWindow(Hwnd(), SW_HIDE);
}

bool CBreakWindow::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_BREAK_POSTPONE || id == IDC_BREAK_SKIP) {
    if (m_target) SendMessageW(m_target, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    return true;
  }
  return ui::CDialog::OnCommand(id, code, control);
}

CBreaksDlg::CBreaksDlg() : ui::CDialog(IDD_BREAKS) {}

BOOL CBreaksDlg::OnInitDialog() {
  const BreakSettings s = ReadBreakSettings(Profile());
  CheckDlgButton(Hwnd(), IDC_BREAKS_ON, s.on ? BST_CHECKED : BST_UNCHECKED);
  ui::SetUintField(Hwnd(), IDC_MICRO_EVERY, s.microEvery);
  ui::SetUintField(Hwnd(), IDC_MICRO_LENGTH, s.microLength);
  ui::SetUintField(Hwnd(), IDC_REST_EVERY, s.restEvery);
  ui::SetUintField(Hwnd(), IDC_REST_LENGTH, s.restLength);
  ui::SetUintField(Hwnd(), IDC_LIMIT_HOURS, s.dailyLimit / 60);
  ui::SetUintField(Hwnd(), IDC_LIMIT_MINUTES, s.dailyLimit % 60);
  return TRUE;
}

void CBreaksDlg::OnOK() {
  BreakSettings s;
  s.on = IsDlgButtonChecked(Hwnd(), IDC_BREAKS_ON) == BST_CHECKED;
  uint32_t hours = 0, minutes = 0;
  const HWND h = Hwnd();
  // The first wrong field stops it; nothing is stored.
  if (!ui::GetUintField(h, IDC_MICRO_EVERY, kMicroEvery.min, kMicroEvery.max, &s.microEvery) ||
      !ui::GetUintField(h, IDC_MICRO_LENGTH, kMicroLength.min, kMicroLength.max, &s.microLength) ||
      !ui::GetUintField(h, IDC_REST_EVERY, kRestEvery.min, kRestEvery.max, &s.restEvery) ||
      !ui::GetUintField(h, IDC_REST_LENGTH, kRestLength.min, kRestLength.max, &s.restLength) ||
      !ui::GetUintField(h, IDC_LIMIT_HOURS, kLimitHours.min, kLimitHours.max, &hours) ||
      !ui::GetUintField(h, IDC_LIMIT_MINUTES, kLimitMinutes.min, kLimitMinutes.max, &minutes))
    return;
  s.dailyLimit = std::min<uint32_t>(hours * 60 + minutes, kLimitHours.max * 60);
  if (!WriteBreakSettings(Profile(), s)) {
    ui::AppMessageBox(h, "无法保存休息提醒的设置。", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m_chosen = s;
  EndDialog(IDOK);
}

}  // namespace tallivo::breaks
