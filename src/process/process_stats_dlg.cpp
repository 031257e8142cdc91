#include "process/process_stats_dlg.h"

#include "base/messages.h"
#include "process/process_picker_dlg.h"
#include "process/process_text.h"
#include "res/resource.h"

using namespace tallivo;

namespace {
constexpr UINT_PTR TIMER_PANEL = 0;
constexpr UINT kPanelMs = 20;
constexpr char kClearQuestion[] = "是否全面清空,可以重新统计";
}  // namespace

InputCounters CProcessStatsDlg::s_counts;
int CProcessStatsDlg::s_sharePercent = 0;
std::string CProcessStatsDlg::s_processName;

CProcessStatsDlg::CProcessStatsDlg() : CMagDialog(IDD_PROCESS_PANEL) {}

CProcessStatsDlg::~CProcessStatsDlg() = default;

void CProcessStatsDlg::SetProcessCounts(const InputCounters& counts, uint32_t globalTotal) {
  s_counts = counts;
  s_sharePercent = SharePercent(static_cast<float>(counts.GrandTotal()), static_cast<float>(globalTotal));
}

void CProcessStatsDlg::SetProcessName(const std::string& name) { s_processName = name; }

BOOL CProcessStatsDlg::OnInitDialog() {
  // No explicit parent: the main window becomes the picker's owner.
  m_picker = std::make_unique<CProcessPickerDlg>();
  m_picker->Create(ui::MainWindow());
  SetTimer(Hwnd(), TIMER_PANEL, kPanelMs, nullptr);
  return TRUE;
}

void CProcessStatsDlg::OnTimer() {
  const InputCounters& c = s_counts;
  SetItemText(IDC_PROC_LEFT, PanelLeftLabel(c.left).c_str());
  SetItemText(IDC_PROC_RIGHT, PanelRightLabel(c.right).c_str());
  SetItemText(IDC_PROC_MIDDLE, PanelMiddleLabel(c.middle).c_str());
  SetItemText(IDC_PROC_WHEEL, PanelWheelLabel(c.wheel).c_str());
  SetItemText(IDC_PROC_MOUSE, PanelMouseLabel(c.TotalClicks()).c_str());
  SetItemText(IDC_PROC_KEYS, PanelKeysLabel(c.keys).c_str());
  SetItemText(IDC_PROC_SHARE, ShareLine(s_processName, s_sharePercent).c_str());
}

void CProcessStatsDlg::OnPickProcess() {
  if (!m_picker || !m_picker->Hwnd()) return;
  RECT panel = {};
  GetWindowRect(Hwnd(), &panel);
  // Over the panel, shifted left by half its width, top edges level.
  const int x = panel.left - (panel.right - panel.left) / 2;
  SetWindowPos(m_picker->Hwnd(), HWND_TOP, x, panel.top, 0, 0, SWP_NOSIZE);
  ShowWindow(m_picker->Hwnd(), SW_SHOW);
}

void CProcessStatsDlg::OnClearProcessStats() {
  if (MessageBoxA(Hwnd(), kClearQuestion, ui::kPromptCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  // The owner of the popup panel is the main window.
  SendMessageA(GetParent(Hwnd()), WM_PROC_RESET, 0, 0);
}

bool CProcessStatsDlg::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case ID_PROCESS_STATS: OnPickProcess(); return true;
    case ID_PROCESS_CLEAR: OnClearProcessStats(); return true;
    default: return CMagDialog::OnCommand(id, code, control);
  }
}

INT_PTR CProcessStatsDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
  if (msg == WM_TIMER) {
    OnTimer();
    return 0;  // then default processing
  }
  return CMagDialog::OnMessage(msg, wp, lp, handled);
}
