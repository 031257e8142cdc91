#include "history_window/history_dlg.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "base/profile_store.h"
#include "base/text_format.h"
#include "history_window/history_export.h"
#include "history/history_win.h"
#include "history_window/history_window_rules.h"
#include "res/resource.h"
#include "ui/dpi.h"
#include "ui/dpi_rules.h"

namespace tallivo::history {

namespace {

// Posted to itself after a write, so that several writes in a row cost one
// read and the read never runs inside the main window's write.
constexpr UINT WM_HISTORY_WRITTEN = WM_APP + 0x40;

constexpr char kNoHistory[] = "还没有历史记录";
constexpr char kUnreadable[] = "暂时无法读取历史记录文件,请稍后再试。";
constexpr char kAllComputers[] = "全部电脑";
constexpr char kSection[] = "History";
constexpr uint32_t kUnset = 0x80000000u;

constexpr const char* kTabNames[] = {"每日", "时段", "按键", "程序"};
constexpr const char* kProgramColumns[] = {"程序", "点击", "滚动", "键盘", "占比"};
constexpr const char* kKeyColumns[] = {"按键", "次数", "占比"};

constexpr struct {
  int id;
  RangeKind kind;
} kRangeButtons[] = {
    {IDC_HIST_TODAY, RangeKind::Today},       {IDC_HIST_7DAYS, RangeKind::Last7Days},
    {IDC_HIST_30DAYS, RangeKind::Last30Days}, {IDC_HIST_YEAR, RangeKind::LastYear},
    {IDC_HIST_ALL, RangeKind::All},
};

Date Today() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay};
}

SYSTEMTIME ToSystemTime(const Date& d) {
  SYSTEMTIME t = {};
  t.wYear = static_cast<WORD>(d.year);
  t.wMonth = static_cast<WORD>(d.month);
  t.wDay = static_cast<WORD>(d.day);
  return t;
}

void AddColumns(HWND list, const char* const* names, int count, const int* widths, int dpi) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (int i = 0; i < count; ++i) {
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    col.fmt = i == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
    col.cx = dpi::Scale(widths[i], dpi);
    std::wstring name = Wide(names[i]);
    col.pszText = name.data();
    col.iSubItem = i;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
  }
}

// Rows changed: the count, kept scroll position, every row drawn again.
void SetRowCount(HWND list, size_t rows) {
  SendMessageW(list, LVM_SETITEMCOUNT, rows, LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, FALSE);
}

// The header's arrow on the sorted column.
void MarkSorted(HWND list, int column, bool ascending) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (i == column) item.fmt |= ascending ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
}

std::string PercentText(uint64_t part, uint64_t whole) {
  return FormatText("%.1f%%", whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0);
}

RECT ChildRect(HWND dlg, int id) {
  RECT rc = {};
  HWND child = GetDlgItem(dlg, id);
  GetWindowRect(child, &rc);
  MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

void Place(HWND hwnd, int x, int y, int w, int h) {
  if (hwnd) SetWindowPos(hwnd, nullptr, x, y, std::max(w, 0), std::max(h, 0), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

CHistoryDlg::CHistoryDlg() : ui::CDialog(IDD_HISTORY) {}

CHistoryDlg::~CHistoryDlg() = default;

void CHistoryDlg::Open(HWND owner, HistorySource* source) {
  m_source = source;
  if (!Hwnd()) {
    if (!Create(owner)) return;
    ShowWindow(Hwnd(), SW_SHOW);
  } else if (IsIconic(Hwnd())) {
    ShowWindow(Hwnd(), SW_RESTORE);
  } else {
    ShowWindow(Hwnd(), SW_SHOW);
  }
  SetForegroundWindow(Hwnd());
}

void CHistoryDlg::OnHistoryWritten() {
  if (!Hwnd() || m_refreshPosted) return;
  // Only a range that holds today can have changed.
  if (m_kind == RangeKind::Custom && !m_range.Contains(Today())) return;
  m_refreshPosted = PostMessageW(Hwnd(), WM_HISTORY_WRITTEN, 0, 0) != FALSE;
}

BOOL CHistoryDlg::OnInitDialog() {
  HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  m_dpi = ui::WindowDpi(Hwnd());
  InitControls();
  RestorePlacement();
  m_kind = RangeKind::Last30Days;
  for (const auto& b : kRangeButtons) CheckDlgButton(Hwnd(), b.id, b.kind == m_kind ? BST_CHECKED : BST_UNCHECKED);
  Layout();
  LoadComputers();
  ShowTab(kTabDays);
  Reload();
  return TRUE;
}

void CHistoryDlg::OnSyncChanged() {
  if (!Hwnd()) return;
  LoadComputers();
  Reload();
  ShowTab(m_tab);
}

void CHistoryDlg::LoadComputers() {
  const SyncSettings sync = ReadSyncSettings();
  m_folder = sync.folder;
  std::string why;
  HistoryStore* own = m_source ? m_source->ReadableStore(&why) : nullptr;
  const std::string ownId = own ? own->ComputerId() : "";
  // Nothing shared without a folder, and never before this computer's own
  // id is known: its copy in the folder must not be counted twice.
  if (m_folder.empty() || ownId.empty()) {
    m_peers.Clear();
  } else {
    m_peers.Load(m_folder, ownId, LocalPlace(L"computers"));
  }
  HWND combo = GetDlgItem(Hwnd(), IDC_HIST_COMPUTER);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  if (!m_folder.empty()) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(kAllComputers).c_str()));
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(sync.name).c_str()));
  for (size_t i = 0; i < m_peers.Size(); ++i) {
    const std::string& name = m_peers.Who(i).name.empty() ? m_peers.Who(i).id : m_peers.Who(i).name;
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
  // Without a folder the list has this computer alone; a computer no
  // longer there gives way to all of them.
  if (m_folder.empty() || m_computer >= 2 + static_cast<int>(m_peers.Size())) m_computer = m_folder.empty() ? 1 : 0;
  SendMessageW(combo, CB_SETCURSEL, m_folder.empty() ? 0 : m_computer, 0);
}

