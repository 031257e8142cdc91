// The per-process panel, its docking beside the main window and the process
// picker, on the real program with a small window program as the chosen
// process.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "harness.h"
#include "main/messages.h"
#include "process/process_text.h"
#include "res/resource.h"
#include "stats/counters.h"
#include "stats/stats_text.h"

using namespace e2e;

namespace {

constexpr char kPanelCaption[] = "指定进程统计";
constexpr char kPickerCaption[] = "获取进程数据";
constexpr char kTargetExe[] = "tallivo_target.exe";
constexpr char kTargetName[] = "tallivo_target";
// Screen layout: the main window top left, the panel to its right, the
// test program's window top right, the input sink bottom right.
constexpr RECT kTargetRect = {740, 20, 1010, 280};
constexpr RECT kSinkRect = {560, 470, 1000, 740};
constexpr POINT kTargetCenter = {(kTargetRect.left + kTargetRect.right) / 2, (kTargetRect.top + kTargetRect.bottom) / 2};

// Saves the whole screen when TALLIVO_SHOT_DIR names a folder (Unix path).
void Screenshot(const char* name) {
  const char* dir = getenv("TALLIVO_SHOT_DIR");
  if (!dir || !*dir) return;
  Pump(300);  // let the windows finish painting
  char path[512];
  snprintf(path, sizeof path, "%s/%s.png", dir, name);
  char winPath[600];
  snprintf(winPath, sizeof winPath, "Z:%s", path);
  for (char* c = winPath; *c; ++c) {
    if (*c == '/') *c = '\\';
  }
  DeleteFileA(winPath);
  char cmd[1024];
  snprintf(cmd, sizeof cmd, "/usr/bin/import -window root %s", path);
  if (!StartUnixProgram(cmd)) return;
  // Done once the file is there and has stopped growing.
  LONGLONG last = -1;
  WaitUntil(
      [&] {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(winPath, GetFileExInfoStandard, &data)) return false;
        const LONGLONG size = (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        const bool stable = size > 0 && size == last;
        last = size;
        if (!stable) Sleep(100);
        return stable;
      },
      15000);
}

RECT WindowRect(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return r;
}

std::string Describe(const RECT& r) {
  char buf[96];
  snprintf(buf, sizeof buf, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
  return buf;
}

// A point on the caption bar of a window, away from its buttons.
POINT CaptionPoint(HWND hwnd) {
  RECT r = WindowRect(hwnd);
  const int y = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  return {r.left + 60, y};
}

// Drags with the real pointer, in steps, from `from` by (dx, dy).
void Drag(POINT from, int dx, int dy, int steps) {
  PointAt(from);
  SendInputs({MouseAt(MOUSEEVENTF_LEFTDOWN, from)});
  Pump(150);
  POINT p = from;
  for (int i = 1; i <= steps; ++i) {
    p = {from.x + dx * i / steps, from.y + dy * i / steps};
    PointAt(p);
    Pump(40);
  }
  SendInputs({MouseAt(MOUSEEVENTF_LEFTUP, p)});
  Pump(250);
}

void DoubleClickAt(POINT p) { ClickAt(p, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2); }

// The number in a label such as "左键点击:   12次".
uint32_t NumberIn(const std::string& text) {
  size_t i = text.find_first_of("0123456789");
  return i == std::string::npos ? 0 : static_cast<uint32_t>(strtoul(text.c_str() + i, nullptr, 10));
}

// Memory in another process, for list-view messages that carry pointers.
class RemoteMemory {
 public:
  RemoteMemory(DWORD pid, size_t size) : m_size(size) {
    m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (m_process) m_base = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (m_base) VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
    if (m_process) CloseHandle(m_process);
  }
  bool Ok() const { return m_base != nullptr; }
  char* At(size_t offset) const { return static_cast<char*>(m_base) + offset; }
  void Write(size_t offset, const void* data, size_t n) {
    WriteProcessMemory(m_process, At(offset), data, n, nullptr);
  }
  void Read(size_t offset, void* data, size_t n) const {
    ReadProcessMemory(m_process, At(offset), data, n, nullptr);
  }

 private:
  HANDLE m_process = nullptr;
  void* m_base = nullptr;
  size_t m_size;
};

// The picker's list view, read from outside its process.
class RemoteList {
 public:
  RemoteList(HWND list, DWORD pid) : m_list(list), m_mem(pid, 4096) {}
  bool Ok() const { return m_list && m_mem.Ok(); }
  int Count() const { return static_cast<int>(SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0)); }
  std::string Text(int row, int column) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = m_mem.At(kTextOffset);
    item.cchTextMax = 260;
    m_mem.Write(0, &item, sizeof item);
    const char zero = 0;
    m_mem.Write(kTextOffset, &zero, 1);
    SendMessageA(m_list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(m_mem.At(0)));
    char buf[261] = {};
    m_mem.Read(kTextOffset, buf, 260);
    return buf;
  }
  LPARAM Data(int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    m_mem.Write(0, &item, sizeof item);
    SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(m_mem.At(0)));
    m_mem.Read(0, &item, sizeof item);
    return item.lParam;
  }
  std::string Heading(int column, int* width) {
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    col.pszText = m_mem.At(kTextOffset);
    col.cchTextMax = 260;
    m_mem.Write(0, &col, sizeof col);
    if (!SendMessageA(m_list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(m_mem.At(0)))) return "<none>";
    m_mem.Read(0, &col, sizeof col);
    if (width) *width = col.cx;
    char buf[261] = {};
    m_mem.Read(kTextOffset, buf, 260);
    return buf;
  }
  // Screen point in the middle of a row's first column.
  POINT RowPoint(int row) {
    SendMessageA(m_list, LVM_ENSUREVISIBLE, row, FALSE);
    RECT r = {};
    r.left = LVIR_LABEL;
    m_mem.Write(0, &r, sizeof r);
    SendMessageA(m_list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(m_mem.At(0)));
    m_mem.Read(0, &r, sizeof r);
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(m_list, &p);
    return p;
  }
  int FindRow(const std::string& exe) {
    for (int i = 0, n = Count(); i < n; ++i) {
      if (_stricmp(Text(i, 1).c_str(), exe.c_str()) == 0) return i;
    }
    return -1;
  }
  int Selected() const { return static_cast<int>(SendMessageA(m_list, LVM_GETNEXTITEM, -1, LVNI_SELECTED)); }

 private:
  static constexpr size_t kTextOffset = 1024;
  HWND m_list;
  RemoteMemory m_mem;
};

