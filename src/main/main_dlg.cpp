#include "main/main_dlg.h"

#include <commctrl.h>

#include <cstring>
#include <ctime>
#include <utility>

#include "base/messages.h"
#include "base/profile_store.h"
#include "base/version.h"
#include "main/tray_rules.h"
#include "res/resource.h"
#include "stats/hook_library.h"
#include "stats/stats_text.h"
#include "stats/time_text.h"
#include "ui/dpi.h"
#include "ui/dpi_rules.h"
#include "update/update_dlg.h"

using namespace tallivo;

namespace {

constexpr wchar_t kCaption[] = L"泰利沃v" TALLIVO_VERSION_TEXT "版";
constexpr char kExitQuestion[] = "你是否确定退出？";
constexpr char kClearQuestion[] = "是否全面清空,可以重新统计";

// Broadcast by a restarted shell; the tray icon has to be added again.
const UINT kTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");

void CallSkinAttach() {
  // An optional library: a missing or broken one never stops start-up. Only
  // our own copy: a SkinH.dll in the current directory or on PATH is not ours.
  HMODULE skin = hooklib::LoadFromProgramFolder("SkinH.dll");
  if (!skin) return;
  using AttachFn = int (*)();
  auto attach = reinterpret_cast<AttachFn>(reinterpret_cast<void*>(GetProcAddress(skin, "SkinH_Attach")));
  if (attach) attach();
}

}  // namespace

CMainStatsDlg::CMainStatsDlg() : CMagDialog(IDD_MAIN) {
  m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CMainStatsDlg::~CMainStatsDlg() {
  for (HICON icon : {m_smallIcon, m_bigIcon, m_trayIcon})
    if (icon) DestroyIcon(icon);
  if (m_banner) DeleteObject(m_banner);
}

void CMainStatsDlg::LoadIcons() {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  auto load = [&](int cx, int cy) {
    return static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, cx, cy, 0));
  };
  // The shell draws the tray icon at its own small-icon size.
  if (!m_trayIcon) m_trayIcon = load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  HICON small = load(ui::MetricForDpi(SM_CXSMICON, m_dpi), ui::MetricForDpi(SM_CYSMICON, m_dpi));
  HICON big = m_dpi != 96 ? load(ui::MetricForDpi(SM_CXICON, m_dpi), ui::MetricForDpi(SM_CYICON, m_dpi)) : nullptr;
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big ? big : m_hIcon));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : m_hIcon));
  // The icons of the DPI before are ours to free; the shared 96-DPI one is not.
  for (auto [kept, now] : {std::pair{&m_smallIcon, small}, {&m_bigIcon, big}}) {
    if (*kept) DestroyIcon(*kept);
    *kept = now;
  }
}

void CMainStatsDlg::ScaleBanner() {
  ui::ShowPictureAtDpi(Hwnd(), IDC_BANNER, IDB_BANNER, m_dpi, &m_banner);
}