MergedHistory* CHistoryDlg::Readable(std::string* why) {
  HistoryStore* own = m_source ? m_source->ReadableStore(why) : nullptr;
  if (!own) return nullptr;
  std::vector<HistoryStore*> stores;
  if (m_computer <= 1) stores.push_back(own);
  for (size_t i = 0; i < m_peers.Size(); ++i) {
    if (m_computer == 0 || m_computer == 2 + static_cast<int>(i)) stores.push_back(m_peers.Store(i));
  }
  m_merged.Set(std::move(stores));
  return &m_merged;
}

std::string CHistoryDlg::NoticeText(bool noHistory) const {
  std::string text = noHistory ? kNoHistory : "";
  auto add = [&](const std::string& more) { text += (text.empty() ? "" : "；") + more; };
  if (!m_folder.empty() && !m_peers.Reachable()) {
    add(FormatText("无法访问同步文件夹 %s,只显示本机", m_folder.c_str()));
  }
  for (const SkippedCopy& s : m_peers.Skipped()) {
    add(FormatText(s.why == SkipReason::Newer ? "未读取 %s:来自更新的版本" : "未读取 %s:不是完整的历史记录",
                   s.file.c_str()));
  }
  return text;
}

void CHistoryDlg::InitControls() {
  HWND dlg = Hwnd();
  HWND tab = GetDlgItem(dlg, IDC_HIST_TAB);
  for (int i = 0; i < kTabCount; ++i) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    std::wstring name = Wide(kTabNames[i]);
    item.pszText = name.data();
    SendMessageW(tab, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  HWND combo = GetDlgItem(dlg, IDC_HIST_FIGURE);
  for (DayFigure f : {DayFigure::Clicks, DayFigure::Keys, DayFigure::Wheel, DayFigure::Metres, DayFigure::ActiveTime}) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(DayFigureName(f)).c_str()));
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(m_figure), 0);

  const char* dayNames[kDayColumns];
  int dayWidths[kDayColumns];
  for (int c = 0; c < kDayColumns; ++c) {
    dayNames[c] = DayColumnName(static_cast<DayColumn>(c));
    dayWidths[c] = c == 0 ? 96 : 72;
  }
  AddColumns(GetDlgItem(dlg, IDC_HIST_DAYS), dayNames, kDayColumns, dayWidths, m_dpi);
  static const int kProgramWidths[] = {200, 90, 90, 90, 80};
  AddColumns(GetDlgItem(dlg, IDC_HIST_PROGRAMS), kProgramColumns, 5, kProgramWidths, m_dpi);
  static const int kKeyWidths[] = {120, 90, 80};
  AddColumns(GetDlgItem(dlg, IDC_HIST_TOPKEYS), kKeyColumns, 3, kKeyWidths, m_dpi);
  MarkSorted(GetDlgItem(dlg, IDC_HIST_DAYS), m_daySortColumn, m_daySortAscending);

  m_chart.Create(dlg, IDC_HIST_CHART);
  if (m_heatMap.Create(dlg, IDC_HIST_HEATMAP)) m_heatMapHwnd = m_heatMap.Hwnd();
  if (m_keyboard.Create(dlg, IDC_HIST_KEYBOARD)) m_keyboardHwnd = m_keyboard.Hwnd();
  // The tab control stays behind the pages laid over it.
  SetWindowPos(tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CHistoryDlg::RestorePlacement() {
  ProfileStore& p = Profile();
  const uint32_t w = p.ReadInt(kSection, "Width", kUnset), h = p.ReadInt(kSection, "Height", kUnset);
  const uint32_t x = p.ReadInt(kSection, "Left", kUnset), y = p.ReadInt(kSection, "Top", kUnset);
  RECT now;
  GetWindowRect(Hwnd(), &now);
  PixelRect wanted = {now.left, now.top, now.right, now.bottom};
  const bool saved = w != kUnset && h != kUnset && x != kUnset && y != kUnset;
  if (saved) {
    // Left and top are kept as the bits of a signed number: a monitor left
    // of or above the main one has negative coordinates.
    const int left = static_cast<int32_t>(x), top = static_cast<int32_t>(y);
    wanted = {left, top, left + static_cast<int>(w & 0xFFFF), top + static_cast<int>(h & 0xFFFF)};
  } else if (HWND owner = GetWindow(Hwnd(), GW_OWNER)) {
    // The first time: centred on the main window, where it comes back to
    // when it is in the tray now.
    WINDOWPLACEMENT owp = {};
    owp.length = sizeof owp;
    RECT o;
    if (IsWindowVisible(owner) && !IsIconic(owner)) {
      GetWindowRect(owner, &o);
    } else if (GetWindowPlacement(owner, &owp)) {
      o = owp.rcNormalPosition;
    } else {
      o = now;
    }
    const int cx = (o.left + o.right) / 2, cy = (o.top + o.bottom) / 2;
    const int width = std::max<int>(wanted.Width(), dpi::Scale(kHistoryMinWidth, m_dpi));
    const int height = std::max<int>(wanted.Height(), dpi::Scale(kHistoryMinHeight, m_dpi));
    wanted = {cx - width / 2, cy - height / 2, cx - width / 2 + width, cy - height / 2 + height};
  }
  const RECT wr = {wanted.left, wanted.top, wanted.right, wanted.bottom};
  MONITORINFO mi = {};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoW(MonitorFromRect(&wr, MONITOR_DEFAULTTONEAREST), &mi)) return;
  const PixelRect work = {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
  const PixelRect r = PlaceInWorkArea(wanted, work, m_dpi);
  SetWindowPos(Hwnd(), nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHistoryDlg::SavePlacement() {
  WINDOWPLACEMENT wp = {};
  wp.length = sizeof wp;
  RECT r;
  if (IsIconic(Hwnd()) || IsZoomed(Hwnd())) {
    // The size it comes back to, not the maximised or minimised one. The
    // normal position is in work-area coordinates; close enough for the
    // clamp at the next start.
    if (!GetWindowPlacement(Hwnd(), &wp)) return;
    r = wp.rcNormalPosition;
  } else if (!GetWindowRect(Hwnd(), &r)) {
    return;
  }
  ProfileStore& p = Profile();
  p.WriteInt(kSection, "Left", static_cast<uint32_t>(r.left));
  p.WriteInt(kSection, "Top", static_cast<uint32_t>(r.top));
  p.WriteInt(kSection, "Width", static_cast<uint32_t>(r.right - r.left));
  p.WriteInt(kSection, "Height", static_cast<uint32_t>(r.bottom - r.top));
}

void CHistoryDlg::Layout() {
  HWND dlg = Hwnd();
  RECT client;
  GetClientRect(dlg, &client);
  const auto px = [this](int length) { return dpi::Scale(length, m_dpi); };
  const int margin = px(8);
  // The top row stays where the template put it; the export button keeps
  // to the right edge.
  const RECT exportRc = ChildRect(dlg, IDC_HIST_EXPORT);
  const int exportW = exportRc.right - exportRc.left;
  Place(GetDlgItem(dlg, IDC_HIST_EXPORT), client.right - margin - exportW, exportRc.top, exportW,
        exportRc.bottom - exportRc.top);
  // The second row: the computers on the left, 删除… under the export.
  const RECT deleteRc = ChildRect(dlg, IDC_HIST_DELETE);
  Place(GetDlgItem(dlg, IDC_HIST_DELETE), client.right - margin - exportW, deleteRc.top, exportW,
        deleteRc.bottom - deleteRc.top);
  const int tabTop = deleteRc.bottom + px(6);
  HWND tab = GetDlgItem(dlg, IDC_HIST_TAB);
  Place(tab, margin, tabTop, client.right - 2 * margin, client.bottom - tabTop - margin);
  RECT page = ChildRect(dlg, IDC_HIST_TAB);
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  InflateRect(&page, -px(4), -px(4));
  const int pw = page.right - page.left, ph = page.bottom - page.top;

  // 每日: the figure's combo box, the chart, the table under it.
  const RECT comboRc = ChildRect(dlg, IDC_HIST_FIGURE);
  const RECT labelRc = ChildRect(dlg, IDC_HIST_FIGURE_LABEL);
  const int comboH = comboRc.bottom - comboRc.top;
  const int labelW = labelRc.right - labelRc.left;
  const int gap = px(4);
  Place(GetDlgItem(dlg, IDC_HIST_FIGURE_LABEL), page.left, page.top + gap, labelW, labelRc.bottom - labelRc.top);
  Place(GetDlgItem(dlg, IDC_HIST_FIGURE), page.left + labelW + gap, page.top, comboRc.right - comboRc.left, px(160));
  const int chartTop = page.top + comboH + gap;
  const int chartH = (ph - comboH - gap) * 11 / 20;
  Place(m_chart.Hwnd(), page.left, chartTop, pw, chartH);
  Place(GetDlgItem(dlg, IDC_HIST_DAYS), page.left, chartTop + chartH + gap, pw, page.bottom - chartTop - chartH - gap);
  // 时段: the heat map over the whole page.
  Place(m_heatMapHwnd, page.left, page.top, pw, ph);
  // 按键: the keyboard, the ten keys under it.
  const int keyboardH = ph * 3 / 5;
  Place(m_keyboardHwnd, page.left, page.top, pw, keyboardH);
  Place(GetDlgItem(dlg, IDC_HIST_TOPKEYS), page.left, page.top + keyboardH + gap, pw, ph - keyboardH - gap);
  // 程序
  Place(GetDlgItem(dlg, IDC_HIST_PROGRAMS), page.left, page.top, pw, ph);
  PlaceMessage();
}

void CHistoryDlg::OnDpiChanged(int dpi, const RECT* suggested) {
  const int old = m_dpi;
  m_dpi = dpi > 0 ? dpi : dpi::kBaseDpi;
  for (int id : {IDC_HIST_DAYS, IDC_HIST_PROGRAMS, IDC_HIST_TOPKEYS}) {
    HWND list = GetDlgItem(Hwnd(), id);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    const int count = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int c = 0; c < count; ++c) {
      const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
      SendMessageW(list, LVM_SETCOLUMNWIDTH, c, MAKELPARAM(dpi::ScaleBetween(width, old, m_dpi), 0));
    }
  }
  m_chart.SetDpi(m_dpi);
  m_heatMap.SetDpi(m_dpi);
  m_keyboard.SetDpi(m_dpi);
  if (suggested) {
    SetWindowPos(Hwnd(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  Layout();
}

void CHistoryDlg::PlaceMessage() {
  HWND dlg = Hwnd();
  HWND tab = GetDlgItem(dlg, IDC_HIST_TAB);
  RECT page = ChildRect(dlg, IDC_HIST_TAB);
  const RECT tabRc = page;
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&page));
  HWND label = GetDlgItem(dlg, IDC_HIST_MESSAGE);
  if (!m_message.empty()) {
    // Instead of the views: across the middle of the page.
    const int h = dpi::Scale(20, m_dpi);
    Place(label, page.left, (page.top + page.bottom) / 2 - h / 2, page.right - page.left, h);
    return;
  }
  // Over the views: in the strip of the tabs, right of the last one.
  RECT last = {};
  SendMessageW(tab, TCM_GETITEMRECT, kTabCount - 1, reinterpret_cast<LPARAM>(&last));
  const int left = tabRc.left + last.right + dpi::Scale(12, m_dpi), inset = dpi::Scale(3, m_dpi);
  Place(label, left, tabRc.top + last.top + inset, std::max(0, static_cast<int>(tabRc.right) - dpi::Scale(8, m_dpi) - left),
        last.bottom - last.top - inset);
}

void CHistoryDlg::ShowTab(int tab) {
  m_tab = std::clamp(tab, 0, kTabCount - 1);
  HWND dlg = Hwnd();
  SendDlgItemMessageW(dlg, IDC_HIST_TAB, TCM_SETCURSEL, m_tab, 0);
  const bool message = !m_message.empty();
  auto show = [&](HWND hwnd, bool visible) {
    if (hwnd) ShowWindow(hwnd, visible && !message ? SW_SHOWNA : SW_HIDE);
  };
  show(GetDlgItem(dlg, IDC_HIST_FIGURE_LABEL), m_tab == kTabDays);
  show(GetDlgItem(dlg, IDC_HIST_FIGURE), m_tab == kTabDays);
  show(m_chart.Hwnd(), m_tab == kTabDays);
  show(GetDlgItem(dlg, IDC_HIST_DAYS), m_tab == kTabDays);
  show(m_heatMapHwnd, m_tab == kTabHours);
  show(m_keyboardHwnd, m_tab == kTabKeys);
  show(GetDlgItem(dlg, IDC_HIST_TOPKEYS), m_tab == kTabKeys);
  show(GetDlgItem(dlg, IDC_HIST_PROGRAMS), m_tab == kTabPrograms);
  PlaceMessage();
  const std::string& said = message ? m_message : m_notice;
  SetDlgItemTextW(dlg, IDC_HIST_MESSAGE, Wide(said).c_str());
  ShowWindow(GetDlgItem(dlg, IDC_HIST_MESSAGE), said.empty() ? SW_HIDE : SW_SHOWNA);
  if (!message && !m_tabLoaded[m_tab]) LoadTab(m_tab);
}

void CHistoryDlg::ChooseRange(RangeKind kind) {
  m_kind = kind;
  Reload();
}

void CHistoryDlg::SetPickers() {
  m_settingPickers = true;
  SYSTEMTIME from = ToSystemTime(m_range.from), to = ToSystemTime(m_range.to);
  SendDlgItemMessageW(Hwnd(), IDC_HIST_FROM, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&from));
  SendDlgItemMessageW(Hwnd(), IDC_HIST_TO, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&to));
  m_settingPickers = false;
}

void CHistoryDlg::OnPickerChange() {
  if (m_settingPickers) return;
  SYSTEMTIME from = {}, to = {};
  if (SendDlgItemMessageW(Hwnd(), IDC_HIST_FROM, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&from)) != GDT_VALID ||
      SendDlgItemMessageW(Hwnd(), IDC_HIST_TO, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&to)) != GDT_VALID) {
    return;
  }
  m_kind = RangeKind::Custom;
  m_range = CustomRange({from.wYear, from.wMonth, from.wDay}, {to.wYear, to.wMonth, to.wDay});
  for (const auto& b : kRangeButtons) CheckDlgButton(Hwnd(), b.id, BST_UNCHECKED);
  Reload();
}

