// The history window (历史记录): every day of a chosen range as a bar chart
// and a table, the weekday-by-hour and keyboard heat maps, the programs,
// and the CSV export. Modeless, owned by the main window, which hands it
// the store to read through a HistorySource.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "history/sync_folder.h"
#include "history_window/daily_chart_view.h"
#include "history_window/heat_map_view.h"
#include "history_window/history_model.h"
#include "history_window/history_source.h"
#include "history_window/keyboard_view.h"
#include "ui/dialog.h"

namespace tallivo::history {

class CHistoryDlg : public ui::CDialog {
 public:
  CHistoryDlg();
  ~CHistoryDlg() override;

  // Opens the window, or brings the open one to the front.
  void Open(HWND owner, HistorySource* source);
  bool IsOpen() const { return Hwnd() != nullptr; }
  // The file was just written: today's figures may have moved. Cheap when
  // the window is closed or its range ends before today.
  void OnHistoryWritten();
  // The sync folder's setting changed: the computers are looked up again.
  void OnSyncChanged();

  enum Tab { kTabDays, kTabHours, kTabKeys, kTabPrograms, kTabCount };

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnOK() override {}
  void OnCancel() override;
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;
  void OnFinalDestroy() override;

 private:
  void InitControls();
  void RestorePlacement();
  void SavePlacement();
  void Layout();
  void PlaceMessage();
  // Moved to a monitor of another DPI: the columns, views and margins at
  // the new one, the window at the size the system suggests.
  void OnDpiChanged(int dpi, const RECT* suggested);
  void ShowTab(int tab);
  void ChooseRange(RangeKind kind);
  void OnPickerChange();
  void SetPickers();
  // Reads the range from the store again; the current tab's data at once,
  // the others when they are shown.
  void Reload();
  void LoadTab(int tab);
  void ShowMessage(const std::string& text);
  void FillDaysList();
  void SortDaysBy(int column, bool toggle);
  void SortProgramsBy(int column, bool toggle);
  bool OnNotify(const NMHDR* hdr, LRESULT* result);
  bool GetDispInfo(const NMHDR* hdr);
  std::string CellText(int list, int row, int column) const;
  void OnExport();
  void OnDelete();
  // The other computers' copies in the sync folder, read again, and the
  // drop-down list of computers.
  void LoadComputers();
  // The history of the computers chosen, up to date; null when this
  // computer's file cannot be read (*why says why).
  MergedHistory* Readable(std::string* why);
  std::string NoticeText(bool noHistory) const;

  HistorySource* m_source = nullptr;
  PeerSet m_peers;
  MergedHistory m_merged;
  int m_computer = 0;  // 0: all of them, 1: this one, 2 on: the others in m_peers
  std::string m_folder;  // the sync folder when the computers were read
  int m_dpi = dpi::kBaseDpi;
  RangeKind m_kind = RangeKind::Last30Days;
  Range m_range;
  bool m_settingPickers = false;
  bool m_refreshPosted = false;
  int m_tab = kTabDays;
  bool m_tabLoaded[kTabCount] = {};
  std::string m_message;  // shown instead of the views when not empty
  std::string m_notice;   // shown beside the tabs, over the views
  DayFigure m_figure = DayFigure::Clicks;

  std::vector<DayRow> m_days;       // filled, in date order (the chart's)
  std::vector<DayRow> m_daysShown;  // in the list's order
  DayRow m_dayTotal;
  int m_daySortColumn = 0;
  bool m_daySortAscending = true;
  std::vector<KeyTotal> m_topKeys;
  uint64_t m_keyStrokes = 0;
  std::vector<ProgramShare> m_programs;
  int m_programSortColumn = -1;  // -1: by events, the list's own order
  bool m_programSortAscending = false;

  CDailyChartView m_chart;
  CHeatMapView m_heatMap;
  CKeyboardView m_keyboard;
  HWND m_heatMapHwnd = nullptr;
  HWND m_keyboardHwnd = nullptr;
  std::string m_dispText;  // the text handed out by the last LVN_GETDISPINFO
};

}  // namespace tallivo::history