void CMainStatsDlg::ApplyDpi() {
  LoadIcons();
  ScaleBanner();
  if (m_statusBar) {
    int parts[2] = {dpi::Scale(190, m_dpi), dpi::Scale(400, m_dpi)};
    SendMessageW(m_statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SendMessageW(m_statusBar, WM_SIZE, 0, 0);
  }
  if (m_hourPage.Hwnd()) m_hourPage.SetDpi(m_dpi);
  if (m_dayPage.Hwnd()) m_dayPage.SetDpi(m_dpi);
}

void CMainStatsDlg::OnDpiChanged(int dpi, const RECT* suggested) {
  m_dpi = dpi > 0 ? dpi : 96;
  if (suggested) ui::PlaceWithinWorkArea(Hwnd(), *suggested);
  ApplyDpi();
}

BOOL CMainStatsDlg::OnInitDialog() {
  HWND hwnd = Hwnd();
  ui::SetMainWindow(hwnd);
  // 1. The cursor label starts empty; the template text is never seen.
  SetItemText(IDC_CURSOR_POS, "");
  m_tabSheet.AttachItem(hwnd, IDC_TAB);

  // 2. System menu: separator and the about item.
  if (HMENU sys = GetSystemMenu(hwnd, FALSE)) {
    wchar_t about[128] = {};
    if (LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 128) > 0 && about[0]) {
      AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
      AppendMenuW(sys, MF_STRING, IDM_ABOUT, about);
    }
  }
  // 3. Icons, at the window's DPI, and the window within its work area.
  m_dpi = ui::WindowDpi(hwnd);
  LoadIcons();
  RECT wr;
  if (GetWindowRect(hwnd, &wr)) ui::PlaceWithinWorkArea(hwnd, wr);
  // 4. Skin.
  CallSkinAttach();
  // 5. Caption.
  SetWindowTextW(hwnd, kCaption);
  // 6. Today's date.
  m_dayClock = DayClock(time(nullptr));
  TakeDate();
  // 7. The day's figures, when they were saved today.
  LoadDayFigures();
  // 8. Global counting. A failure is reported by the hook watchdog at the
  // first tick of the second timer, once the window runs.
  m_globalHooks.Start(hwnd);
  // 9. Timers. The texts of each second are there from the first paint,
  // not only from the first tick.
  ShowRunTimeAndClock();
  RefreshUptime();
  // The first tick writes every text, whether the window shows or goes to
  // the tray; later ones only where somebody sees them.
  m_writeAll = true;
  StartRefresh();
  SetTimer(hwnd, TIMER_SECOND, kSecondMs, nullptr);
  // A sync folder set before the start: a copy with the first second.
  m_sync = history::ReadSyncSettings();
  if (!m_sync.folder.empty()) m_copySchedule.FolderSet();
  // Breaks, when on.
  StartBreaks(breaks::ReadBreakSettings(Profile()));
  // 10. The show/hide hotkey from the stored letter.
  RegisterStoredHotkey();
  // 11. Cursor start position.
  POINT pt = {};
  GetCursorPos(&pt);
  m_distance.SetStart({pt.x, pt.y});
  // 12. Start with Windows, and its check mark.
  RestoreAutoStart();
  // 13. Tray record (the icon itself is added at the first minimise).
  m_tray.Init(hwnd, WM_TRAY_NOTIFY, m_trayIcon ? m_trayIcon : m_hIcon);
  // 14. First-run flag: the first start records itself, later ones go to the tray.
  const StartAction start = StartActionForFlag(static_cast<int>(Profile().ReadInt("Auto", "AutoData", 0)));
  if (start.writeFlagOne) Profile().WriteInt("Auto", "AutoData", 1);
  if (start.startHidden) PostMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  // 15. Screen measurement.
  MeasureScreen();
  // 16. Status bar.
  CreateStatusBar();
  // 17. Chart pages in the tab sheet.
  CreateChartPages();
  ApplyDpi();
  // 19. Seed the curves: the first point counts the events since start-up,
  // not the figures restored for the day.
  SeedCharts();
  // 18. Per-process panel: hidden until asked for, so it is made once the
  // window is on screen (a timer comes after the first paint). Its picker
  // lists the processes, which takes as long as the rest of start-up.
  SetTimer(hwnd, TIMER_LATE_START, 0, nullptr);
  return TRUE;
}

void CMainStatsDlg::CreateProcessPanel() {
  KillTimer(Hwnd(), TIMER_LATE_START);
  // A dialog made takes the focus for its first control, hidden or not:
  // it goes back to where the user (or a dialog opened meanwhile) had it.
  HWND focus = GetFocus();
  // Hidden, docked on the right with every side allowed.
  m_processPanel.Create(Hwnd());
  if (focus && GetFocus() != focus && IsWindow(focus)) SetFocus(focus);
  AddMagChild(&m_processPanel, TRUE, MAG_RIGHT);
  m_processPanel.SetMagParent(MAG_ANY, this);
}

