// The activity charts on the real program: the tab sheet with its two pages,
// tab clicks, and bars read back from the chart windows' pixels on screen.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"
#include "main/messages.h"
#include "res/resource.h"

using namespace e2e;

namespace {

constexpr int kHourStep = 8;
constexpr int kDayStep = 17;
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kBackground = RGB(0, 0, 75);
const COLORREF kGrid = RGB(32, 64, 32);
const COLORREF kMarker = RGB(0, 255, 255);

// Memory in the program's address space, for tab control messages that
// carry a pointer.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size) : m_process(process), m_size(size) {
    m_ptr = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (m_ptr) VirtualFreeEx(m_process, m_ptr, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  LPARAM Param() const { return reinterpret_cast<LPARAM>(m_ptr); }
  char* At(size_t offset) const { return static_cast<char*>(m_ptr) + offset; }
  bool Write(size_t offset, const void* data, size_t n) const {
    return WriteProcessMemory(m_process, At(offset), data, n, nullptr);
  }
  bool Read(size_t offset, void* data, size_t n) const {
    return ReadProcessMemory(m_process, At(offset), data, n, nullptr);
  }
  bool Ok() const { return m_ptr != nullptr; }

 private:
  HANDLE m_process;
  size_t m_size;
  void* m_ptr = nullptr;
};

bool TabItemRect(const App& app, HWND tab, int item, RECT* rc) {
  RemoteBuffer buf(app.Process(), sizeof(RECT));
  if (!buf.Ok()) return false;
  if (!SendMessageA(tab, TCM_GETITEMRECT, item, buf.Param())) return false;
  return buf.Read(0, rc, sizeof *rc);
}

std::string TabItemText(const App& app, HWND tab, int item) {
  RemoteBuffer buf(app.Process(), sizeof(TCITEMA) + 256);
  if (!buf.Ok()) return "<no memory>";
  TCITEMA it = {};
  it.mask = TCIF_TEXT;
  it.pszText = buf.At(sizeof(TCITEMA));
  it.cchTextMax = 256;
  buf.Write(0, &it, sizeof it);
  if (!SendMessageA(tab, TCM_GETITEMA, item, buf.Param())) return "<no item>";
  char text[256] = {};
  buf.Read(sizeof(TCITEMA), text, sizeof text - 1);
  return text;
}

// The chart's client area as it is on screen.
class Capture {
 public:
  explicit Capture(HWND chart) {
    RECT rc;
    GetClientRect(chart, &rc);
    m_w = rc.right;
    m_h = rc.bottom;
    POINT origin = {0, 0};
    ClientToScreen(chart, &origin);
    m_pixels.assign(static_cast<size_t>(m_w) * m_h, 0);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = m_w;
    bi.bmiHeader.biHeight = -m_h;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib && bits) {
      HGDIOBJ old = SelectObject(mem, dib);
      BitBlt(mem, 0, 0, m_w, m_h, screen, origin.x, origin.y, SRCCOPY);
      GdiFlush();
      const auto* p = static_cast<const uint32_t*>(bits);
      for (size_t i = 0; i < m_pixels.size(); ++i) {
        const uint32_t v = p[i];  // 0x00RRGGBB
        m_pixels[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
      }
      SelectObject(mem, old);
      DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
  }
  int Width() const { return m_w; }
  int Height() const { return m_h; }
  COLORREF At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_w || y >= m_h) return CLR_INVALID;
    return m_pixels[static_cast<size_t>(y) * m_w + x];
  }
  // Height of the bar whose slot starts at x0: the black pixels of its last
  // column, counted up from the bottom edge. Columns 0 and 1 of a bar carry
  // the gradient and may lie under the axis label "0"; the others are black.
  int BarHeight(int x0, int step) const {
    const int x = x0 + step - 1;
    int n = 0;
    for (int y = m_h - 1; y >= 0 && At(x, y) == kBlack; --y) ++n;
    return n;
  }

 private:
  int m_w = 0;
  int m_h = 0;
  std::vector<COLORREF> m_pixels;
};

