#include "process/process_picker_dlg.h"

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "base/text_format.h"
#include "process/process_stats_dlg.h"
#include "process/process_text.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/dpi_rules.h"

using namespace tallivo;

namespace {

constexpr UINT_PTR TIMER_PROCESS_LIST = 1;
constexpr UINT kProcessListMs = 10000;
constexpr char kNoMoreProcess[] = "No More Process";

struct WindowSearch {
  DWORD processId;
  HWND found;
};

}  // namespace

CProcessPickerDlg::CProcessPickerDlg() : ui::CDialog(IDD_PROCESS_PICKER), m_entry(new PROCESSENTRY32W{}) {}

CProcessPickerDlg::~CProcessPickerDlg() = default;

BOOL CProcessPickerDlg::OnInitDialog() {
  // Listed when shown, and kept up to date only while it is: a hidden
  // picker takes no snapshots.
  m_processList = GetDlgItem(Hwnd(), IDC_PROCESS_LIST);
  return TRUE;
}

void CProcessPickerDlg::FillProcessList() {
  // The processes first: the list is built again only when they changed,
  // which most ten-second rounds they have not.
  std::vector<std::pair<DWORD, std::string>> processes;
  bool noneListed = false;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  // The platform's own record size.
  m_entry->dwSize = sizeof(PROCESSENTRY32W);
  if (snapshot != INVALID_HANDLE_VALUE) {
    if (!Process32FirstW(snapshot, m_entry.get())) {
      noneListed = GetLastError() == ERROR_NO_MORE_FILES;
    } else {
      // The first entry (the system's idle process) is not listed.
      while (Process32NextW(snapshot, m_entry.get())) {
        processes.emplace_back(m_entry->th32ProcessID, Utf8(m_entry->szExeFile));
      }
    }
    CloseHandle(snapshot);
  }
  if (m_listed && processes == m_processes && !noneListed) return;
  m_processes = std::move(processes);
  m_listed = true;

  HWND list = m_processList;
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  while (SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
  }

  struct {
    const char* heading;
    int width;
  } columns[] = {{"进程ID", 80}, {"进程名称", 150}};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW col = {};
    col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.fmt = LVCFMT_LEFT;
    col.cx = tallivo::dpi::Scale(columns[i].width, ui::WindowDpi(list));
    std::wstring heading = Wide(columns[i].heading);
    col.pszText = heading.data();
    col.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
  }

  if (noneListed) ui::AppMessageBox(kNoMoreProcess, MB_OK);
  int row = 0;
  for (auto& [pid, exe] : m_processes) {
    std::wstring idText = Wide(ProcessIdText(pid));
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = idText.data();
    item.lParam = static_cast<LPARAM>(pid);
    const int index = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index >= 0) {
      LVITEMW sub = {};
      sub.iSubItem = 1;
      std::wstring name = Wide(exe);
      sub.pszText = name.data();
      SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&sub));
    }
    ++row;
  }
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

BOOL CALLBACK CProcessPickerDlg::EnumWindowsProc(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->processId) return TRUE;
  search->found = hwnd;
  return FALSE;
}

HWND CProcessPickerDlg::FindProcessWindow(DWORD processId) {
  WindowSearch search = {processId, nullptr};
  EnumWindows(EnumWindowsProc, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void CProcessPickerDlg::OnDblclkProcessList() {
  const int row = static_cast<int>(
      SendMessageW(m_processList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
  // A double click beside the rows chooses nothing.
  if (row < 0) return;

  LVITEMW item = {};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  SendMessageW(m_processList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  const DWORD processId = static_cast<DWORD>(item.lParam);

  HWND window = FindProcessWindow(processId);
  const DWORD threadId = window ? GetWindowThreadProcessId(window, nullptr) : 0;
  // Synchronous: the counting has restarted before the name changes.
  SendMessageW(GetParent(Hwnd()), WM_PROC_SELECT, threadId, 0);

  wchar_t exe[MAX_PATH] = {};
  LVITEMW text = {};
  text.iSubItem = 1;
  text.pszText = exe;
  text.cchTextMax = MAX_PATH;
  SendMessageW(m_processList, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&text));
  CProcessStatsDlg::SetProcessName(ProcessNameFromExe(Utf8(exe)));

  SendMessageW(Hwnd(), WM_CLOSE, 0, 0);
}

INT_PTR CProcessPickerDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
  switch (msg) {
    case WM_TIMER: FillProcessList(); return 0;  // then default processing
    case WM_SHOWWINDOW:
      if (wp) {
        FillProcessList();
        SetTimer(Hwnd(), TIMER_PROCESS_LIST, kProcessListMs, nullptr);
      } else {
        KillTimer(Hwnd(), TIMER_PROCESS_LIST);
      }
      return 0;
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if (hdr->idFrom == IDC_PROCESS_LIST && hdr->code == static_cast<UINT>(NM_DBLCLK)) {
        OnDblclkProcessList();
        *handled = true;
      }
      return 0;
    }
    default: return 0;
  }
}