struct PanelCounts {
  uint32_t left = 0, right = 0, middle = 0, wheel = 0, keys = 0;
};

class ProcessPanel : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetProfile();
    MoveCursor(700, 600);
    char cmd[256];
    snprintf(cmd, sizeof cmd, "\"%s\\%s\" %ld %ld %ld %ld", BinDir().c_str(), kTargetExe, kTargetRect.left,
             kTargetRect.top, kTargetRect.right - kTargetRect.left, kTargetRect.bottom - kTargetRect.top);
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    s_targetProcess = pi.hProcess;
    s_targetPid = pi.dwProcessId;
    ASSERT_TRUE(WaitUntil([] { return (s_target = FindWindowA("TallivoTestTarget", nullptr)) != nullptr; }, 10000));

    s_app = new App;
    ASSERT_TRUE(s_app->Start());
    SetWindowPos(s_app->Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([] { return Panel() && Picker(); }));
    s_sink = new InputSink(kSinkRect);
  }
  static void TearDownTestSuite() {
    delete s_sink;
    delete s_app;
    s_sink = nullptr;
    s_app = nullptr;
    if (s_targetProcess) {
      TerminateProcess(s_targetProcess, 0);
      WaitForSingleObject(s_targetProcess, 5000);
      CloseHandle(s_targetProcess);
      s_targetProcess = nullptr;
    }
  }
  void SetUp() override { ASSERT_TRUE(s_app && s_app->Running()); }

  // Top-level windows of the program by caption, visible or not.
  static HWND WindowOfApp(const char* caption) {
    for (HWND w : s_app->TopLevelWindows()) {
      if (WindowText(w) == caption) return w;
    }
    return nullptr;
  }
  static HWND Panel() { return WindowOfApp(kPanelCaption); }
  static HWND Picker() { return WindowOfApp(kPickerCaption); }
  static std::string PanelText(int id) { return WindowText(GetDlgItem(Panel(), id)); }

  static void ShowPanel() {
    PostMessageA(s_app->Main(), WM_COMMAND, ID_PROCESS_STATS, 0);
    ASSERT_TRUE(WaitUntil([] { return IsWindowVisible(Panel()) != FALSE; }));
    Pump(100);
  }

  static bool WaitPanelCounts(const PanelCounts& c) {
    const bool ok = WaitUntil(
        [&] {
          return PanelText(IDC_PROC_LEFT) == tallivo::PanelLeftLabel(c.left) &&
                 PanelText(IDC_PROC_RIGHT) == tallivo::PanelRightLabel(c.right) &&
                 PanelText(IDC_PROC_MIDDLE) == tallivo::PanelMiddleLabel(c.middle) &&
                 PanelText(IDC_PROC_WHEEL) == tallivo::PanelWheelLabel(c.wheel) &&
                 PanelText(IDC_PROC_MOUSE) == tallivo::PanelMouseLabel(c.left + c.right + c.middle + c.wheel) &&
                 PanelText(IDC_PROC_KEYS) == tallivo::PanelKeysLabel(c.keys);
        },
        8000);
    if (!ok) {
      for (int id : {IDC_PROC_LEFT, IDC_PROC_RIGHT, IDC_PROC_MIDDLE, IDC_PROC_WHEEL, IDC_PROC_MOUSE, IDC_PROC_KEYS})
        ADD_FAILURE() << "panel label " << id << ": " << PanelText(id);
    }
    return ok;
  }

  // Sum of the main window's five counters as its labels show them.
  static uint32_t GlobalTotal() {
    uint32_t sum = 0;
    for (int id : {IDC_LEFT_CLICKS, IDC_RIGHT_CLICKS, IDC_MIDDLE_CLICKS, IDC_WHEEL_STEPS, IDC_KEY_STROKES})
      sum += NumberIn(s_app->Text(id));
    return sum;
  }

  // Opens the picker from the panel's menu and double-clicks the row of the
  // given executable. Returns false when the row is not there.
  static bool Choose(const char* exe) {
    PostMessageA(Panel(), WM_COMMAND, ID_PROCESS_STATS, 0);
    if (!WaitUntil([] { return IsWindowVisible(Picker()) != FALSE; })) return false;
    Pump(100);
    RemoteList list(GetDlgItem(Picker(), IDC_PROCESS_LIST), s_app->Pid());
    // The list is rebuilt every ten seconds, which drops the selection: try
    // again should a rebuild fall between the two clicks.
    for (int attempt = 0; attempt < 3 && IsWindowVisible(Picker()); ++attempt) {
      const int row = list.FindRow(exe);
      if (row < 0) return false;
      DoubleClickAt(list.RowPoint(row));
      WaitUntil([] { return !IsWindowVisible(Picker()); });
    }
    return !IsWindowVisible(Picker());
  }

  static App* s_app;
  static InputSink* s_sink;
  static HWND s_target;
  static HANDLE s_targetProcess;
  static DWORD s_targetPid;
};
App* ProcessPanel::s_app = nullptr;
InputSink* ProcessPanel::s_sink = nullptr;
HWND ProcessPanel::s_target = nullptr;
HANDLE ProcessPanel::s_targetProcess = nullptr;
DWORD ProcessPanel::s_targetPid = 0;