void CHistoryDlg::ShowMessage(const std::string& text) {
  m_message = text;
  m_days.clear();
  m_daysShown.clear();
  m_dayTotal = DayRow();
  m_programs.clear();
  m_topKeys.clear();
  m_chart.SetDays(m_days, m_figure);
  FillDaysList();
  SetRowCount(GetDlgItem(Hwnd(), IDC_HIST_PROGRAMS), 0);
  SetRowCount(GetDlgItem(Hwnd(), IDC_HIST_TOPKEYS), 0);
  ShowTab(m_tab);
}

void CHistoryDlg::Reload() {
  const Date today = Today();
  std::string why;
  MergedHistory* store = Readable(&why);
  if (!store) {
    ShowMessage(why.empty() ? kUnreadable : why);
    return;
  }
  // The first day in the file: the start of 全部, and whether there is any.
  const std::string first = store->FirstDate();
  if (!store->LastRead().Ok()) {
    ShowMessage(kUnreadable);
    return;
  }
  Date firstDate = today;
  if (!first.empty() && !ParseDate(first, &firstDate)) firstDate = today;
  if (m_kind != RangeKind::Custom) {
    m_range = RangeFor(m_kind, today, firstDate);
    SetPickers();
  }
  // No history yet: the views show the range's days as zeros, as any day
  // without Tallivo running, and the strip of the tabs says why.
  const std::string hadNotice = m_notice;
  m_notice = NoticeText(first.empty());
  const std::vector<DayRow> rows =
      first.empty() ? std::vector<DayRow>() : store->Days(DateText(m_range.from), DateText(m_range.to));
  if (!store->LastRead().Ok()) {
    ShowMessage(kUnreadable);
    return;
  }
  const bool wasMessage = !m_message.empty();
  m_message.clear();
  m_days = FillDays(rows, m_range);
  m_dayTotal = TotalOf(m_days);
  m_chart.SetDays(m_days, m_figure);
  SortDaysBy(m_daySortColumn, false);
  for (bool& loaded : m_tabLoaded) loaded = false;
  m_tabLoaded[kTabDays] = true;
  if (m_tab != kTabDays || wasMessage || hadNotice != m_notice) ShowTab(m_tab);
}

