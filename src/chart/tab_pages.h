// The tab sheet without a window: its page table (titles, template ids,
// which page is on show) and where the pages go in the tab control.
#pragma once

#include <array>
#include <string>

#include "chart/curve_model.h"

namespace tallivo {

struct PagePlacement {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PagePlacement&) const = default;
};

// The display area below the tabs: from the left edge of tab item 0, one
// pixel below it, to 2 px inside the right and bottom edges of the client.
PagePlacement PageArea(const ChartRect& client, const ChartRect& item0);

class TabPageTable {
 public:
  static constexpr int kMaxPages = 10;

  // Registers a page; false (and no change) when kMaxPages are there.
  bool Add(const std::string& title, unsigned templateId);
  int Count() const { return m_count; }
  const std::string& Title(int i) const { return m_titles[i]; }
  unsigned TemplateId(int i) const { return m_templateIds[i]; }
  int Current() const { return m_current; }

  // The page to hide and the page to show when tab `focused` gets the
  // focus; nothing when it is the page on show or not a registered page.
  struct Switch {
    int hide = 0;
    int show = 0;
  };
  bool Select(int focused, Switch* change);

 private:
  int m_count = 0;
  std::array<std::string, kMaxPages> m_titles;
  std::array<unsigned, kMaxPages> m_templateIds = {};
  int m_current = 0;
};

}  // namespace tallivo