TEST_F(ProcessPanel, StartsHiddenAndShowsDockedRightWithTopsLevel) {
  HWND panel = Panel();
  EXPECT_FALSE(IsWindowVisible(panel));
  EXPECT_FALSE(IsWindowVisible(Picker()));
  // Owned by the main window, so it goes with it.
  EXPECT_EQ(GetWindow(panel, GW_OWNER), s_app->Main());
  EXPECT_EQ(GetWindow(Picker(), GW_OWNER), s_app->Main());

  ShowPanel();
  const RECT main = WindowRect(s_app->Main());
  const RECT r = WindowRect(panel);
  EXPECT_EQ(r.left, main.right) << Describe(main) << " " << Describe(r);
  EXPECT_EQ(r.top, main.top) << Describe(main) << " " << Describe(r);

  // Before any choice: counts 0, empty name, so the line starts with a blank.
  EXPECT_TRUE(WaitUntil([] { return PanelText(IDC_PROC_SHARE) == " 进程占全局比:0%"; })) << PanelText(IDC_PROC_SHARE);
  EXPECT_TRUE(WaitPanelCounts({}));
  EXPECT_NE(GetMenu(panel), nullptr);
  Screenshot("panel-docked");
}

TEST_F(ProcessPanel, DraggingTheMainCaptionCarriesThePanel) {
  HWND panel = Panel();
  const RECT main0 = WindowRect(s_app->Main());
  // Sideways first: the panel stays flush and level.
  Drag(CaptionPoint(s_app->Main()), 120, 0, 6);
  RECT main = WindowRect(s_app->Main());
  RECT r = WindowRect(panel);
  ASSERT_EQ(main.left, main0.left + 120) << "the main window did not move: " << Describe(main);
  EXPECT_EQ(r.left, main.right) << Describe(main) << " " << Describe(r);
  EXPECT_EQ(r.top, main.top) << Describe(main) << " " << Describe(r);

  // Then down: the panel follows along the edge (the first vertical step
  // records its place along the edge, so it may trail by that step).
  const RECT before = r;
  Drag(CaptionPoint(s_app->Main()), 0, 100, 5);
  main = WindowRect(s_app->Main());
  r = WindowRect(panel);
  ASSERT_EQ(main.top, main0.top + 100) << Describe(main);
  EXPECT_EQ(r.left, main.right) << Describe(main) << " " << Describe(r);
  EXPECT_GE(r.top - before.top, 50) << Describe(before) << " " << Describe(r);
  EXPECT_LE(r.top, main.top) << Describe(main) << " " << Describe(r);
  EXPECT_EQ(r.right - r.left, before.right - before.left);
  Screenshot("panel-carried");
}