std::string Hex(COLORREF c) {
  char b[16];
  snprintf(b, sizeof b, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return b;
}

// The number at the end of a counter label ("左键点击:   12次").
uint32_t LabelNumber(const std::string& text) {
  uint32_t v = 0;
  for (char ch : text) {
    if (std::isdigit(static_cast<unsigned char>(ch))) v = v * 10 + static_cast<uint32_t>(ch - '0');
  }
  return v;
}

// Saves the whole display beside the test program, for a look at the
// charts after a run; a missing tool only means no picture.
void SaveScreenshot(const char* name) {
  std::string cmd = "/usr/bin/import -window root " + BinDir() + "\\" + name;
  for (char& c : cmd) {
    if (c == '\\') c = '/';
  }
  // BinDir() is a Windows path on drive Z:, which maps the Unix root.
  const size_t drive = cmd.find("Z:/");
  if (drive != std::string::npos) cmd.erase(drive, 2);
  // No handle comes back for a Unix program: give it time to finish.
  if (StartUnixProgram(cmd.c_str())) Pump(1500);
}


class Charts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Today's figures already hold 5000 left clicks: the curves must count
    // only what happens after the start.
    ResetProfile();
    SYSTEMTIME now;
    GetLocalTime(&now);
    WriteProfileDword("DateCur", "Month", now.wMonth);
    WriteProfileDword("DateCur", "Day", now.wDay);
    WriteProfileDword("DataSetting", "MouseLeft", 5000);
    MoveCursor(900, 700);
    s_app = new App;
    ASSERT_TRUE(s_app->Start());
    SetWindowPos(s_app->Main(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE);
    Pump(300);
  }
  static void TearDownTestSuite() {
    delete s_app;
    s_app = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(s_app && s_app->Running()); }

  static HWND Tab() { return GetDlgItem(s_app->Main(), IDC_TAB); }
  static HWND HourPage() { return GetDlgItem(Tab(), IDD_PAGE_HOUR); }
  static HWND DayPage() { return GetDlgItem(Tab(), IDD_PAGE_DAY); }
  static HWND ChartOf(HWND page) { return GetDlgItem(page, IDC_CHART); }

  // Sum of the five counter labels, as the main window shows it.
  static uint32_t ShownTotal() {
    uint32_t sum = 0;
    for (int id : {IDC_LEFT_CLICKS, IDC_RIGHT_CLICKS, IDC_MIDDLE_CLICKS, IDC_WHEEL_STEPS, IDC_KEY_STROKES})
      sum += LabelNumber(s_app->Text(id));
    return sum;
  }
  // Posts n input messages of all five kinds and waits until the window
  // shows them: the chart feed runs in the same refresh as the labels.
  static void PostEvents(int n) {
    const uint32_t before = ShownTotal();
    const unsigned kinds[] = {tallivo::WM_INPUT_LBUTTON, tallivo::WM_INPUT_RBUTTON, tallivo::WM_INPUT_MBUTTON,
                              tallivo::WM_INPUT_WHEEL, tallivo::WM_INPUT_KEY};
    for (int i = 0; i < n; ++i) PostMessageA(s_app->Main(), kinds[i % 5], 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return ShownTotal() == before + static_cast<uint32_t>(n); }, 8000))
        << ShownTotal() << " shown, " << before + n << " expected";
  }
  static void Tick(HWND page) { SendMessageA(page, WM_TIMER, 1, 0); }
  // Waits for the chart's own repaint to show the expected bars.
  static bool WaitBars(HWND chart, int step, const std::vector<int>& heights, std::string* seen) {
    return WaitUntil([&] {
      Capture cap(chart);
      seen->clear();
      bool ok = true;
      for (size_t i = 0; i < heights.size(); ++i) {
        const int h = cap.BarHeight(static_cast<int>(i) * step, step);
        *seen += std::to_string(h) + " ";
        ok = ok && h == heights[i];
      }
      return ok;
    }, 3000);
  }
  // Clicks tab item `item` with the real mouse, and waits until the window
  // has counted that click too, so that it lands in a known sample.
  static void ClickTab(int item) {
    RECT rc;
    ASSERT_TRUE(TabItemRect(*s_app, Tab(), item, &rc));
    POINT p = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ClientToScreen(Tab(), &p);
    ASSERT_TRUE(MoveCursor(p.x, p.y));
    const uint32_t before = ShownTotal();
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
    ASSERT_TRUE(WaitUntil([&] { return ShownTotal() == before + 1; }, 8000)) << ShownTotal() << " shown";
  }
  static bool Shown(HWND w) { return (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) != 0; }

  static App* s_app;
};
App* Charts::s_app = nullptr;

