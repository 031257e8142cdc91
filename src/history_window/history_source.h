// Where the history window reads from: the main window's store, with
// everything counted so far written first.
#pragma once

#include <string>

#include "history/history_store.h"

namespace tallivo::history {

class HistorySource {
 public:
  virtual ~HistorySource() = default;
  // The store, up to date, or null when the file cannot be read now; then
  // *why holds the message to show in its place.
  virtual HistoryStore* ReadableStore(std::string* why) = 0;
  // Days were deleted from it: the next copy in the sync folder carries it.
  virtual void HistoryChanged() = 0;
};

}  // namespace tallivo::history