void CMainStatsDlg::MeasureScreen() {
  HDC dc = GetDC(Hwnd());
  int measured = 0;
  if (dc) {
    SetMapMode(dc, MM_LOMETRIC);
    POINT pts[2] = {{0, 0}, {10000, 10000}};
    if (LPtoDP(dc, pts, 2)) measured = pts[0].x - pts[1].x;
    ReleaseDC(Hwnd(), dc);
  }
  const float ppm = PixelsPerMetre(measured);
  m_distance.SetPixelsPerMetre(ppm);
}

void CMainStatsDlg::CreateStatusBar() {
  RECT rc;
  GetClientRect(Hwnd(), &rc);
  rc.top = rc.bottom - dpi::Scale(20, m_dpi);
  m_statusBar = CreateWindowExW(
      0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, Hwnd(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)), GetModuleHandleW(nullptr), nullptr);
  // Its parts are set by ApplyDpi, which follows.
}

void CMainStatsDlg::OnTimer(UINT_PTR id) {
  switch (id) {
    case TIMER_REFRESH: OnRefreshTick(); break;
    case TIMER_SECOND:
      TakeInput();
      TakePointerSamples();
      if (++m_secondsSinceLook >= 5) LookAtPointer();
      RollOverDayIfNeeded();
      // What the 100 ms tick does while the window is shown.
      if (!SomethingOnScreen()) FeedCharts();
      // Nobody sees the tip but when the pointer is on the icon (then the
      // 100 ms tick writes it): once a second is enough.
      RefreshTip();
      RefreshRunTimeAndClock();
      RefreshUptime();
      SaveChangedDayFigures();
      BreaksSecond(time(nullptr));
      FlushHistory(false);
      SyncTick();
      m_globalHooks.Watch(Hwnd());
      break;
    case TIMER_IDLE: CheckIdle(); break;
    case TIMER_LATE_START: CreateProcessPanel(); break;
    default: break;
  }
  m_labelPainter.Paint(Hwnd());
}

void CMainStatsDlg::LoadDayFigures() {
  const DayFigures f = tallivo::LoadDayFigures(Profile(), {m_startMonth, m_startDay, m_startYear});
  m_counters = f.counters;
  m_distance.SetPixels(f.movePixels);
  m_runSeconds = f.runSeconds;
}

DayFigures CMainStatsDlg::CurrentDayFigures() const {
  DayFigures f;
  f.counters = m_counters;
  f.movePixels = m_distance.Pixels();
  f.runSeconds = m_runSeconds;
  return f;
}

void CMainStatsDlg::SaveDayFigures() {
  m_daySaver.SaveAll(Profile(), {m_startMonth, m_startDay, m_startYear}, CurrentDayFigures());
}

void CMainStatsDlg::SaveChangedDayFigures() {
  m_daySaver.Save(Profile(), {m_startMonth, m_startDay, m_startYear}, CurrentDayFigures());
}

void CMainStatsDlg::TakeDate() {
  const StartDate& today = m_dayClock.Date();
  m_startMonth = today.month;
  m_startDay = today.day;
  m_startYear = today.year;
}

void CMainStatsDlg::RollOverDayIfNeeded(time_t now) {
  // The history needs nothing here: it files each event under its own time.
  if (!m_dayClock.Advance(now)) return;
  CarryChartsIntoNewDay();
  m_counters.Clear();
  m_totalClicks = 0;
  m_runSeconds = 0;
  m_distance.Clear();
  ShowLabel(IDC_MOVE_METRES, MetresLabel(0.0f));
  FeedCharts();
  RequestRefresh();
  TakeDate();
  // At once: a restart right after midnight must not bring back the old
  // day's figures under the new date, nor the new day's under the old.
  SaveDayFigures();
}

