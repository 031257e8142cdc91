#include "chart/tab_sheet.h"

#include <commctrl.h>

#include <string>

#include "base/text_format.h"

bool CTabSheet::AddPage(const char* title, ui::CDialog* page, UINT templateId) {
  const int i = m_table.Count();
  if (!m_table.Add(title ? title : "", templateId)) return false;
  m_pages[i] = page;
  return true;
}

void CTabSheet::CreatePages(int initialPage) {
  HWND tab = Hwnd();
  for (int i = 0; i < m_table.Count(); ++i) {
    ui::CDialog* page = m_pages[i];
    // A page that cannot be created still gets its tab.
    if (page && page->Create(tab, m_table.TemplateId(i))) {
      // Its template id doubles as its child id, so it can be found like a control.
      SetWindowLongPtrW(page->Hwnd(), GWLP_ID, static_cast<LONG_PTR>(m_table.TemplateId(i)));
    }
    std::wstring title = tallivo::Wide(m_table.Title(i));
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = title.data();
    SendMessageW(tab, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  LayoutPages(initialPage);
  SendMessageW(tab, TCM_SETCURFOCUS, static_cast<WPARAM>(initialPage), 0);
}

void CTabSheet::LayoutPages(int visiblePage) {
  HWND tab = Hwnd();
  RECT client = {}, item = {};
  GetClientRect(tab, &client);
  SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
  const tallivo::PagePlacement p = tallivo::PageArea({client.left, client.top, client.right, client.bottom},
                                                     {item.left, item.top, item.right, item.bottom});
  for (int i = 0; i < m_table.Count(); ++i) {
    HWND page = m_pages[i] ? m_pages[i]->Hwnd() : nullptr;
    if (!page) continue;
    SetWindowPos(page, HWND_TOP, p.x, p.y, p.width, p.height, i == visiblePage ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
  }
}

void CTabSheet::OnSelChange() {
  const int focused = static_cast<int>(SendMessageW(Hwnd(), TCM_GETCURFOCUS, 0, 0));
  tallivo::TabPageTable::Switch change;
  if (!m_table.Select(focused, &change)) return;
  if (HWND h = m_pages[change.hide] ? m_pages[change.hide]->Hwnd() : nullptr) ShowWindow(h, SW_HIDE);
  if (HWND h = m_pages[change.show] ? m_pages[change.show]->Hwnd() : nullptr) ShowWindow(h, SW_SHOW);
}

bool CTabSheet::OnReflectedNotify(const NMHDR* hdr, LRESULT* result) {
  if (hdr->code != TCN_SELCHANGE) return false;
  OnSelChange();
  *result = 0;
  return true;
}
