#include "history_window/daily_chart_view.h"

#include <commctrl.h>

#include <algorithm>

#include "base/text_format.h"
#include "ui/dpi.h"

namespace tallivo::history {

namespace {

constexpr wchar_t kClassName[] = L"TallivoDailyChart";
constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kGrid = RGB(225, 225, 225);
constexpr COLORREF kAxisText = RGB(90, 90, 90);
constexpr COLORREF kBar = RGB(70, 130, 180);
constexpr COLORREF kBarHover = RGB(230, 120, 30);

std::string ValueText(double v, DayFigure f) {
  switch (f) {
    case DayFigure::Metres: return MetresText(v);
    case DayFigure::ActiveTime: return ActiveTimeText(static_cast<uint64_t>(v));
    default: return FormatText("%llu", static_cast<unsigned long long>(v));
  }
}

void FillSolid(HDC dc, const RECT& rc, COLORREF colour) {
  SetBkColor(dc, colour);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

}  // namespace

CDailyChartView::~CDailyChartView() {
  FreeFrame();
  if (m_tip) DestroyWindow(m_tip);
  if (m_hwnd) {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
  }
}

bool CDailyChartView::Create(HWND parent, int id) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(inst, kClassName, &wc)) {
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return false;
  }
  m_hwnd = CreateWindowExW(0, kClassName, L"", WS_CHILD, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, this);
  if (!m_hwnd) return false;
  m_dpi = ui::WindowDpi(parent);
  // A tracking tip: it shows the day under the pointer at once, not after
  // the pointer rested on one tool.
  m_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr, inst, nullptr);
  if (m_tip) {
    TOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = m_hwnd;
    ti.uId = 1;
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, dpi::Scale(400, m_dpi));
  }
  return true;
}

void CDailyChartView::SetDpi(int dpi) {
  m_dpi = dpi > 0 ? dpi : dpi::kBaseDpi;
  if (m_tip) SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, dpi::Scale(400, m_dpi));
  m_frameValid = false;
  if (m_hwnd) InvalidateRect(m_hwnd, nullptr, FALSE);
}

void CDailyChartView::SetDays(const std::vector<DayRow>& days, DayFigure figure) {
  m_days = days;
  m_figure = figure;
  m_frameValid = false;
  if (m_hover >= static_cast<int>(m_days.size())) m_hover = -1;
  if (m_hover >= 0) {
    // Live figures: the tip of the day under the pointer follows them.
    POINT pt;
    GetCursorPos(&pt);
    const int index = m_hover;
    m_hover = -1;
    Hover(index, pt);
  } else {
    SetWindowTextW(m_hwnd, L"");
  }
  InvalidateRect(m_hwnd, nullptr, FALSE);
}

LRESULT CALLBACK CDailyChartView::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<CDailyChartView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self || !self->m_hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

LRESULT CDailyChartView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;  // the frame covers everything
    case WM_SIZE:
      m_frameValid = false;
      InvalidateRect(m_hwnd, nullptr, FALSE);
      return 0;
    case WM_MOUSEMOVE: OnMouseMove(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))); return 0;
    case WM_MOUSELEAVE: {
      m_tracking = false;
      POINT pt = {};
      Hover(-1, pt);
      return 0;
    }
    case WM_SHOWWINDOW:
      // A hidden chart keeps no picture: it is drawn anew when shown.
      if (!wp) {
        POINT pt = {};
        Hover(-1, pt);
        FreeFrame();
      }
      break;
    case WM_DESTROY:
      FreeFrame();
      m_tip = nullptr;  // destroyed with its owner
      break;
    case WM_NCDESTROY: {
      // The parent went first: nothing is left for the destructor to do.
      HWND hwnd = m_hwnd;
      m_hwnd = nullptr;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      return DefWindowProcW(hwnd, msg, wp, lp);
    }
    default: break;
  }
  return DefWindowProcW(m_hwnd, msg, wp, lp);
}

void CDailyChartView::OnMouseMove(int x, int y) {
  if (!m_tracking) {
    TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, m_hwnd, 0};
    m_tracking = TrackMouseEvent(&tme) != FALSE;
  }
  RECT rc;
  GetClientRect(m_hwnd, &rc);
  const DailyChartLayout layout = LayoutDailyChart(rc.right, rc.bottom, static_cast<int>(m_days.size()), m_dpi);
  POINT screen = {x, y};
  ClientToScreen(m_hwnd, &screen);
  Hover(layout.BarAt(x, y), screen);
}

