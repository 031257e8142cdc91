#include "main/main_dlg.h"

#include <commctrl.h>

#include <cstring>

#include "hooks/hook_api.h"
#include "main/messages.h"
#include "res/resource.h"
#include "stats/stats_text.h"

using namespace tallivo;

namespace {

constexpr char kCaption[] = "泰利沃v4.04版";
constexpr char kExitQuestion[] = "你是否确定退出？";
constexpr char kPromptCaption[] = "提示";

// The tray record in its classic 488-byte layout on 32-bit Windows (up to the
// balloon flags); the platform macro gives the right size for each build.
constexpr DWORD kTrayRecordSize = NOTIFYICONDATAA_V2_SIZE;

void CallSkinAttach() {
  // An optional library: a missing or broken one never stops start-up.
  HMODULE skin = LoadLibraryA("SkinH.dll");
  if (!skin) return;
  using AttachFn = int (*)();
  auto attach = reinterpret_cast<AttachFn>(reinterpret_cast<void*>(GetProcAddress(skin, "SkinH_Attach")));
  if (attach) attach();
}

}  // namespace

CMainStatsDlg::CMainStatsDlg() : CMagDialog(IDD_MAIN) {
  std::memset(&m_tray, 0, sizeof m_tray);
  m_hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CMainStatsDlg::~CMainStatsDlg() = default;

BOOL CMainStatsDlg::OnInitDialog() {
  HWND hwnd = Hwnd();
  ui::SetMainWindow(hwnd);
  // 1. The cursor label starts empty; the template text is never seen.
  SetItemText(IDC_CURSOR_POS, m_cursorText.c_str());

  // 2. System menu: separator and the about item.
  if (HMENU sys = GetSystemMenu(hwnd, FALSE)) {
    char about[128] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0 && about[0]) {
      AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(sys, MF_STRING, IDM_ABOUT, about);
    }
  }
  // 3. Icons.
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  // 4. Skin.
  CallSkinAttach();
  // 5. Caption.
  SetWindowTextA(hwnd, kCaption);
  // 6. Today's date.
  SYSTEMTIME now;
  GetLocalTime(&now);
  m_startMonth = now.wMonth;
  m_startDay = now.wDay;
  // 8. Global counting.
  TallivoStartHook(hwnd);
  // 9. Timers.
  SetTimer(hwnd, TIMER_REFRESH, kRefreshMs, nullptr);
  SetTimer(hwnd, TIMER_SECOND, kSecondMs, nullptr);
  SetTimer(hwnd, TIMER_CURSOR, kCursorMs, nullptr);
  // 11. Cursor start position.
  POINT pt = {};
  GetCursorPos(&pt);
  m_distance.SetStart({pt.x, pt.y});
  // 13. Tray record (the icon itself is added at the first minimise).
  FillTrayRecord();
  // 15. Screen measurement.
  MeasureScreen();
  // 16. Status bar.
  CreateStatusBar();
  // 18. Per-process panel, hidden, docked on the right with every side allowed.
  m_processPanel.Create(hwnd);
  AddMagChild(&m_processPanel, TRUE, MAG_RIGHT);
  m_processPanel.SetMagParent(MAG_ANY, this);
  return TRUE;
}

void CMainStatsDlg::FillTrayRecord() {
  m_tray.cbSize = kTrayRecordSize;
  m_tray.hWnd = Hwnd();
  m_tray.uID = IDR_MAINFRAME;
  m_tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
  m_tray.uCallbackMessage = WM_TRAY_NOTIFY;
  m_tray.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
  m_tray.dwInfoFlags = NIIF_INFO;
  m_tray.uTimeout = 3;
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
  rc.top = rc.bottom - 20;
  m_statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, rc.left, rc.top,
                                rc.right - rc.left, rc.bottom - rc.top, Hwnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATUS_BAR)),
                                GetModuleHandleA(nullptr), nullptr);
  if (m_statusBar) {
    int parts[2] = {190, 400};
    SendMessageA(m_statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
  }
}

void CMainStatsDlg::OnTimer(UINT_PTR id) {
  switch (id) {
    case TIMER_REFRESH:
      RefreshCursorText();
      RefreshCounters();
      RefreshTotalClicks();
      break;
    case TIMER_CURSOR:
      SampleCursor();
      break;
    default:
      break;
  }
}

void CMainStatsDlg::RefreshCursorText() {
  POINT pt = {};
  GetCursorPos(&pt);
  m_cursorText = CursorText(pt.x, pt.y);
  SetItemText(IDC_CURSOR_POS, m_cursorText.c_str());
}

