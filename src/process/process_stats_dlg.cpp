#include "process/process_stats_dlg.h"

#include "base/messages.h"
#include "process/process_picker_dlg.h"
#include "process/process_text.h"
#include "res/resource.h"

using namespace tallivo;

namespace {
constexpr char kClearQuestion[] = "是否全面清空,可以重新统计";
}  // namespace

InputCounters CProcessStatsDlg::s_counts;
int CProcessStatsDlg::s_sharePercent = 0;
std::string CProcessStatsDlg::s_processName;
CProcessStatsDlg* CProcessStatsDlg::s_panel = nullptr;

CProcessStatsDlg::CProcessStatsDlg() : CMagDialog(IDD_PROCESS_PANEL) {}

CProcessStatsDlg::~CProcessStatsDlg() {
  if (s_panel == this) s_panel = nullptr;
}

void CProcessStatsDlg::SetProcessCounts(const InputCounters& counts, uint32_t globalTotal) {
  const int share = SharePercent(static_cast<float>(counts.GrandTotal()), static_cast<float>(globalTotal));
  if (counts == s_counts && share == s_sharePercent) return;
  s_counts = counts;
  s_sharePercent = share;
  RefreshPanel();
}

void CProcessStatsDlg::SetProcessName(const std::string& name) {
  s_processName = name;
  RefreshPanel();
}

void CProcessStatsDlg::RefreshPanel() {
  if (s_panel && s_panel->Hwnd()) s_panel->Refresh();
}

BOOL CProcessStatsDlg::OnInitDialog() {
  s_panel = this;
  // The share line's resource text gives way to the figures at once.
  Refresh();
  // No explicit parent: the main window becomes the picker's owner.
  m_picker = std::make_unique<CProcessPickerDlg>();
  m_picker->Create(ui::MainWindow());
  return TRUE;
}

void CProcessStatsDlg::Refresh() {
  const InputCounters& c = s_counts;
  const std::pair<int, std::string> texts[] = {
      {IDC_PROC_LEFT, PanelLeftLabel(c.left)},
      {IDC_PROC_RIGHT, PanelRightLabel(c.right)},
      {IDC_PROC_MIDDLE, PanelMiddleLabel(c.middle)},
      {IDC_PROC_WHEEL, PanelWheelLabel(c.wheel)},
      {IDC_PROC_MOUSE, PanelMouseLabel(c.TotalClicks())},
      {IDC_PROC_KEYS, PanelKeysLabel(c.keys)},
      {IDC_PROC_SHARE, ShareLine(s_processName, s_sharePercent)},
  };
  for (const auto& [id, text] : texts) {
    if (m_shown.Put(id, text, true)) SetItemText(id, text);
  }
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
  if (ui::PromptBox(Hwnd(), kClearQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  // The owner of the popup panel is the main window.
  SendMessageW(GetParent(Hwnd()), WM_PROC_RESET, 0, 0);
}

bool CProcessStatsDlg::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case ID_PROCESS_STATS: OnPickProcess(); return true;
    case ID_PROCESS_CLEAR: OnClearProcessStats(); return true;
    default: return CMagDialog::OnCommand(id, code, control);
  }
}