void CHistoryDlg::LoadTab(int tab) {
  m_tabLoaded[tab] = true;
  if (tab == kTabDays) return;  // read with the range
  std::string why;
  MergedHistory* store = Readable(&why);
  if (!store) {
    ShowMessage(why.empty() ? kUnreadable : why);
    return;
  }
  const std::string from = DateText(m_range.from), to = DateText(m_range.to);
  HWND dlg = Hwnd();
  switch (tab) {
    case kTabHours: {
      const WeekHourGrid grid = WeekHours(store->Hours(from, to));
      m_heatMap.SetGrid(grid);
      break;
    }
    case kTabKeys: {
      std::vector<KeyTotal> totals = KeyTotals(store->Keys(from, to));
      m_keyboard.SetCounts(totals);
      m_keyStrokes = 0;
      for (const KeyTotal& k : totals) m_keyStrokes += k.strokes;
      if (totals.size() > 10) totals.resize(10);
      m_topKeys = std::move(totals);
      SetRowCount(GetDlgItem(dlg, IDC_HIST_TOPKEYS), m_topKeys.size());
      break;
    }
    case kTabPrograms:
      m_programs = ProgramShares(store->Programs(from, to));
      if (m_programSortColumn >= 0) SortProgramsBy(m_programSortColumn, false);
      SetRowCount(GetDlgItem(dlg, IDC_HIST_PROGRAMS), m_programs.size());
      break;
    default: break;
  }
  if (!store->LastRead().Ok()) ShowMessage(kUnreadable);
}