void CMainStatsDlg::RefreshCounters() {
  m_trayTip = TrayTip(m_totalClicks, m_counters.keys, m_distance.Metres());
  lstrcpynA(m_tray.szTip, m_trayTip.c_str(), sizeof m_tray.szTip);
  // Fails harmlessly until the icon exists.
  Shell_NotifyIconA(NIM_MODIFY, &m_tray);

  static const struct {
    int id;
    InputKind kind;
  } kLabels[] = {
      {IDC_LEFT_CLICKS, InputKind::Left},   {IDC_RIGHT_CLICKS, InputKind::Right},
      {IDC_MIDDLE_CLICKS, InputKind::Middle}, {IDC_WHEEL_STEPS, InputKind::Wheel},
      {IDC_KEY_STROKES, InputKind::Key},
  };
  const uint32_t values[] = {m_counters.left, m_counters.right, m_counters.middle,
                             m_counters.wheel, m_counters.keys};
  for (size_t i = 0; i < sizeof kLabels / sizeof kLabels[0]; ++i) {
    SetWindowTextA(GetDlgItem(Hwnd(), kLabels[i].id), CounterLabel(kLabels[i].kind, values[i]).c_str());
  }

  CProcessStatsDlg::SetProcessCounts(m_procCounters.left, m_procCounters.right, m_procCounters.middle,
                                     m_procCounters.wheel, m_procCounters.keys, m_counters.GrandTotal());
}

void CMainStatsDlg::RefreshTotalClicks() {
  m_totalClicks = m_counters.TotalClicks();
  SetWindowTextA(GetDlgItem(Hwnd(), IDC_TOTAL_CLICKS), TotalClicksLabel(m_totalClicks).c_str());
}

void CMainStatsDlg::SampleCursor() {
  // A failed read keeps the last position, so it counts no movement.
  static POINT pt = {};
  GetCursorPos(&pt);
  if (m_distance.Sample({pt.x, pt.y})) {
    SetItemText(IDC_MOVE_METRES, MetresLabel(m_distance.Metres()).c_str());
  }
}

void CMainStatsDlg::OnPaintIconic() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Hwnd(), &ps);
  SendMessageA(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT rc;
  GetClientRect(Hwnd(), &rc);
  const int x = (rc.right - rc.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (rc.bottom - rc.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_hIcon);
  EndPaint(Hwnd(), &ps);
}

bool CMainStatsDlg::AskExit() {
  return MessageBoxA(Hwnd(), kExitQuestion, kPromptCaption, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

void CMainStatsDlg::OnExit() {
  if (!AskExit()) return;
  TallivoStopHook();
  EndDialog(IDCANCEL);
}

bool CMainStatsDlg::OnClose() {
  // Returns true when the close was refused and default processing must not run.
  return !AskExit();
}

void CMainStatsDlg::OnDestroy() {
  TallivoStopHook();
  TallivoStopTaskHook();
  Shell_NotifyIconA(NIM_DELETE, &m_tray);
  ui::SetMainWindow(nullptr);
}

void CMainStatsDlg::OnProcSelect(DWORD threadId) {
  TallivoStopTaskHook();
  TallivoStartTaskHook(Hwnd(), threadId);
  OnProcReset();
}

void CMainStatsDlg::OnProcReset() { m_procCounters.Clear(); }

bool CMainStatsDlg::OnCommand(WORD id, WORD code, HWND control) {
  switch (id) {
    case ID_EXIT:
      OnExit();
      return true;
    case ID_PROCESS_STATS:
      ShowWindow(m_processPanel.Hwnd(), SW_SHOW);
      return true;
    default:
      return ui::CDialog::OnCommand(id, code, control);
  }
}

INT_PTR CMainStatsDlg::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) {
  InputKind kind;
  if (InputKindForMessage(msg, &kind)) {
    m_counters.Add(kind);
    *handled = true;
    return 0;
  }
  if (ProcessInputKindForMessage(msg, &kind)) {
    m_procCounters.Add(kind);
    *handled = true;
    return 0;
  }
  switch (msg) {
    case WM_SYSCOMMAND:
      // The about dialog arrives with its own issue; everything else is default.
      return 0;
    case WM_PAINT:
      if (IsIconic(Hwnd())) {
        OnPaintIconic();
        *handled = true;
      }
      return 0;
    case WM_QUERYDRAGICON:
      *handled = true;
      return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_TIMER:
      OnTimer(wp);
      return 0;  // then default processing
    case WM_CLOSE:
      if (OnClose()) {
        *handled = true;
        return 0;
      }
      return 0;  // default: the dialog manager turns it into IDCANCEL
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_PROC_SELECT:
      OnProcSelect(static_cast<DWORD>(wp));
      *handled = true;
      return 0;
    case WM_PROC_RESET:
      OnProcReset();
      *handled = true;
      return 0;
    default:
      return CMagDialog::OnMessage(msg, wp, lp, handled);
  }
}
