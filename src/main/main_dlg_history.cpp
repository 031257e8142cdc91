// The main window's part in the history of days: each counted event and
// pointer step goes into the recorder, which writes once a second.
#include <ctime>

#include "base/text_format.h"
#include "main/main_dlg.h"

using namespace tallivo;

void CMainStatsDlg::RecordEvent(InputKind kind, WPARAM wp) {
  const unsigned vk = kind == InputKind::Key ? static_cast<unsigned>(wp) : 0;
  m_history.AddEvent(time(nullptr), kind, vk, m_foreground.Current());
}

void CMainStatsDlg::RecordMove(uint32_t pixels) {
  const double ppm = m_distance.PixelsPerMetreValue();
  m_history.AddMove(time(nullptr), pixels, ppm > 0 ? pixels / ppm : 0.0);
}

void CMainStatsDlg::FlushHistory(bool quiet) {
  if (!m_history.Pending()) return;
  // The folder may have been missing or unwritable before: look again.
  if (!m_historyStore.IsOpen()) m_historyPath = history::PrepareHistoryPath();
  const history::Notice n = m_history.Flush(m_historyStore, m_historyPath.utf8, time(nullptr));
  if (n.kind == history::Notice::Kind::None) return;
  OutputDebugStringA(FormatText("Tallivo: history file %s: %s\n", m_historyPath.shown.c_str(), n.detail.c_str()).c_str());
  if (quiet) return;
  const std::string text = history::NoticeText(n, m_historyPath.shown, history::ShownPath(n.movedAside));
  const UINT icon = n.kind == history::Notice::Kind::MovedAside ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
  ui::AppMessageBox(Hwnd(), text.c_str(), MB_OK | icon);
}
