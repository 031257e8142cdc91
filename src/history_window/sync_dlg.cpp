#include "history_window/sync_dlg.h"

#include <commctrl.h>
#include <shlobj.h>

#include <filesystem>
#include <system_error>

#include "base/text_format.h"
#include "history/history_win.h"
#include "history/sync_folder.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/dpi_rules.h"

namespace tallivo::history {

namespace {

constexpr size_t kMaxName = 64;  // characters

// "2026-12-08T10:11:12Z" as the local "2026-12-08 11:11:12"; as it is when it is no such time.
std::string LocalTimeOf(const std::string& utc) {
  SYSTEMTIME st = {};
  if (std::sscanf(utc.c_str(), "%4hu-%2hu-%2huT%2hu:%2hu:%2huZ", &st.wYear, &st.wMonth, &st.wDay, &st.wHour,
                  &st.wMinute, &st.wSecond) != 6) {
    return utc;
  }
  SYSTEMTIME local = {};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &st, &local)) return utc;
  return FormatText("%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
                    local.wMinute, local.wSecond);
}

void AddRow(HWND list, const std::string& name, const std::string& when) {
  std::wstring n = Wide(name), w = Wide(when);
  LVITEMW item = {};
  item.mask = LVIF_TEXT;
  item.iItem = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = n.data();
  const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  item.iItem = row;
  item.iSubItem = 1;
  item.pszText = w.data();
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(PathOf(path), ec);
}

}  // namespace

CSyncDlg::CSyncDlg(HistorySource* source) : ui::CDialog(IDD_SYNC), m_source(source) {}

BOOL CSyncDlg::OnInitDialog() {
  const SyncSettings s = ReadSyncSettings();
  SetItemText(IDC_SYNC_FOLDER, s.folder);
  SetItemText(IDC_SYNC_NAME, s.name);
  SendDlgItemMessageW(Hwnd(), IDC_SYNC_NAME, EM_LIMITTEXT, kMaxName, 0);
  HWND list = GetDlgItem(Hwnd(), IDC_SYNC_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  const int dpi = ui::WindowDpi(Hwnd());
  const wchar_t* names[] = {L"电脑", L"写入时间"};
  const int widths[] = {250, 160};
  for (int c = 0; c < 2; ++c) {
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = const_cast<wchar_t*>(names[c]);
    col.cx = dpi::Scale(widths[c], dpi);
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&col));
  }
  FillList();
  return TRUE;
}

void CSyncDlg::FillList() {
  HWND list = GetDlgItem(Hwnd(), IDC_SYNC_LIST);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  const std::string folder = ItemText(IDC_SYNC_FOLDER);
  if (folder.empty()) return;
  std::string why;
  HistoryStore* own = m_source ? m_source->ReadableStore(&why) : nullptr;
  const std::string ownId = own ? own->ComputerId() : "";
  // Every copy, this computer's too: the list shows what the folder holds.
  const FolderScan scan = ScanFolder(folder, "", LocalPlace(L"listed"));
  if (!scan.reachable) {
    AddRow(list, "(无法访问此文件夹)", "");
    return;
  }
  for (const PeerCopy& c : scan.peers) {
    const std::string name = (c.who.name.empty() ? c.who.id : c.who.name) + (c.who.id == ownId ? " (本机)" : "");
    AddRow(list, name, LocalTimeOf(c.who.writtenAt));
  }
  for (const SkippedCopy& s : scan.skipped) {
    AddRow(list, s.file, s.why == SkipReason::Newer ? "(来自更新的版本)" : "(无法读取)");
  }
}

void CSyncDlg::Browse() {
  BROWSEINFOW bi = {};
  bi.hwndOwner = Hwnd();
  bi.lpszTitle = L"选择同步文件夹";
  bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&bi);
  if (!pidl) return;
  wchar_t path[MAX_PATH] = {};
  if (SHGetPathFromIDListW(pidl, path)) {
    SetDlgItemTextW(Hwnd(), IDC_SYNC_FOLDER, path);
    FillList();
  }
  CoTaskMemFree(pidl);
}

bool CSyncDlg::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case IDC_SYNC_BROWSE: Browse(); return true;
    case IDC_SYNC_OFF:
      SetItemText(IDC_SYNC_FOLDER, "");
      FillList();
      return true;
    case IDC_SYNC_FOLDER:
      if (code == EN_KILLFOCUS) FillList();
      return true;
    default: return ui::CDialog::OnCommand(id, code, control);
  }
}

void CSyncDlg::OnOK() {
  std::string folder = ItemText(IDC_SYNC_FOLDER);
  while (!folder.empty() && (folder.back() == ' ')) folder.pop_back();
  while (!folder.empty() && folder.front() == ' ') folder.erase(0, 1);
  if (!folder.empty() && !IsFolder(folder)) {
    ui::AppMessageBox(Hwnd(), FormatText("找不到文件夹 %s,请选择一个已有的文件夹。", folder.c_str()),
                      MB_OK | MB_ICONEXCLAMATION);
    SetFocus(GetDlgItem(Hwnd(), IDC_SYNC_FOLDER));
    return;
  }
  std::string name = ItemText(IDC_SYNC_NAME);
  const SyncSettings before = ReadSyncSettings();
  // The computer name unchanged is the default, not a name of its own.
  if (name == before.name && before.nameSaved.empty()) name.clear();
  if (!WriteSyncSettings(folder, name)) {
    ui::AppMessageBox(Hwnd(), "无法保存设置。", MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  EndDialog(IDOK);
}

}  // namespace tallivo::history
