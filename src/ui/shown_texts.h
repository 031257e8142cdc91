// The texts of a window's labels (or status-bar parts, by key): what each
// should show and what it shows. A text is written only when it changed and
// the window is on screen: every write makes the control paint, and a
// window that runs all day would otherwise repaint its labels ten times a
// second for nothing. A hidden window keeps only what it should show, and
// catches up when it comes on screen.
#pragma once

#include <string>
#include <vector>

namespace ui {

class ShownTexts {
 public:
  // key should show text. True when the caller must write it now: the
  // window is on screen and shows something else (it is taken as shown).
  bool Put(int key, const std::string& text, bool onScreen);
  // The window comes on screen: write(key, text) for each text it does not
  // show yet.
  template <typename Write>
  void CatchUp(Write write) {
    for (Entry& e : m_entries) {
      if (e.shownKnown && e.shown == e.wanted) continue;
      e.shown = e.wanted;
      e.shownKnown = true;
      write(e.key, e.shown);
    }
  }

 private:
  struct Entry {
    int key;
    std::string wanted;
    std::string shown;
    bool shownKnown;
  };
  // A handful of keys: a flat list is quicker than a map.
  std::vector<Entry> m_entries;
};

}  // namespace ui
