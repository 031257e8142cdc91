// CTabSheet: the main window's tab control, hosting child dialogs as pages
// in the area below the tabs, one shown at a time.
#pragma once

#include <windows.h>

#include <array>

#include "chart/tab_pages.h"
#include "ui/control.h"
#include "ui/dialog.h"

class CTabSheet : public ui::CControl {
 public:
  // Registers a page (not owned); false when the sheet is full.
  bool AddPage(const char* title, ui::CDialog* page, UINT templateId);
  // Creates every page's window and tab, lays them out and selects one.
  // Called once, after all AddPage calls.
  void CreatePages(int initialPage);
  // Places every page in the display area; shows one, hides the others.
  void LayoutPages(int visiblePage);
  int CurrentPage() const { return m_table.Current(); }

 protected:
  bool OnReflectedNotify(const NMHDR* hdr, LRESULT* result) override;

 private:
  void OnSelChange();

  tallivo::TabPageTable m_table;
  std::array<ui::CDialog*, tallivo::TabPageTable::kMaxPages> m_pages = {};
};