void CDailyChartView::Hover(int index, POINT screen) {
  if (index == m_hover) {
    if (index >= 0 && m_tip) {
      SendMessageW(m_tip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x + 16, screen.y + 16));
    }
    return;
  }
  m_hover = index;
  m_frameValid = false;
  InvalidateRect(m_hwnd, nullptr, FALSE);
  m_tipText = index >= 0 ? DayTipText(m_days[index]) : std::string();
  const std::wstring tip = Wide(m_tipText);
  SetWindowTextW(m_hwnd, tip.c_str());
  if (!m_tip) return;
  TOOLINFOW ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = m_hwnd;
  ti.uId = 1;
  if (index < 0) {
    SendMessageW(m_tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    return;
  }
  ti.lpszText = const_cast<wchar_t*>(tip.c_str());
  SendMessageW(m_tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageW(m_tip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x + 16, screen.y + 16));
  SendMessageW(m_tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

void CDailyChartView::FreeFrame() {
  if (m_frameDc) {
    SelectObject(m_frameDc, m_oldFrame);
    DeleteDC(m_frameDc);
  }
  if (m_frame) DeleteObject(m_frame);
  m_frameDc = nullptr;
  m_frame = nullptr;
  m_oldFrame = nullptr;
  m_frameSize = {};
  m_frameValid = false;
}

void CDailyChartView::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hwnd, &ps);
  RECT rc;
  GetClientRect(m_hwnd, &rc);
  if (rc.right > 0 && rc.bottom > 0) {
    if (!m_frameDc || m_frameSize.cx != rc.right || m_frameSize.cy != rc.bottom) {
      FreeFrame();
      m_frameDc = CreateCompatibleDC(dc);
      m_frame = CreateCompatibleBitmap(dc, rc.right, rc.bottom);
      if (m_frameDc && m_frame) {
        m_oldFrame = SelectObject(m_frameDc, m_frame);
        m_frameSize = {rc.right, rc.bottom};
      }
    }
    if (m_frameDc && m_frame) {
      if (!m_frameValid) Render(m_frameDc, rc.right, rc.bottom);
      m_frameValid = true;
      BitBlt(dc, 0, 0, rc.right, rc.bottom, m_frameDc, 0, 0, SRCCOPY);
    } else {
      // No memory for a frame: draw straight on the screen.
      FreeFrame();
      Render(dc, rc.right, rc.bottom);
    }
  }
  EndPaint(m_hwnd, &ps);
}

void CDailyChartView::Render(HDC dc, int width, int height) {
  const RECT all = {0, 0, width, height};
  FillSolid(dc, all, kBackground);
  const int count = static_cast<int>(m_days.size());
  const DailyChartLayout layout = LayoutDailyChart(width, height, count, m_dpi);
  double max = 0;
  for (const DayRow& d : m_days) max = std::max(max, FigureOf(d, m_figure));

  HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(m_hwnd), WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kAxisText);

  // Four grid lines, labelled with their values on the left.
  const PixelRect& p = layout.plot;
  for (int step = 0; step <= 4; ++step) {
    const int y = p.bottom - (p.Height() * step) / 4;
    const RECT line = {p.left, y, p.right, y + 1};
    FillSolid(dc, line, kGrid);
    SetBkMode(dc, TRANSPARENT);
    if (max > 0 || step == 0) {
      const std::string label = ValueText(max * step / 4, m_figure);
      RECT box = {0, y - 8, p.left - 4, y + 8};
      DrawTextW(dc, Wide(label).c_str(), -1, &box, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
  for (int i = 0; i < count; ++i) {
    const int h = layout.BarHeight(FigureOf(m_days[i], m_figure), max);
    if (h <= 0) continue;
    const RECT bar = {layout.BarLeft(i), p.bottom - h, layout.BarRight(i), p.bottom};
    FillSolid(dc, bar, i == m_hover ? kBarHover : kBar);
  }
  SetBkMode(dc, TRANSPARENT);
  if (count > 0) {
    // The first and the last date under the bars.
    RECT below = {p.left, p.bottom + 3, p.right, height};
    DrawTextW(dc, Wide(m_days.front().date).c_str(), -1, &below, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    if (count > 1) {
      DrawTextW(dc, Wide(m_days.back().date).c_str(), -1, &below, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
  }
  if (oldFont) SelectObject(dc, oldFont);
}

}  // namespace tallivo::history