TEST_F(Charts, TwoTabsWithPagesInTheDisplayAreaHourPageFirst) {
  HWND tab = Tab();
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(TabItemText(*s_app, tab, 0), "1小时以内");
  EXPECT_EQ(TabItemText(*s_app, tab, 1), "1天以内");
  EXPECT_EQ(SendMessageA(tab, TCM_GETCURSEL, 0, 0), 0);

  HWND hour = HourPage(), day = DayPage();
  ASSERT_NE(hour, nullptr);
  ASSERT_NE(day, nullptr);
  EXPECT_EQ(GetParent(hour), tab);
  EXPECT_EQ(GetParent(day), tab);
  EXPECT_TRUE(Shown(hour));
  EXPECT_FALSE(Shown(day));

  // Both pages fill the area below the tabs, 2 px inside the client edges.
  RECT client, item;
  GetClientRect(tab, &client);
  ASSERT_TRUE(TabItemRect(*s_app, tab, 0, &item));
  for (HWND page : {hour, day}) {
    RECT r;
    GetWindowRect(page, &r);
    MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, item.left);
    EXPECT_EQ(r.top, item.bottom + 1);
    EXPECT_EQ(r.right - r.left, client.right - item.left - 2);
    EXPECT_EQ(r.bottom - r.top, client.bottom - item.bottom - 3);
  }

  // Each page's static control 1019 became its chart: SS_NOTIFY added and a
  // window region with rounded corners.
  for (HWND page : {hour, day}) {
    HWND chart = ChartOf(page);
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(GetWindowLongA(chart, GWL_STYLE) & SS_NOTIFY);
    RECT rc;
    GetClientRect(chart, &rc);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(chart, rgn), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_FALSE(PtInRegion(rgn, rc.right - 1, rc.bottom - 1));
    EXPECT_TRUE(PtInRegion(rgn, 5, 0));
    EXPECT_TRUE(PtInRegion(rgn, rc.right / 2, rc.bottom / 2));
    DeleteObject(rgn);
  }
}

TEST_F(Charts, HourChartShowsGridAndNoBarsBeforeTheFirstTick) {
  HWND chart = ChartOf(HourPage());
  ASSERT_TRUE(WaitUntil([&] {
    Capture c(chart);
    return c.At(26, c.Height() - 57) == kGrid;
  }));
  Capture cap(chart);
  const int h = cap.Height();
  // Vertical lines every 13 px, horizontal ones every 10 px from 2 px above
  // the bottom; between them the dark blue background.
  const int y = h - 2 - 10 * 5 - 5;  // midway between two horizontal lines
  EXPECT_EQ(Hex(cap.At(26, y)), Hex(kGrid));
  EXPECT_EQ(Hex(cap.At(39, y)), Hex(kGrid));
  EXPECT_EQ(Hex(cap.At(31, y)), Hex(kBackground));
  EXPECT_EQ(Hex(cap.At(32, y)), Hex(kBackground));
  EXPECT_EQ(Hex(cap.At(31, h - 2)), Hex(kGrid));
  EXPECT_EQ(Hex(cap.At(31, h - 12)), Hex(kGrid));
  EXPECT_EQ(Hex(cap.At(31, h - 1)), Hex(kBackground));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(cap.BarHeight(i * kHourStep, kHourStep), 0) << "bar " << i;
}

TEST_F(Charts, NewestHourBarCountsTheEventsOfTheLastTick) {
  HWND page = HourPage();
  HWND chart = ChartOf(page);
  // 37 events since start-up (the restored 5000 do not count): 37 / 4 per
  // pixel gives a bar of 10 px at the left edge.
  PostEvents(37);
  Tick(page);
  std::string seen;
  EXPECT_TRUE(WaitBars(chart, kHourStep, {10, 0}, &seen)) << seen;
  EXPECT_EQ(Hex(Capture(chart).At(kHourStep - 1, Capture(chart).Height() - 11)), Hex(kBackground));

  // A minute without input: no bar, and the 37 move one slot to the right.
  Tick(page);
  EXPECT_TRUE(WaitBars(chart, kHourStep, {0, 10, 0}, &seen)) << seen;

  // 41 events need 11 px; 40 would need 10.
  PostEvents(41);
  Tick(page);
  EXPECT_TRUE(WaitBars(chart, kHourStep, {11, 0, 10, 0}, &seen)) << seen;

  // 100 events: 25 px, tall enough to look at above the axis label "0".
  PostEvents(100);
  Tick(page);
  EXPECT_TRUE(WaitBars(chart, kHourStep, {25, 11, 0, 10}, &seen)) << seen;
  Capture cap(chart);
  const int h = cap.Height();
  // The marker pixel on top, the gradient (green at the top, red at the
  // bottom) in the bar's first two columns, black in the others.
  EXPECT_EQ(Hex(cap.At(0, h - 25)), Hex(kMarker));
  const int row = h - 20;
  const double x = row * (255.0 / h);
  const COLORREF gradient = RGB(static_cast<int>(x), static_cast<int>(255.0 - x), 64);
  EXPECT_EQ(Hex(cap.At(0, row)), Hex(gradient));
  EXPECT_EQ(Hex(cap.At(1, row)), Hex(gradient));
  EXPECT_EQ(Hex(cap.At(2, row)), Hex(kBlack));
}