void CHistoryDlg::FillDaysList() {
  // The totals row comes last, whatever the order of the days above it.
  const size_t rows = m_daysShown.empty() ? 0 : m_daysShown.size() + 1;
  SetRowCount(GetDlgItem(Hwnd(), IDC_HIST_DAYS), rows);
}

void CHistoryDlg::SortDaysBy(int column, bool toggle) {
  if (toggle) {
    m_daySortAscending = column == m_daySortColumn ? !m_daySortAscending : true;
    m_daySortColumn = column;
  }
  m_daysShown = m_days;
  SortDays(&m_daysShown, static_cast<DayColumn>(m_daySortColumn), m_daySortAscending);
  // The header's arrow moves only with the order (a new range keeps it).
  if (toggle) MarkSorted(GetDlgItem(Hwnd(), IDC_HIST_DAYS), m_daySortColumn, m_daySortAscending);
  FillDaysList();
}

void CHistoryDlg::SortProgramsBy(int column, bool toggle) {
  if (toggle) {
    // Figures start with the most; the name with A.
    m_programSortAscending = column == m_programSortColumn ? !m_programSortAscending : column == 0;
    m_programSortColumn = column;
  }
  const bool asc = m_programSortAscending;
  auto key = [column = m_programSortColumn](const ProgramShare& p) -> uint64_t {
    switch (column) {
      case 1: return p.clicks;
      case 2: return p.wheel;
      case 3: return p.keys;
      default: return p.events;
    }
  };
  // Start from the list's own order (most events first) so that ties keep it.
  m_programs = [&] {
    std::vector<ProgramShare> v = m_programs;
    std::stable_sort(v.begin(), v.end(), [](const ProgramShare& a, const ProgramShare& b) {
      return a.events != b.events ? a.events > b.events : a.exe < b.exe;
    });
    return v;
  }();
  std::stable_sort(m_programs.begin(), m_programs.end(), [&](const ProgramShare& a, const ProgramShare& b) {
    if (m_programSortColumn == 0) return asc ? a.exe < b.exe : a.exe > b.exe;
    return asc ? key(a) < key(b) : key(a) > key(b);
  });
  MarkSorted(GetDlgItem(Hwnd(), IDC_HIST_PROGRAMS), m_programSortColumn, asc);
  SetRowCount(GetDlgItem(Hwnd(), IDC_HIST_PROGRAMS), m_programs.size());
}