void CMainStatsDlg::DrainPendingInput() {
  // Events the hook kept or posted before it stopped are still waiting
  // when the window goes; count them so the last save has them.
  TakeInput();
  MSG msg;
  InputKind kind;
  while (PeekMessageW(&msg, Hwnd(), kGlobalInputFirst, kGlobalInputLast, PM_REMOVE)) {
    if (!InputKindForMessage(msg.message, &kind)) continue;
    RollOverDayIfNeeded();
    m_counters.Add(kind);
    RecordEvent(kind, msg.wParam);
  }
}

void CMainStatsDlg::OnClearStats() {
  if (ui::PromptBox(Hwnd(), kClearQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  // What came before the answer is cleared with the rest.
  TakeInput();
  m_counters.Clear();
  m_runSeconds = 0;
  m_distance.ClearPixels();
  // Neither curve may show the drop to zero as activity.
  ResetChartTotals();
  RequestRefresh();
}

void CMainStatsDlg::OnSize(WPARAM type) {
  if (type != SIZE_MINIMIZED) {
    OnShown();
    return;
  }
  m_tray.MinimiseToTray(static_cast<int>(Profile().ReadInt("Auto", "AutoData", 0)));
}

void CMainStatsDlg::OnShowWindow() {
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(Hwnd());
}

void CMainStatsDlg::OnTrayNotify(LPARAM mouseMsg) {
  switch (mouseMsg) {
    case WM_MOUSEMOVE:
      // The pointer is on the icon: its tip may show, keep it up to date.
      m_tipWatchedAt = GetTickCount();
      RefreshTip();
      RequestRefresh();
      break;
    case WM_LBUTTONDBLCLK: OnShowWindow(); break;
    case WM_RBUTTONUP: m_tray.ShowMenu(IDR_TRAY_MENU); break;
    default: break;
  }
}

void CMainStatsDlg::OnPaintIconic() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Hwnd(), &ps);
  SendMessageW(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT rc;
  GetClientRect(Hwnd(), &rc);
  const int x = (rc.right - rc.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (rc.bottom - rc.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_bigIcon ? m_bigIcon : m_hIcon);
  EndPaint(Hwnd(), &ps);
}

bool CMainStatsDlg::AskExit() { return ui::PromptBox(Hwnd(), kExitQuestion, MB_YESNO | MB_ICONEXCLAMATION) == IDYES; }

void CMainStatsDlg::OnExit() {
  if (!AskExit()) return;
  m_globalHooks.Stop();
  EndDialog(IDCANCEL);
}

bool CMainStatsDlg::OnClose() {
  // Returns true when the close was refused and default processing must not run.
  if (!AskExit()) return true;
  SaveDayFigures();
  return false;
}

void CMainStatsDlg::OnDestroy() {
  m_globalHooks.Stop();
  hooklib::StopTask();
  m_tray.Remove();
  // Every way out saves once more: the Exit command, Enter and Esc do not
  // ask, and a clear must not come back at the next start.
  DrainPendingInput();
  SaveDayFigures();
  FlushHistory(true);
  FinalCopy();
  ui::SetMainWindow(nullptr);
}

void CMainStatsDlg::OnProcSelect(DWORD threadId) {
  hooklib::StopTask();
  // What the stopped hook posted and this window has not counted yet
  // belongs to the previous choice, not to the new one.
  MSG msg;
  while (PeekMessageW(&msg, Hwnd(), kProcessInputFirst, kProcessInputLast, PM_REMOVE)) {
  }
  hooklib::StartTask(Hwnd(), threadId);
  OnProcReset();
}

void CMainStatsDlg::OnProcReset() {
  m_procCounters.Clear();
  RequestRefresh();
}

bool CMainStatsDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (OnToolCommand(id)) return true;
  switch (id) {
    case ID_EXIT: OnExit(); return true;
    case ID_CLEAR_STATS: OnClearStats(); return true;
    case ID_SHOW_WINDOW: OnShowWindow(); return true;
    case ID_VERSION_CHECK: {
      CUpdateDlg dlg;
      dlg.DoModal();
      return true;
    }
    case ID_PROCESS_STATS:
      if (!m_processPanel.Hwnd()) CreateProcessPanel();  // asked for before the late start
      ShowWindow(m_processPanel.Hwnd(), SW_SHOW);
      RequestRefresh();  // its figures were not written while nobody saw them
      return true;
    case ID_HISTORY: OnHistoryWindow(); return true;
    case ID_SYNC: OnSyncDialog(); return true;
    case ID_BREAKS: OnBreaksDialog(); return true;
    case IDC_BREAK_POSTPONE:
    case IDC_BREAK_SKIP: OnBreakButton(id); return true;
    default: return ui::CDialog::OnCommand(id, code, control);
  }
}

INT_PTR CMainStatsDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
  InputKind kind;
  if (InputKindForMessage(msg, &kind)) {
    // An event after midnight belongs to the new day.
    RollOverDayIfNeeded();
    m_counters.Add(kind);
    RecordEvent(kind, wp);
    m_labelPainter.Paint(Hwnd());  // a new day's
    RequestRefresh();
    *handled = true;
    return 0;
  }
  if (ProcessInputKindForMessage(msg, &kind)) {
    m_procCounters.Add(kind);
    RequestRefresh();
    *handled = true;
    return 0;
  }
  INT_PTR toolResult = 0;
  if (OnToolMessage(msg, wp, lp, &toolResult)) {
    *handled = true;
    return toolResult;
  }
  if (msg == kTaskbarCreated && kTaskbarCreated != 0) {
    m_tray.OnTaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_TRAY_NOTIFY:
      OnTrayNotify(lp);
      *handled = true;
      return 0;
    case WM_SIZE: OnSize(wp); return 0;
    case WM_DPICHANGED:
      // Not marked handled: the dialog manager scales the template's own controls and fonts after this.
      OnDpiChanged(LOWORD(wp), reinterpret_cast<const RECT*>(lp));
      return 0;
    case WM_QUERYENDSESSION:
      // Windows may end the process right after the session ends: save now.
      TakeInput();
      SaveDayFigures();
      FlushHistory(true);
      *handled = true;
      return TRUE;
    case WM_ENDSESSION:
      if (wp) {
        TakeInput();
        SaveDayFigures();
        FlushHistory(true);
        FinalCopy();
      }
      *handled = true;
      return 0;
    case WM_SYSCOMMAND:
      // The about item is a tool (above); everything else is default.
      return 0;
    case WM_PAINT:
      if (IsIconic(Hwnd())) {
        OnPaintIconic();
        *handled = true;
      }
      return 0;
    case WM_QUERYDRAGICON: *handled = true; return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_CTLCOLORSTATIC: {
      // The colours the default gives a dialog without a theme texture,
      // given here: the default asks the theme about the texture each time,
      // and the labels that change every second ask three times a second.
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_3DFACE));
      *handled = true;
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_3DFACE));
    }
    case WM_TIMER: OnTimer(wp); return 0;  // then default processing
    case WM_CLOSE:
      if (OnClose()) {
        *handled = true;
        return 0;
      }
      return 0;  // default: the dialog manager turns it into IDCANCEL
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_PROC_SELECT:
      OnProcSelect(static_cast<DWORD>(wp));
      *handled = true;
      return 0;
    case WM_PROC_RESET:
      OnProcReset();
      *handled = true;
      return 0;
    case WM_INPUT_MOVING:
      // The pointer moves or input came after a rest, or the foreground
      // window changed: its program is named while it is there.
      TakeInput();
      m_labelPainter.Paint(Hwnd());
      RequestRefresh();
      *handled = true;
      return 0;
    case WM_SHOWWINDOW:
      if (wp) OnShown();
      return CMagDialog::OnMessage(msg, wp, lp, handled);
    default: return CMagDialog::OnMessage(msg, wp, lp, handled);
  }
}