TEST_F(Charts, ClickingTheTabsSwapsThePages) {
  HWND hour = HourPage(), day = DayPage();
  ClickTab(1);
  EXPECT_TRUE(WaitUntil([&] { return Shown(day) && !Shown(hour); })) << Shown(day) << Shown(hour);
  EXPECT_EQ(SendMessageA(Tab(), TCM_GETCURSEL, 0, 0), 1);
  // The same tab again changes nothing.
  ClickTab(1);
  Pump(200);
  EXPECT_TRUE(Shown(day));
  EXPECT_FALSE(Shown(hour));
  ClickTab(0);
  EXPECT_TRUE(WaitUntil([&] { return Shown(hour) && !Shown(day); })) << Shown(day) << Shown(hour);
  EXPECT_EQ(SendMessageA(Tab(), TCM_GETCURSEL, 0, 0), 0);
}

TEST_F(Charts, HiddenDayPageKeepsTickingAndShowsItsHoursWhenSelected) {
  HWND day = DayPage();
  HWND chart = ChartOf(day);
  ASSERT_FALSE(Shown(day));
  // Start the day page's hours from here: what came before is one bar of
  // its own, further right.
  Tick(day);
  PostEvents(150);  // 2 px at 100 events per pixel
  Tick(day);
  PostEvents(250);  // 3 px
  Tick(day);
  ClickTab(1);
  ASSERT_TRUE(WaitUntil([&] { return Shown(day); }));
  std::string seen;
  EXPECT_TRUE(WaitBars(chart, kDayStep, {3, 2}, &seen)) << seen;
  Capture cap(chart);
  const int y = cap.Height() - 57;
  // Vertical lines every 32 px on the day page.
  EXPECT_EQ(Hex(cap.At(64, y)), Hex(kGrid));
  EXPECT_EQ(Hex(cap.At(39, y)), Hex(kBackground));
  // One more event in the hour: a bar of 1 px.
  PostEvents(1);
  Tick(day);
  EXPECT_TRUE(WaitBars(chart, kDayStep, {1, 3, 2}, &seen)) << seen;
  SaveScreenshot("charts-day.png");
  ClickTab(0);
  EXPECT_TRUE(WaitUntil([&] { return Shown(HourPage()); }));
  Pump(100);
  SaveScreenshot("charts-hour.png");
}

TEST_F(Charts, AfterAClearTheNextPointCountsOnlyTheNewEvents) {
  HWND page = HourPage();
  HWND chart = ChartOf(page);
  PostEvents(300);
  PostMessageA(s_app->Main(), WM_COMMAND, ID_CLEAR_STATS, 0);
  HWND box = s_app->FindDialog("提示", 2000);
  ASSERT_TRUE(box);
  PressButton(box, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return ShownTotal() == 0; }, 5000)) << ShownTotal();
  // The fall to zero is no activity.
  Tick(page);
  std::string seen;
  EXPECT_TRUE(WaitBars(chart, kHourStep, {0}, &seen)) << seen;
  PostEvents(20);
  Tick(page);
  EXPECT_TRUE(WaitBars(chart, kHourStep, {5, 0}, &seen)) << seen;
}

// In the tray the chart has nothing to draw on; shown again, it draws what
// came meanwhile and goes on drawing each new sample.
TEST_F(Charts, ChartDrawsAgainAfterTheTrayAndBack) {
  HWND page = HourPage();
  HWND chart = ChartOf(page);
  HWND main = s_app->Main();
  const Capture before(chart);
  const int newest = before.BarHeight(0, kHourStep);
  PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  Pump(300);
  PostEvents(40);  // 10 px
  Tick(page);
  PostMessageA(main, tallivo::WM_TRAY_NOTIFY, 128, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main); }));
  SetWindowPos(main, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  std::string seen;
  EXPECT_TRUE(WaitBars(chart, kHourStep, {10, newest}, &seen)) << seen;
  PostEvents(8);  // 2 px
  Tick(page);
  EXPECT_TRUE(WaitBars(chart, kHourStep, {2, 10, newest}, &seen)) << seen;
}

}  // namespace