std::string CHistoryDlg::CellText(int list, int row, int column) const {
  if (row < 0 || column < 0) return std::string();
  const size_t r = static_cast<size_t>(row);
  switch (list) {
    case IDC_HIST_DAYS:
      if (column >= kDayColumns) return std::string();
      if (r < m_daysShown.size()) return DayCellText(m_daysShown[r], static_cast<DayColumn>(column));
      if (r == m_daysShown.size())
        return column == 0 ? "合计" : DayCellText(m_dayTotal, static_cast<DayColumn>(column));
      return std::string();
    case IDC_HIST_PROGRAMS: {
      if (r >= m_programs.size()) return std::string();
      const ProgramShare& p = m_programs[r];
      switch (column) {
        case 0: return p.exe;
        case 1: return FormatText("%llu", static_cast<unsigned long long>(p.clicks));
        case 2: return FormatText("%llu", static_cast<unsigned long long>(p.wheel));
        case 3: return FormatText("%llu", static_cast<unsigned long long>(p.keys));
        case 4: return p.percentText;
        default: return std::string();
      }
    }
    case IDC_HIST_TOPKEYS: {
      if (r >= m_topKeys.size()) return std::string();
      const KeyTotal& k = m_topKeys[r];
      switch (column) {
        case 0: return KeyName(k.vk);
        case 1: return FormatText("%llu", static_cast<unsigned long long>(k.strokes));
        case 2: return PercentText(k.strokes, m_keyStrokes);
        default: return std::string();
      }
    }
    default: return std::string();
  }
}

