// The main window's part in the history of days: each counted event and
// pointer step goes into the recorder, which writes once a second.
#include <ctime>

#include "base/text_format.h"
#include "history_window/sync_dlg.h"
#include "main/main_dlg.h"

using namespace tallivo;

void CMainStatsDlg::RecordEvent(InputKind kind, WPARAM wp) {
  const unsigned vk = kind == InputKind::Key ? static_cast<unsigned>(wp) : 0;
  m_history.AddEvent(time(nullptr), kind, vk, m_foreground.Current());
}

void CMainStatsDlg::RecordMove(uint32_t pixels, time_t at) {
  const double ppm = m_distance.PixelsPerMetreValue();
  m_history.AddMove(at, pixels, ppm > 0 ? pixels / ppm : 0.0);
}

void CMainStatsDlg::FlushHistory(bool quiet) {
  if (!m_history.Pending()) return;
  // The folder may have been missing or unwritable before: look again.
  if (!m_historyStore.IsOpen()) m_historyPath = history::PrepareHistoryPath();
  const history::Notice n = m_history.Flush(m_historyStore, m_historyPath.utf8, time(nullptr));
  // Written: an open history window showing today reads it again, and the
  // next copy in the sync folder carries it.
  if (!m_history.Pending()) {
    m_historyWindow.OnHistoryWritten();
    m_copySchedule.Changed();
  }
  if (n.kind == history::Notice::Kind::None) return;
  OutputDebugStringW(
      Wide(FormatText("Tallivo: history file %s: %s\n", m_historyPath.utf8.c_str(), n.detail.c_str())).c_str());
  if (quiet) return;
  const std::string text = history::NoticeText(n, m_historyPath.utf8, n.movedAside);
  const UINT icon = n.kind == history::Notice::Kind::MovedAside ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
  ui::AppMessageBox(Hwnd(), text, MB_OK | icon);
}

void CMainStatsDlg::OnHistoryWindow() { m_historyWindow.Open(Hwnd(), this); }

void CMainStatsDlg::SyncTick() {
  if (std::optional<history::StoreResult> r = m_copyWorker.TakeResult(); r && !r->Ok()) {
    OutputDebugStringW(Wide(FormatText("Tallivo: copy into the sync folder: %s\n", r->detail.c_str())).c_str());
    m_copySchedule.Failed();
  }
  if (!m_sync.folder.empty() && m_copySchedule.Due(time(nullptr))) RequestCopy();
}

void CMainStatsDlg::RequestCopy() {
  std::string why;
  history::HistoryStore* store = ReadableStore(&why);
  if (!store || store->ComputerId().empty()) {
    m_copySchedule.Failed();
    return;
  }
  history::CopyJob job;
  job.historyPath = m_historyPath.utf8;
  job.workPath = history::LocalPlace(L"copy") + "\\copy.db";
  job.folder = m_sync.folder;
  job.who = {store->ComputerId(), m_sync.name, history::UtcStamp(time(nullptr))};
  m_copyWorker.Request(std::move(job));
}

void CMainStatsDlg::FinalCopy() {
  if (m_sync.folder.empty()) return;
  RequestCopy();
  // A folder that does not answer in time gets the copy at the next start.
  if (!m_copyWorker.WaitIdle(5000)) OutputDebugStringW(L"Tallivo: the sync folder did not answer in time\n");
}

void CMainStatsDlg::OnSyncDialog() {
  history::CSyncDlg dlg(this);
  if (dlg.DoModal() != IDOK) return;
  m_sync = history::ReadSyncSettings();
  if (!m_sync.folder.empty()) m_copySchedule.FolderSet();
  SyncTick();
  m_historyWindow.OnSyncChanged();
}

history::HistoryStore* CMainStatsDlg::ReadableStore(std::string* why) {
  FlushHistory(true);
  if (m_historyStore.IsOpen()) return &m_historyStore;
  // Nothing was pending, or the file could not be opened for writing: open
  // it here by the same rules (a damaged one is moved aside and said so).
  m_historyPath = history::PrepareHistoryPath();
  const std::string& shown = m_historyPath.utf8;
  const history::StoreResult r = m_historyStore.Open(m_historyPath.utf8, time(nullptr));
  switch (r.error) {
    case history::StoreError::None: break;
    case history::StoreError::NewerSchema:
      // Opened by nobody in this run: the recorder leaves it alone too.
      *why = FormatText("历史记录文件 %s 来自更新的版本,本版本无法显示。", shown.c_str());
      return nullptr;
    case history::StoreError::Busy:
      *why = FormatText("历史记录文件 %s 正被其他程序锁定,请稍后再试。", shown.c_str());
      return nullptr;
    case history::StoreError::CannotOpen: *why = FormatText("无法打开历史记录文件 %s。", shown.c_str()); return nullptr;
    default: *why = FormatText("读取历史记录文件 %s 时出错。", shown.c_str()); return nullptr;
  }
  if (!r.movedAside.empty()) {
    history::Notice n;
    n.kind = history::Notice::Kind::MovedAside;
    n.movedAside = r.movedAside;
    const std::string text = history::NoticeText(n, shown, n.movedAside);
    ui::AppMessageBox(Hwnd(), text, MB_OK | MB_ICONINFORMATION);
  }
  return &m_historyStore;
}
