// The main window's side of the history: files each counted event and
// pointer step under its local day and hour, gathers the deltas and writes
// them at most once a second. A write that fails keeps them for the next
// one; the user hears of each kind of trouble once.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "base/counters.h"
#include "history/history_delta.h"
#include "history/history_store.h"

namespace tallivo::history {

// What a flush has to tell the user.
struct Notice {
  enum class Kind { None, Fault, MovedAside };
  Kind kind = Kind::None;
  StoreError error = StoreError::None;  // for a fault
  std::string movedAside;               // UTF-8 path of the damaged file's new name
  std::string detail;                   // the engine's words, for the log
};

// The message for a notice, naming the history file (and where a damaged one
// went) as the user's code page spells them.
std::string NoticeText(const Notice& n, const std::string& shownPath, const std::string& shownMovedAside);

class Recorder {
 public:
  // How many failed writes in a row a lock must last before it is told.
  static constexpr int kBusyTellAfter = 3;

  void AddEvent(time_t t, InputKind kind, unsigned vk, const std::string& exe, uint64_t n = 1);
  void AddMove(time_t t, uint32_t pixels, double metres);
  // A break of kind ("micro", "rest") at t came due, was taken, skipped or
  // postponed (one of BreakDelta's counts).
  void AddBreak(time_t t, const std::string& kind, uint64_t BreakDelta::*field);
  bool Pending() const { return !m_deltas.Empty(); }
  const Deltas& PendingDeltas() const { return m_deltas; }

  // Writes what is pending into the store at path (UTF-8), opening it first
  // when needed. Nothing pending costs nothing. A file of a newer version is
  // never written in this run; the deltas are kept in memory.
  Notice Flush(HistoryStore& store, const std::string& path, time_t now);

 private:
  const LocalHour& HourAt(time_t t);
  void Touch(time_t t);
  Notice Tell(const StoreResult& r);

  Deltas m_deltas;
  ActiveSecondClock m_active;
  time_t m_stampSecond = static_cast<time_t>(-1);
  LocalHour m_stampHour;
  // The trouble the user was told of; told again only after a write went through.
  StoreError m_told = StoreError::None;
  // Seconds in a row the file was locked: a reader (the history window,
  // another program's quick look) may hold it for a moment, which is no
  // news; a lock that lasts is.
  int m_busyInARow = 0;
  bool m_readOnly = false;
};

}  // namespace tallivo::history