bool CHistoryDlg::GetDispInfo(const NMHDR* hdr) {
  if (hdr->code != LVN_GETDISPINFOW) return false;
  auto* info = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(hdr));
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return true;
  const std::wstring text =
      Wide(CutToUtf16Units(CellText(static_cast<int>(hdr->idFrom), info->item.iItem, info->item.iSubItem),
                           static_cast<size_t>(info->item.cchTextMax - 1)));
  std::memcpy(info->item.pszText, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  return true;
}

bool CHistoryDlg::OnNotify(const NMHDR* hdr, LRESULT* result) {
  *result = 0;
  switch (hdr->idFrom) {
    case IDC_HIST_TAB:
      if (hdr->code != TCN_SELCHANGE) return false;
      ShowTab(static_cast<int>(SendMessageW(hdr->hwndFrom, TCM_GETCURSEL, 0, 0)));
      return true;
    case IDC_HIST_FROM:
    case IDC_HIST_TO:
      if (hdr->code != DTN_DATETIMECHANGE) return false;
      OnPickerChange();
      return true;
    case IDC_HIST_DAYS:
    case IDC_HIST_PROGRAMS:
    case IDC_HIST_TOPKEYS:
      if (GetDispInfo(hdr)) return true;
      if (hdr->code == LVN_COLUMNCLICK) {
        const int column = reinterpret_cast<const NMLISTVIEW*>(hdr)->iSubItem;
        if (hdr->idFrom == IDC_HIST_DAYS) SortDaysBy(column, true);
        if (hdr->idFrom == IDC_HIST_PROGRAMS) SortProgramsBy(column, true);
        return true;
      }
      return false;
    default: return false;
  }
}

bool CHistoryDlg::OnCommand(WORD id, WORD code, HWND control) {
  for (const auto& b : kRangeButtons) {
    if (id == b.id && code == BN_CLICKED) {
      CheckDlgButton(Hwnd(), b.id, BST_CHECKED);
      ChooseRange(b.kind);
      return true;
    }
  }
  switch (id) {
    case IDC_HIST_FIGURE:
      if (code == CBN_SELCHANGE) {
        const LRESULT sel = SendDlgItemMessageW(Hwnd(), IDC_HIST_FIGURE, CB_GETCURSEL, 0, 0);
        if (sel >= 0 && sel <= static_cast<LRESULT>(DayFigure::ActiveTime)) m_figure = static_cast<DayFigure>(sel);
        m_chart.SetDays(m_days, m_figure);
      }
      return true;
    case IDC_HIST_COMPUTER:
      if (code == CBN_SELCHANGE) {
        const int sel = static_cast<int>(SendDlgItemMessageW(Hwnd(), IDC_HIST_COMPUTER, CB_GETCURSEL, 0, 0));
        // Without a folder the only entry is this computer.
        if (sel >= 0) m_computer = m_folder.empty() ? 1 : sel;
        Reload();
        ShowTab(m_tab);
      }
      return true;
    case IDC_HIST_EXPORT: OnExport(); return true;
    case IDC_HIST_DELETE: OnDelete(); return true;
    default: return ui::CDialog::OnCommand(id, code, control);
  }
}

