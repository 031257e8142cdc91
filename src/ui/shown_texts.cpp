#include "ui/shown_texts.h"

namespace ui {

bool ShownTexts::Put(int key, const std::string& text, bool onScreen) {
  Entry* entry = nullptr;
  for (Entry& e : m_entries) {
    if (e.key == key) entry = &e;
  }
  if (!entry) entry = &m_entries.emplace_back(Entry{key, text, std::string(), false});
  entry->wanted = text;
  if (!onScreen || (entry->shownKnown && entry->shown == text)) return false;
  entry->shown = text;
  entry->shownKnown = true;
  return true;
}

}  // namespace ui
