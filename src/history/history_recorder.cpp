#include "history/history_recorder.h"

#include "base/text_format.h"

namespace tallivo::history {

std::string NoticeText(const Notice& n, const std::string& shownPath, const std::string& shownMovedAside) {
  if (n.kind == Notice::Kind::MovedAside) {
    return FormatText("历史记录文件 %s 已损坏,已原样改名为 %s 保存,并新建了历史记录文件。", shownPath.c_str(),
                      shownMovedAside.c_str());
  }
  switch (n.error) {
    case StoreError::Busy:
      return FormatText("历史记录文件 %s 正被其他程序锁定。统计照常进行,解锁后自动写入。", shownPath.c_str());
    case StoreError::Full:
      return FormatText("磁盘已满,无法写入历史记录文件 %s。统计照常进行,腾出空间后自动写入。", shownPath.c_str());
    case StoreError::NewerSchema:
      return FormatText("历史记录文件 %s 来自更新的版本,本版本不会改写它。统计照常进行,但不记入历史。",
                        shownPath.c_str());
    case StoreError::CannotOpen:
      return FormatText("无法创建或打开历史记录文件 %s。统计照常进行,稍后自动重试。", shownPath.c_str());
    default:
      return FormatText("写入历史记录文件 %s 时出错。统计照常进行,稍后自动重试。", shownPath.c_str());
  }
}

const LocalHour& Recorder::HourAt(time_t t) {
  // Events come in bursts within one second: one local-time conversion each.
  if (t != m_stampSecond) {
    m_stampHour = LocalHourAt(t);
    m_stampSecond = t;
  }
  return m_stampHour;
}

void Recorder::Touch(time_t t) {
  if (m_active.Touch(t)) m_deltas.AddActiveSecond(HourAt(t));
}

void Recorder::AddEvent(time_t t, InputKind kind, unsigned vk, const std::string& exe, uint64_t n) {
  m_deltas.AddEvent(HourAt(t), kind, vk, exe, n);
  Touch(t);
}

void Recorder::AddMove(time_t t, uint32_t pixels, double metres) {
  if (pixels == 0) return;
  m_deltas.AddMove(HourAt(t), pixels, metres);
  Touch(t);
}

void Recorder::AddBreak(time_t t, const std::string& kind, uint64_t BreakDelta::*field) {
  m_deltas.AddBreak(HourAt(t), kind, field);
}

Notice Recorder::Tell(const StoreResult& r) {
  Notice n;
  if (r.error == StoreError::NewerSchema) m_readOnly = true;
  m_busyInARow = r.error == StoreError::Busy ? m_busyInARow + 1 : 0;
  if (r.error == StoreError::Busy && m_busyInARow < kBusyTellAfter) return n;
  if (r.error == m_told) return n;
  m_told = r.error;
  n.kind = Notice::Kind::Fault;
  n.error = r.error;
  n.detail = r.detail;
  return n;
}

Notice Recorder::Flush(HistoryStore& store, const std::string& path, time_t now) {
  if (m_deltas.Empty() || m_readOnly) return {};
  if (path.empty()) return Tell({StoreError::CannotOpen, "", "no folder for the history file"});
  std::string movedAside;
  if (!store.IsOpen()) {
    const StoreResult opened = store.Open(path, now);
    if (!opened.Ok()) return Tell(opened);
    movedAside = opened.movedAside;
  }
  const StoreResult written = store.Write(m_deltas);
  if (!written.Ok()) {
    Notice n = Tell(written);
    // A damaged file moved aside at the open is news even when the write
    // then failed for another reason.
    if (n.kind == Notice::Kind::None && !movedAside.empty()) {
      n.kind = Notice::Kind::MovedAside;
      n.movedAside = movedAside;
    }
    return n;
  }
  m_deltas.Clear();
  m_told = StoreError::None;
  m_busyInARow = 0;
  if (!written.movedAside.empty()) movedAside = written.movedAside;
  Notice n;
  if (!movedAside.empty()) {
    n.kind = Notice::Kind::MovedAside;
    n.movedAside = movedAside;
  }
  return n;
}

}  // namespace tallivo::history