void CHistoryDlg::OnFinalDestroy() {
  // Ready to be opened afresh; the private copies are let go.
  m_peers.Clear();
  m_merged.Set({});
  m_refreshPosted = false;
  m_message.clear();
  for (bool& loaded : m_tabLoaded) loaded = false;
  m_days.clear();
  m_daysShown.clear();
  m_programs.clear();
  m_topKeys.clear();
  m_heatMapHwnd = nullptr;
  m_keyboardHwnd = nullptr;
}

void CHistoryDlg::OnCancel() {
  // Esc and the close button: the window goes, and with it what it read.
  DestroyWindow(Hwnd());
}

void CHistoryDlg::OnExport() {
  CsvTable table = static_cast<CsvTable>(m_tab);
  const Range range = m_range;
  const std::string path = AskCsvPath(Hwnd(), range, &table);
  if (path.empty()) return;
  std::string why;
  MergedHistory* store = Readable(&why);
  if (!store) {
    ui::AppMessageBox(Hwnd(), why.empty() ? kUnreadable : why, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const std::string from = DateText(range.from), to = DateText(range.to);
  std::string bytes;
  switch (table) {
    case CsvTable::Days: bytes = CsvDays(FillDays(store->Days(from, to), range)); break;
    case CsvTable::Hours: bytes = CsvHours(store->Hours(from, to)); break;
    case CsvTable::Keys: bytes = CsvKeys(store->Keys(from, to)); break;
    case CsvTable::Programs: bytes = CsvPrograms(store->Programs(from, to)); break;
  }
  if (!store->LastRead().Ok()) {
    // An empty file that looks complete would be worse than none.
    ui::AppMessageBox(Hwnd(), kUnreadable, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (const uint32_t error = WriteFileReplacing(path, bytes)) ShowExportError(Hwnd(), error, path);
}

void CHistoryDlg::OnDelete() {
  const Range range = m_range;
  const std::string from = DateText(range.from), to = DateText(range.to);
  const std::string span = from == to ? from : from + " 至 " + to;
  const std::string question =
      FormatText("从本机的历史记录中删除 %s 的数据吗?\n\n删除后无法恢复;其他电脑的记录不受影响。", span.c_str());
  if (ui::PromptBox(Hwnd(), question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  std::string why;
  HistoryStore* own = m_source ? m_source->ReadableStore(&why) : nullptr;
  const StoreResult r = own ? own->DeleteDays(from, to) : StoreResult{StoreError::CannotOpen, "", why};
  if (!r.Ok()) {
    OutputDebugStringW(Wide("Tallivo: cannot delete from the history: " + r.detail + "\n").c_str());
    ui::AppMessageBox(Hwnd(), why.empty() ? kUnreadable : why, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  m_source->HistoryChanged();
  Reload();
  ShowTab(m_tab);
}

INT_PTR CHistoryDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
  switch (msg) {
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnNotify(reinterpret_cast<const NMHDR*>(lp), &result)) {
        *handled = true;
        return result;
      }
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      mmi->ptMinTrackSize = {dpi::Scale(kHistoryMinWidth, m_dpi), dpi::Scale(kHistoryMinHeight, m_dpi)};
      *handled = true;
      return 0;
    }
    case WM_INPUTLANGCHANGE:
      m_keyboard.FollowLayout();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
      // On to the dialog manager, which scales the template's controls and font.
      return 0;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) Layout();
      // Writes that came while it was minimised were not read.
      if (wp != SIZE_MINIMIZED && m_refreshPosted) PostMessageW(Hwnd(), WM_HISTORY_WRITTEN, 0, 0);
      return 0;
    case WM_HISTORY_WRITTEN:
      *handled = true;
      if (IsIconic(Hwnd())) return 0;  // read when restored (WM_SIZE)
      m_refreshPosted = false;
      Reload();
      return 0;
    case WM_DESTROY: SavePlacement(); return 0;
    default: return 0;
  }
}

}  // namespace tallivo::history
