#include "chart/tab_pages.h"

namespace tallivo {

PagePlacement PageArea(const ChartRect& client, const ChartRect& item0) {
  PagePlacement p;
  p.x = item0.left;
  p.y = item0.bottom + 1;
  p.width = client.right - item0.left - 2;
  p.height = client.bottom - item0.bottom - 3;
  // A tab control too small for its tabs gets empty pages, not negative sizes.
  if (p.width < 0) p.width = 0;
  if (p.height < 0) p.height = 0;
  return p;
}

bool TabPageTable::Add(const std::string& title, unsigned templateId) {
  if (m_count >= kMaxPages) return false;
  m_titles[m_count] = title;
  m_templateIds[m_count] = templateId;
  ++m_count;
  return true;
}

bool TabPageTable::Select(int focused, Switch* change) {
  // A focus index outside the table (no tab focused) must not pick a page.
  if (focused < 0 || focused >= m_count || focused == m_current) return false;
  change->hide = m_current;
  change->show = focused;
  m_current = focused;
  return true;
}

}  // namespace tallivo