TEST_F(ProcessPanel, PlacementRequestsKeepTheDockedPanelFlushAndItsSize) {
  HWND panel = Panel();
  const RECT main = WindowRect(s_app->Main());
  const RECT r0 = WindowRect(panel);
  // Asked to go elsewhere with another size: it stays against the right
  // edge, goes where asked along it, and keeps its size.
  SetWindowPos(panel, nullptr, main.right + 30, main.top + 10, 50, 40, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r = WindowRect(panel);
  EXPECT_EQ(r.left, main.right) << Describe(r);
  EXPECT_EQ(r.top, main.top + 10) << Describe(r);
  EXPECT_EQ(r.right - r.left, r0.right - r0.left);
  EXPECT_EQ(r.bottom - r.top, r0.bottom - r0.top);
  SetWindowPos(panel, nullptr, main.right - 70, main.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  r = WindowRect(panel);
  EXPECT_EQ(r.left, main.right) << Describe(r);
  EXPECT_EQ(r.top, main.top) << Describe(r);
}

TEST_F(ProcessPanel, HiddenPanelIsLeftBehindAndJumpsBackWhenShown) {
  HWND panel = Panel();
  // The close box only hides it.
  PostMessageA(panel, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }));
  EXPECT_TRUE(IsWindow(panel));
  // Moved by the program itself the main window carries nothing; then
  // dragged by the user, the hidden panel is not carried either.
  SetWindowPos(s_app->Main(), nullptr, 150, 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT hidden = WindowRect(panel);
  Drag(CaptionPoint(s_app->Main()), -100, -50, 4);
  const RECT main = WindowRect(s_app->Main());
  EXPECT_EQ(WindowRect(panel).left, hidden.left);
  EXPECT_EQ(WindowRect(panel).top, hidden.top);
  ASSERT_NE(main.right, hidden.left) << "the main window did not move";

  ShowPanel();
  const RECT r = WindowRect(panel);
  EXPECT_EQ(r.left, main.right) << Describe(main) << " " << Describe(r);
  EXPECT_EQ(r.top, main.top) << Describe(main) << " " << Describe(r);
}

TEST_F(ProcessPanel, PanelPulledAwayComesFreeAndSnapsToAnotherEdge) {
  HWND panel = Panel();
  // Pulled 150 pixels away to the right: released, it stays where dropped.
  const RECT r0 = WindowRect(panel);
  Drag(CaptionPoint(panel), 150, 0, 5);
  RECT r = WindowRect(panel);
  EXPECT_EQ(r.left, r0.left + 150) << Describe(r0) << " " << Describe(r);
  EXPECT_EQ(r.top, r0.top) << Describe(r0) << " " << Describe(r);
  // Now free: a drag of the main window leaves it alone.
  const RECT free = r;
  Drag(CaptionPoint(s_app->Main()), 0, 40, 2);
  r = WindowRect(panel);
  EXPECT_EQ(r.left, free.left);
  EXPECT_EQ(r.top, free.top);

  // Dragged to just below the main window: it snaps flush against the bottom.
  const RECT main = WindowRect(s_app->Main());
  const POINT grab = CaptionPoint(panel);
  const int dx = main.left + 40 - r.left;
  const int dy = main.bottom + 30 - r.top;
  Drag(grab, dx, dy, 6);
  r = WindowRect(panel);
  EXPECT_EQ(r.top, main.bottom) << Describe(main) << " " << Describe(r);
  EXPECT_EQ(r.left, main.left + 40) << Describe(main) << " " << Describe(r);
  Screenshot("panel-bottom");

  // Docked at the bottom it is carried again: flush below, and along the
  // edge it follows all but the first step, which records its place.
  const RECT docked = r;
  Drag(CaptionPoint(s_app->Main()), 60, 0, 3);
  const RECT main2 = WindowRect(s_app->Main());
  r = WindowRect(panel);
  ASSERT_EQ(main2.left, main.left + 60) << Describe(main2);
  EXPECT_EQ(r.top, main2.bottom) << Describe(main2) << " " << Describe(r);
  EXPECT_GT(r.left, docked.left) << Describe(docked) << " " << Describe(r);
  EXPECT_LT(r.left, docked.left + 60) << Describe(docked) << " " << Describe(r);

  // Back to the top-left corner and against the right edge for the rest.
  SetWindowPos(s_app->Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const RECT home = WindowRect(s_app->Main());
  Drag(CaptionPoint(panel), home.right + 10 - r.left, home.top - r.top, 6);
  r = WindowRect(panel);
  EXPECT_EQ(r.left, home.right) << Describe(home) << " " << Describe(r);
}

TEST_F(ProcessPanel, PickerOpensOverThePanelAndListsTheProcesses) {
  HWND panel = Panel();
  ASSERT_TRUE(IsWindowVisible(panel));
  const RECT p = WindowRect(panel);
  PostMessageA(panel, WM_COMMAND, ID_PROCESS_STATS, 0);
  ASSERT_TRUE(WaitUntil([] { return IsWindowVisible(Picker()) != FALSE; }));
  Pump(100);
  const RECT r = WindowRect(Picker());
  EXPECT_EQ(r.left, p.left - (p.right - p.left) / 2) << Describe(p) << " " << Describe(r);
  EXPECT_EQ(r.top, p.top) << Describe(p) << " " << Describe(r);

  HWND listWnd = GetDlgItem(Picker(), IDC_PROCESS_LIST);
  RemoteList list(listWnd, s_app->Pid());
  ASSERT_TRUE(list.Ok());
  int width = 0;
  EXPECT_EQ(list.Heading(0, &width), "进程ID");
  EXPECT_EQ(width, 80);
  EXPECT_EQ(list.Heading(1, &width), "进程名称");
  EXPECT_EQ(width, 150);
  EXPECT_EQ(list.Heading(2, nullptr), "<none>");
  EXPECT_EQ(SendMessageA(listWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

  // Our own process, the program and the test program are listed with
  // their ids; no row is listed twice.
  std::set<DWORD> pids;
  for (int i = 0; i < list.Count(); ++i) {
    const DWORD pid = static_cast<DWORD>(list.Data(i));
    EXPECT_TRUE(pids.insert(pid).second) << "pid " << pid << " listed twice";
    EXPECT_EQ(list.Text(i, 0), tallivo::ProcessIdText(pid)) << "row " << i;
  }
  for (DWORD pid : {s_targetPid, s_app->Pid(), GetCurrentProcessId()}) EXPECT_TRUE(pids.count(pid)) << pid;
  const int row = list.FindRow(kTargetExe);
  ASSERT_GE(row, 0);
  EXPECT_EQ(static_cast<DWORD>(list.Data(row)), s_targetPid);
  EXPECT_GE(list.FindRow("Tallivo.exe"), 0);

  // The first entry of a snapshot is not listed.
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 first = {};
  first.dwSize = sizeof first;
  ASSERT_TRUE(Process32First(snap, &first));
  CloseHandle(snap);
  EXPECT_FALSE(pids.count(first.th32ProcessID)) << first.szExeFile;
  Screenshot("picker");

  // The close box only hides it.
  PostMessageA(Picker(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(Picker()); }));
  EXPECT_TRUE(IsWindow(listWnd));
}

TEST_F(ProcessPanel, ChoosingTheTestProgramCountsOnlyInputToItsWindow) {
  ASSERT_TRUE(Choose(kTargetExe));
  EXPECT_TRUE(WaitUntil([] { return PanelText(IDC_PROC_SHARE).rfind(std::string(kTargetName) + " ", 0) == 0; }))
      << PanelText(IDC_PROC_SHARE);
  // The double click on the picker went to the program, not the test program.
  PanelCounts c;
  ASSERT_TRUE(WaitPanelCounts(c));

  // Over the test program's window: counted.
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  ClickAt(kTargetCenter, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 2);
  ClickAt(kTargetCenter, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
  WheelAt(kTargetCenter, 120, 2);
  c.left += 3;
  c.right += 2;
  c.middle += 1;
  c.wheel += 2;
  ASSERT_TRUE(WaitPanelCounts(c));

  // Key strokes count while its window is in the foreground.
  SetForegroundWindow(s_target);
  ASSERT_TRUE(WaitUntil([] { return GetForegroundWindow() == s_target; }));
  TapKey('T', 4);
  c.keys += 4;
  ASSERT_TRUE(WaitPanelCounts(c));

  // Elsewhere: the main window counts, the panel does not.
  const uint32_t globalBefore = GlobalTotal();
  const POINT s = s_sink->Center();
  ClickAt(s, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 5);
  WheelAt(s, 120, 1);
  s_sink->Activate();
  TapKey('S', 3);
  EXPECT_TRUE(WaitUntil([&] { return GlobalTotal() >= globalBefore + 9; }, 8000)) << GlobalTotal();
  Pump(300);
  EXPECT_TRUE(WaitPanelCounts(c));

  // The share line: name, then the share of all input counted today.
  const uint32_t global = GlobalTotal();
  const uint32_t process = c.left + c.right + c.middle + c.wheel + c.keys;
  const std::string expected =
      tallivo::ShareLine(kTargetName, tallivo::SharePercent(static_cast<float>(process), static_cast<float>(global)));
  EXPECT_TRUE(WaitUntil([&] { return PanelText(IDC_PROC_SHARE) == expected; })) << PanelText(IDC_PROC_SHARE)
                                                                                  << " want " << expected;
  EXPECT_GT(process * 100 / global, 0u);
  Screenshot("panel-counting");
}

TEST_F(ProcessPanel, DoubleClickBesideTheRowsChoosesNothing) {
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  ASSERT_TRUE(WaitUntil([] { return NumberIn(PanelText(IDC_PROC_LEFT)) > 0; }));
  Pump(300);
  const std::string left = PanelText(IDC_PROC_LEFT);

  PostMessageA(Panel(), WM_COMMAND, ID_PROCESS_STATS, 0);
  ASSERT_TRUE(WaitUntil([] { return IsWindowVisible(Picker()) != FALSE; }));
  HWND listWnd = GetDlgItem(Picker(), IDC_PROCESS_LIST);
  RemoteList list(listWnd, s_app->Pid());
  // The empty area below the last row: the selection goes, nothing is chosen.
  RECT client;
  GetClientRect(listWnd, &client);
  POINT below = {client.right / 3, client.bottom - 10};
  ClientToScreen(listWnd, &below);
  ASSERT_GT(below.y, list.RowPoint(list.Count() - 1).y + 20) << "no empty area below the rows";
  DoubleClickAt(below);
  Pump(500);
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_TRUE(IsWindowVisible(Picker()));
  EXPECT_EQ(PanelText(IDC_PROC_LEFT), left);
  // Same name; the share itself moves with the two clicks on the picker.
  EXPECT_EQ(PanelText(IDC_PROC_SHARE).rfind(std::string(kTargetName) + " ", 0), 0u) << PanelText(IDC_PROC_SHARE);
  // Counting goes on for the program chosen before.
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  EXPECT_TRUE(WaitUntil([&] { return NumberIn(PanelText(IDC_PROC_LEFT)) == NumberIn(left) + 1; }))
      << PanelText(IDC_PROC_LEFT);
  PostMessageA(Picker(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(Picker()); }));
}

TEST_F(ProcessPanel, ClearQuestionYesZeroesOnlyThePerProcessCounts) {
  // Some input to the test program first.
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  EXPECT_TRUE(WaitUntil([] { return NumberIn(PanelText(IDC_PROC_LEFT)) >= 2; })) << PanelText(IDC_PROC_LEFT);
  Pump(300);
  const std::string left = PanelText(IDC_PROC_LEFT);
  const std::string mainLeft = s_app->Text(IDC_LEFT_CLICKS);
  const std::string mainKeys = s_app->Text(IDC_KEY_STROKES);

  // No: nothing changes.
  PostMessageA(Panel(), WM_COMMAND, ID_PROCESS_CLEAR, 0);
  HWND box = s_app->FindDialog("提示");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(DialogStaticText(box), "是否全面清空,可以重新统计");
  EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
  EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
  PressButton(box, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  Pump(300);
  EXPECT_EQ(PanelText(IDC_PROC_LEFT), left);

  // Yes: the panel's counts go to 0, the day's figures stay.
  PostMessageA(Panel(), WM_COMMAND, ID_PROCESS_CLEAR, 0);
  box = s_app->FindDialog("提示");
  ASSERT_NE(box, nullptr);
  Screenshot("clear-question");
  PressButton(box, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(WaitPanelCounts({}));
  EXPECT_TRUE(WaitUntil([] { return PanelText(IDC_PROC_SHARE) == std::string(kTargetName) + " 进程占全局比:0%"; }))
      << PanelText(IDC_PROC_SHARE);
  EXPECT_EQ(s_app->Text(IDC_LEFT_CLICKS), mainLeft);
  EXPECT_EQ(s_app->Text(IDC_KEY_STROKES), mainKeys);

  // Counting goes on for the same program.
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  PanelCounts c;
  c.left = 1;
  EXPECT_TRUE(WaitPanelCounts(c));
}

TEST_F(ProcessPanel, ChoosingTheSameProgramAgainStartsAgainFromZero) {
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  ASSERT_TRUE(WaitUntil([] { return NumberIn(PanelText(IDC_PROC_LEFT)) >= 2; })) << PanelText(IDC_PROC_LEFT);
  ASSERT_TRUE(Choose(kTargetExe));
  EXPECT_TRUE(WaitPanelCounts({}));
  ClickAt(kTargetCenter, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
  PanelCounts c;
  c.right = 1;
  EXPECT_TRUE(WaitPanelCounts(c));
}

TEST_F(ProcessPanel, HiddenPickerKeepsItsListFresh) {
  ASSERT_FALSE(IsWindowVisible(Picker()));
  // A program started now appears in the hidden picker's list at its next
  // rebuild, within ten seconds.
  char cmd[256];
  snprintf(cmd, sizeof cmd, "\"%s\\%s\" 10 700 60 40", BinDir().c_str(), kTargetExe);
  STARTUPINFOA si = {sizeof si};
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  CloseHandle(pi.hThread);
  RemoteList list(GetDlgItem(Picker(), IDC_PROCESS_LIST), s_app->Pid());
  auto listed = [&] {
    for (int i = 0; i < list.Count(); ++i) {
      if (static_cast<DWORD>(list.Data(i)) == pi.dwProcessId) return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitUntil(listed, 25000));
  // And it goes again once the program has ended.
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hProcess);
  EXPECT_TRUE(WaitUntil([&] { return !listed(); }, 25000));
}

bool HasTopLevelWindow(DWORD pid) { return !TopLevelWindowsOf(pid).empty(); }

TEST_F(ProcessPanel, ChoosingAProcessWithoutWindowsCountsNothing) {
  // A listed process without any top-level window: the choice carries
  // thread 0, and the name is set all the same.
  std::string exe;
  {
    RemoteList list(GetDlgItem(Picker(), IDC_PROCESS_LIST), s_app->Pid());
    for (int i = 0; i < list.Count() && exe.empty(); ++i) {
      if (!HasTopLevelWindow(static_cast<DWORD>(list.Data(i)))) exe = list.Text(i, 1);
    }
  }
  ASSERT_FALSE(exe.empty()) << "every listed process has a window";
  ASSERT_TRUE(Choose(exe.c_str())) << exe;
  const std::string name = tallivo::ProcessNameFromExe(exe);
  EXPECT_TRUE(WaitUntil([&] { return PanelText(IDC_PROC_SHARE).rfind(name + " ", 0) == 0; }))
      << PanelText(IDC_PROC_SHARE);
  EXPECT_TRUE(WaitPanelCounts({}));
  ClickAt(kTargetCenter, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  SetForegroundWindow(s_target);
  TapKey('U', 2);
  Pump(500);
  EXPECT_TRUE(WaitPanelCounts({}));
  EXPECT_TRUE(WaitUntil([&] { return PanelText(IDC_PROC_SHARE) == name + " 进程占全局比:0%"; }))
      << PanelText(IDC_PROC_SHARE);
}

TEST_F(ProcessPanel, EscapeHidesThePanelAndTheMenuShowsItAgain) {
  HWND panel = Panel();
  ASSERT_TRUE(IsWindowVisible(panel));
  SetForegroundWindow(panel);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == panel; }));
  TapKey(VK_ESCAPE, 1);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(panel); }));
  // Only the panel went: the program runs on.
  EXPECT_TRUE(s_app->Running());
  EXPECT_TRUE(IsWindowVisible(s_app->Main()));
  ShowPanel();
  const RECT main = WindowRect(s_app->Main());
  EXPECT_EQ(WindowRect(panel).left, main.right);
}

TEST_F(ProcessPanel, MinimisedPanelIsNotCarriedAndRestoresFlushWithItsSize) {
  HWND panel = Panel();
  ASSERT_TRUE(IsWindowVisible(panel));
  const RECT normal = WindowRect(panel);
  PostMessageA(panel, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(panel) != FALSE; }));
  Pump(200);
  const RECT icon = WindowRect(panel);
  Drag(CaptionPoint(s_app->Main()), 40, 30, 3);
  EXPECT_EQ(WindowRect(panel).left, icon.left);
  EXPECT_EQ(WindowRect(panel).top, icon.top);

  PostMessageA(panel, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsIconic(panel); }));
  Pump(200);
  const RECT main = WindowRect(s_app->Main());
  const RECT r = WindowRect(panel);
  EXPECT_EQ(r.left, main.right) << Describe(main) << " " << Describe(r);
  EXPECT_EQ(r.right - r.left, normal.right - normal.left) << Describe(normal) << " " << Describe(r);
  EXPECT_EQ(r.bottom - r.top, normal.bottom - normal.top) << Describe(normal) << " " << Describe(r);
}

}  // namespace
