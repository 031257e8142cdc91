#include "process/process_stats_dlg.h"

#include "main/messages.h"
#include "process/process_picker_dlg.h"
#include "process/process_text.h"
#include "res/resource.h"

using namespace tallivo;

namespace {
constexpr UINT_PTR TIMER_PANEL = 0;
constexpr UINT kPanelMs = 20;
constexpr char kClearQuestion[] = "是否全面清空,可以重新统计";
constexpr char kPromptCaption[] = "提示";
}  // namespace

uint32_t CProcessStatsDlg::s_left = 0;
uint32_t CProcessStatsDlg::s_right = 0;
uint32_t CProcessStatsDlg::s_middle = 0;
uint32_t CProcessStatsDlg::s_wheel = 0;
uint32_t CProcessStatsDlg::s_keys = 0;
float CProcessStatsDlg::s_globalTotal = 0.0f;
float CProcessStatsDlg::s_processTotal = 0.0f;
int CProcessStatsDlg::s_sharePercent = 0;
std::string CProcessStatsDlg::s_processName;

CProcessStatsDlg::CProcessStatsDlg() : CMagDialog(IDD_PROCESS_PANEL) {}

CProcessStatsDlg::~CProcessStatsDlg() = default;

void CProcessStatsDlg::SetProcessCounts(uint32_t left, uint32_t right, uint32_t middle, uint32_t wheel,
                                        uint32_t keys, uint32_t globalTotal) {
  s_left = left;
  s_right = right;
  s_middle = middle;
  s_wheel = wheel;
  s_keys = keys;
  const ProcessCounts counts = {left, right, middle, wheel, keys};
  s_globalTotal = static_cast<float>(globalTotal);
  s_processTotal = static_cast<float>(counts.Total());
  s_sharePercent = SharePercent(s_processTotal, s_globalTotal);
}

void CProcessStatsDlg::SetProcessName(const std::string& name) { s_processName = name; }

BOOL CProcessStatsDlg::OnInitDialog() {
  m_leftLabel = GetDlgItem(Hwnd(), IDC_PROC_LEFT);
  // No explicit parent: the main window becomes the picker's owner.
  m_picker = std::make_unique<CProcessPickerDlg>();
  m_picker->Create(ui::MainWindow());
  SetTimer(Hwnd(), TIMER_PANEL, kPanelMs, nullptr);
  return TRUE;
}

void CProcessStatsDlg::OnTimer() {
  const ProcessCounts c = {s_left, s_right, s_middle, s_wheel, s_keys};
  SetWindowTextA(m_leftLabel, PanelLeftLabel(c.left).c_str());
  SetItemText(IDC_PROC_RIGHT, PanelRightLabel(c.right).c_str());
  SetItemText(IDC_PROC_MIDDLE, PanelMiddleLabel(c.middle).c_str());
  SetItemText(IDC_PROC_WHEEL, PanelWheelLabel(c.wheel).c_str());
  SetItemText(IDC_PROC_MOUSE, PanelMouseLabel(c.MouseTotal()).c_str());
  SetItemText(IDC_PROC_KEYS, PanelKeysLabel(c.keys).c_str());
  SetItemText(IDC_PROC_SHARE, ShareLine(s_processName, s_sharePercent).c_str());
}

void CProcessStatsDlg::OnPickProcess() {
  if (!m_picker || !m_picker->Hwnd()) return;
  GetWindowRect(Hwnd(), &m_panelRect);
  // Over the panel, shifted left by half its width, top edges level.
  const int x = m_panelRect.left - (m_panelRect.right - m_panelRect.left) / 2;
  SetWindowPos(m_picker->Hwnd(), HWND_TOP, x, m_panelRect.top, 0, 0, SWP_NOSIZE);
  ShowWindow(m_picker->Hwnd(), SW_SHOW);
}

void CProcessStatsDlg::OnClearProcessStats() {
  if (MessageBoxA(Hwnd(), kClearQuestion, kPromptCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  // The owner of the popup panel is the main window.
  SendMessageA(GetParent(Hwnd()), WM_PROC_RESET, 0, 0);
}

bool CProcessStatsDlg::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case ID_PROCESS_STATS:
      OnPickProcess();
      return true;
    case ID_PROCESS_CLEAR:
      OnClearProcessStats();
      return true;
    default:
      return CMagDialog::OnCommand(id, code, control);
  }
}

INT_PTR CProcessStatsDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
  if (msg == WM_TIMER) {
    OnTimer();
    return 0;  // then default processing
  }
  return CMagDialog::OnMessage(msg, wp, lp, handled);
}
