// The history window over a year the test wrote: opened from the menu and
// the tray, its lists per range, sorting, a bar's tip, the programs'
// shares, today's row following input, the CSV files and their failures.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <memory>

#include "base/messages.h"
#include "harness.h"
#include "history/history_model.h"
#include "history/history_window_rules.h"
#include "history_harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;
using namespace tallivo::history;

namespace {

constexpr char kCaption[] = "历史记录";

class HistoryWindow : public SharedApp<HistoryWindow> {
 public:
  static void BeforeStart() {
    ASSERT_TRUE(WriteKnownYear());
    MoveCursor(40, 40);
    CreateDirectoryA(Dir().c_str(), nullptr);
  }

 protected:
  static std::string Dir() { return BinDir() + "\\history-export\\"; }

  static std::vector<HWND> Windows() {
    std::vector<HWND> found;
    for (HWND w : s_app->TopLevelWindows()) {
      if (WindowText(w) == kCaption) found.push_back(w);
    }
    return found;
  }
  // The one open history window, opened by the menu command when asked.
  static HWND Window(bool open = true) {
    if (Windows().empty() && open) s_app->Command(ID_HISTORY);
    WaitUntil([] { return Windows().size() == 1 && IsWindowVisible(Windows()[0]); });
    return Windows().size() == 1 ? Windows()[0] : nullptr;
  }
  static HWND Item(int id) { return GetDlgItem(Window(), id); }

  // One cell of a list view of the program, read through shared memory.
  static std::string Cell(int list, int row, int column) {
    return ListCell(s_app->Process(), Item(list), row, column);
  }
  static int Rows(int list) { return static_cast<int>(SendMessageA(Item(list), LVM_GETITEMCOUNT, 0, 0)); }
  static std::vector<std::vector<std::string>> Table(int list, int columns) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0, n = Rows(list); r < n; ++r) {
      rows.emplace_back();
      for (int c = 0; c < columns; ++c) rows.back().push_back(Cell(list, r, c));
    }
    return rows;
  }
  static void Press(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  static void ShowTab(int tab) { SendMessageA(Item(IDC_HIST_TAB), TCM_SETCURFOCUS, tab, 0); }

  // The date pickers set to the two dates, then a change made as the user
  // does: the year of the second one up and down again with the keyboard.
  static void PickRange(const std::string& from, const std::string& to) {
    SharedBlock block(s_app->Process(), 256);
    ASSERT_TRUE(block.Ok());
    for (const auto& [id, text] : {std::pair{IDC_HIST_FROM, from}, std::pair{IDC_HIST_TO, to}}) {
      Date d;
      ASSERT_TRUE(ParseDate(text, &d));
      auto* st = reinterpret_cast<SYSTEMTIME*>(block.Local());
      *st = {};
      st->wYear = static_cast<WORD>(d.year);
      st->wMonth = static_cast<WORD>(d.month);
      st->wDay = static_cast<WORD>(d.day);
      SendMessageA(Item(id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(block.Remote()));
    }
    // The picker tells its window of a change only for the user's own
    // input; on a busy machine a click may not have focused it yet, so
    // again until the days list starts at the chosen day.
    for (int attempt = 0; attempt < 4; ++attempt) {
      SetForegroundWindow(Window());
      RECT rc;
      GetWindowRect(Item(IDC_HIST_TO), &rc);
      ClickAt({rc.left + 12, (rc.top + rc.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
      Pump(200);
      TapKey(VK_UP, 1);
      Pump(200);
      TapKey(VK_DOWN, 1);
      if (WaitUntil([&] { return Cell(IDC_HIST_DAYS, 0, 0) == from; }, 2000)) return;
    }
  }

  static void Screenshot(const std::string& name) {
    const std::string png = "/tmp/hwin-" + name + ".png";
    DeleteFileA(("Z:" + png).c_str());
    RunUnix("/usr/bin/import -window root " + png);
    WaitUntil([&] { return GetFileAttributesA(("Z:" + png).c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
  }
};

// The sum of the year's rows in [from, to] but for today, plus today's row
// as the file holds it now (the program adds to it while it runs).
DayRow ExpectedTotal(const std::string& from, const std::string& to) {
  const std::string today = TodayKey();
  std::vector<DayRow> rows;
  for (const DayRow& d : KnownYearRows().Between(from, to).days) {
    if (d.date != today) rows.push_back(d);
  }
  DayRow now;
  if (ReadDayRow(today, &now) && from <= today && today <= to) rows.push_back(now);
  return TotalOf(rows);
}

TEST_F(HistoryWindow, MenuAndTrayOpenOneWindowOwnedByTheMainWindow) {
  EXPECT_NE(MenuItemState(*s_app, 2, ID_HISTORY), 0xFFFFFFFFu) << "no 历史记录 in the 统计 menu";
  // The tray menu's second item, chosen with the keyboard as a user would.
  PostMessageA(s_app->Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_RBUTTONUP);
  ASSERT_TRUE(WaitUntil([] {
    for (HWND w : s_app->TopLevelWindows()) {
      char cls[32] = {};
      GetClassNameA(w, cls, sizeof cls);
      if (std::string(cls) == "#32768" && IsWindowVisible(w)) return true;
    }
    return false;
  })) << "no tray menu";
  TapKey(VK_DOWN, 2);
  TapKey(VK_RETURN, 1);
  ASSERT_TRUE(WaitUntil([] { return Windows().size() == 1; })) << "the tray item opened nothing";
  HWND first = Windows()[0];
  EXPECT_EQ(GetWindow(first, GW_OWNER), s_app->Main());
  EXPECT_TRUE(GetWindowLongA(first, GWL_STYLE) & WS_THICKFRAME);
  // A second command, minimised or not, brings back the same window.
  ShowWindow(first, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(first) != FALSE; }));
  s_app->Command(ID_HISTORY);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(first) && IsWindowVisible(first); }));
  Pump(300);
  EXPECT_EQ(Windows(), std::vector<HWND>{first});
  // Closed, it opens afresh, where it was.
  RECT before;
  GetWindowRect(first, &before);
  SetWindowPos(first, nullptr, before.left + 20, before.top + 10, 700, 520, SWP_NOZORDER);
  PostMessageA(first, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }));
  HWND second = Window();
  ASSERT_TRUE(second);
  RECT after;
  GetWindowRect(second, &after);
  EXPECT_EQ(after.left, before.left + 20);
  EXPECT_EQ(after.top, before.top + 10);
  EXPECT_EQ(after.right - after.left, 700);
  EXPECT_EQ(after.bottom - after.top, 520);
  // Never smaller than its minimum.
  SetWindowPos(second, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  GetWindowRect(second, &after);
  EXPECT_GE(after.right - after.left, kHistoryMinWidth);
  EXPECT_GE(after.bottom - after.top, kHistoryMinHeight);
  SetWindowPos(second, nullptr, 0, 0, 760, 560, SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(HistoryWindow, EachRangeListsItsDaysWithGapsAsZeroAndTheRightTotals) {
  const struct {
    int button;
    int days;
  } cases[] = {
      {IDC_HIST_TODAY, 1}, {IDC_HIST_7DAYS, 7}, {IDC_HIST_30DAYS, 30}, {IDC_HIST_YEAR, 365}, {IDC_HIST_ALL, 365}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.days);
    Press(c.button);
    ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_DAYS) == c.days + 1; })) << Rows(IDC_HIST_DAYS);
    const std::string from = DateDaysAgo(c.days - 1), today = TodayKey();
    EXPECT_EQ(Cell(IDC_HIST_DAYS, 0, 0), from);
    EXPECT_EQ(Cell(IDC_HIST_DAYS, c.days - 1, 0), today);
    EXPECT_EQ(Cell(IDC_HIST_DAYS, c.days, 0), "合计");
    // Totals of every column against the known rows and today's as the
    // file has it this moment (input elsewhere may add to it meanwhile).
    std::vector<std::string> shown, wanted;
    EXPECT_TRUE(WaitUntil([&] {
      const DayRow total = ExpectedTotal(from, today);
      shown.clear();
      wanted.clear();
      for (int col = 1; col < kDayColumns; ++col) {
        shown.push_back(Cell(IDC_HIST_DAYS, c.days, col));
        wanted.push_back(DayCellText(total, static_cast<DayColumn>(col)));
      }
      return shown == wanted;
    })) << testing::PrintToString(shown)
        << " != " << testing::PrintToString(wanted);
  }
  // A gap (day 3 and 10 in the last 30) is a row of zeros; a present day its figures.
  Press(IDC_HIST_30DAYS);
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_DAYS) == 31; }));
  EXPECT_EQ(Table(IDC_HIST_DAYS, kDayColumns)[29 - 3],
            (std::vector<std::string>{DateDaysAgo(3), "0", "0", "0", "0", "0", "0.00", "0分"}));
  EXPECT_EQ(Table(IDC_HIST_DAYS, kDayColumns)[29 - 12],
            (std::vector<std::string>{DateDaysAgo(12), "22", "4", "0", "6", "124", "1.00", "12分"}));
  Screenshot("days");
}

TEST_F(HistoryWindow, AHeaderClickSortsTheDaysAndTheTotalStaysLast) {
  Press(IDC_HIST_30DAYS);
  ShowTab(0);
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_DAYS) == 31; }));
  HWND list = Item(IDC_HIST_DAYS);
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  auto clickHeader = [&](int column) {
    RECT hr;
    GetWindowRect(header, &hr);
    int x = hr.left;
    for (int c = 0; c < column; ++c) x += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, c, 0));
    x += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)) / 2;
    SetForegroundWindow(Window());
    ClickAt({x, (hr.top + hr.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  };
  auto column = [&](int col) {
    std::vector<std::string> v;
    for (int r = 0; r < 30; ++r) v.push_back(Cell(IDC_HIST_DAYS, r, col));
    return v;
  };
  auto numbers = [&](int col) {
    std::vector<long long> v;
    for (const auto& s : column(col)) v.push_back(std::stoll(s));
    return v;
  };
  const int keys = static_cast<int>(DayColumn::Keys);
  clickHeader(keys);
  EXPECT_TRUE(WaitUntil([&] {
    auto v = numbers(keys);
    return std::is_sorted(v.begin(), v.end()) && v[0] == 0;
  })) << testing::PrintToString(numbers(keys));
  EXPECT_EQ(Cell(IDC_HIST_DAYS, 30, 0), "合计");
  clickHeader(keys);
  EXPECT_TRUE(WaitUntil([&] {
    auto v = numbers(keys);
    return std::is_sorted(v.rbegin(), v.rend()) && v[29] == 0;
  })) << testing::PrintToString(numbers(keys));
  EXPECT_EQ(Cell(IDC_HIST_DAYS, 30, 0), "合计");
  // Another column starts from the smallest; the date column puts the days back.
  clickHeader(0);
  EXPECT_TRUE(WaitUntil([&] {
    auto v = column(0);
    return std::is_sorted(v.begin(), v.end());
  }));
  clickHeader(0);
  EXPECT_TRUE(WaitUntil([&] {
    auto v = column(0);
    return std::is_sorted(v.rbegin(), v.rend());
  }));
  EXPECT_EQ(Cell(IDC_HIST_DAYS, 0, 0), TodayKey());
  clickHeader(0);
  EXPECT_TRUE(WaitUntil([&] { return Cell(IDC_HIST_DAYS, 29, 0) == TodayKey(); }));
}

TEST_F(HistoryWindow, TheBarUnderThePointerTellsItsDaysFigures) {
  Press(IDC_HIST_30DAYS);
  ShowTab(0);
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_DAYS) == 31; }));
  SetForegroundWindow(Window());
  HWND chart = Item(IDC_HIST_CHART);
  ASSERT_TRUE(IsWindowVisible(chart));
  RECT rc;
  GetClientRect(chart, &rc);
  const DailyChartLayout layout = LayoutDailyChart(rc.right, rc.bottom, 30);
  for (int k : {5, 3, 12}) {  // a day, a gap, another day
    SCOPED_TRACE(k);
    const int i = 29 - k;
    POINT p = {(layout.BarLeft(i) + layout.BarRight(i) - 1) / 2, layout.plot.top + layout.plot.Height() / 2};
    ClientToScreen(chart, &p);
    PointAt(p);
    DayRow d;
    d.date = DateDaysAgo(k);
    for (const DayRow& r : KnownYearRows().days) {
      if (r.date == d.date) d = r;
    }
    const std::string wanted =
        d.date + "\r\n左键:" + std::to_string(d.counts.left) + "\r\n右键:" + std::to_string(d.counts.right) +
        "\r\n中键:" + std::to_string(d.counts.middle) + "\r\n滚动:" + std::to_string(d.counts.wheel) +
        "\r\n键盘:" + std::to_string(d.counts.keys) + "\r\n移动(米):" + MetresText(d.moveMetres) +
        "\r\n活跃时间:" + ActiveTimeText(d.activeSeconds);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(chart) == wanted; })) << WindowText(chart);
    bool tipShown = false;
    for (HWND w : s_app->TopLevelWindows()) {
      char cls[64] = {};
      GetClassNameA(w, cls, sizeof cls);
      tipShown |= std::string(cls) == TOOLTIPS_CLASSA && IsWindowVisible(w);
    }
    EXPECT_TRUE(tipShown) << "no tip on the screen";
    if (k == 5) Screenshot("bar-tip");
  }
  // Off the bars: no tip text.
  POINT out = {rc.right - 2, 2};
  ClientToScreen(chart, &out);
  PointAt(out);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(chart).empty(); })) << WindowText(chart);
}

TEST_F(HistoryWindow, ProgramsAreListedByEventsAndTheirSharesAddUpTo100) {
  Press(IDC_HIST_YEAR);
  ShowTab(3);
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_PROGRAMS) >= 3; }));
  const auto rows = Table(IDC_HIST_PROGRAMS, 5);
  int tenths = 0;
  unsigned long long previous = ~0ull;
  std::vector<std::string> names;
  for (const auto& r : rows) {
    names.push_back(r[0]);
    const unsigned long long events = std::stoull(r[1]) + std::stoull(r[2]) + std::stoull(r[3]);
    EXPECT_LE(events, previous) << r[0] << " out of order";
    previous = events;
    int whole = 0, tenth = 0;
    ASSERT_EQ(std::sscanf(r[4].c_str(), "%d.%d%%", &whole, &tenth), 2) << r[4];
    tenths += whole * 10 + tenth;
  }
  EXPECT_EQ(tenths, 1000) << testing::PrintToString(rows);
  ASSERT_GE(names.size(), 3u);
  // The test's own input may have added this program for today, but far below these.
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
            (std::vector<std::string>{"notepad.exe", "winword.exe", "浏览器.exe"}));
  Screenshot("programs");
  ShowTab(1);
  Pump(500);
  Screenshot("hours");
  ShowTab(2);
  // The fixture's eight keys, and the few this test typed today.
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_TOPKEYS) >= 8 && Rows(IDC_HIST_TOPKEYS) <= 10; }));
  EXPECT_EQ(Cell(IDC_HIST_TOPKEYS, 0, 0), "E");
  Screenshot("keys");
  ShowTab(0);
}

TEST_F(HistoryWindow, TodaysRowFollowsInputWithinASecondOrTwo) {
  Press(IDC_HIST_TODAY);
  ShowTab(0);
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_DAYS) == 2; }));
  RECT win;
  GetWindowRect(Window(), &win);
  InputSink sink({win.right + 10, win.top, win.right + 110, win.top + 100});
  const long long before = std::stoll(Cell(IDC_HIST_DAYS, 0, 1));
  ClickAt(sink.Center(), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  const DWORD start = GetTickCount();
  EXPECT_TRUE(WaitUntil([&] { return std::stoll(Cell(IDC_HIST_DAYS, 0, 1)) >= before + 3; }, 4000))
      << before << " -> " << Cell(IDC_HIST_DAYS, 0, 1);
  EXPECT_LE(GetTickCount() - start, 2500u);
  EXPECT_EQ(std::stoll(Cell(IDC_HIST_DAYS, 1, 1)), std::stoll(Cell(IDC_HIST_DAYS, 0, 1))) << "total behind";
}

// Opens the export's save dialog, types the name, runs `between`, presses OK.
HWND ExportAs(
    HWND window, DWORD pid, const std::string& name, const std::function<void()>& between = [] {}) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_HIST_EXPORT, BN_CLICKED), 0);
  HWND dlg = FindOwnedDialog(pid, window);
  if (!dlg) return nullptr;
  HWND field = GetDlgItem(dlg, 0x47C) ? GetDlgItem(dlg, 0x47C) : GetDlgItem(dlg, 0x480);  // cmb13 or edt1
  SetWindowTextA(field, name.c_str());
  between();
  PressButton(dlg, IDOK);
  return dlg;
}

TEST_F(HistoryWindow, ExportWritesEachTableOfTheRangeExactly) {
  // Forty to ten days ago: today's moving figures stay out of it.
  const std::string from = DateDaysAgo(40), to = DateDaysAgo(10);
  PickRange(from, to);
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_DAYS) == 32 && Cell(IDC_HIST_DAYS, 0, 0) == from; }));
  const KnownYear y = KnownYearRows().Between(from, to);
  Date f, t;
  ASSERT_TRUE(ParseDate(from, &f) && ParseDate(to, &t));
  const std::string days = CsvDays(FillDays(y.days, {f, t}));
  // The format itself, once by hand: BOM, header, a gap as zeros (day 38).
  EXPECT_EQ(days.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(days.find("\r\n" + DateDaysAgo(38) + ",0,0,0,0,0,0,0,0\r\n"), std::string::npos);
  EXPECT_NE(days.find("\r\n" + DateDaysAgo(12) + ",22,4,0,6,124,13000,1,750\r\n"), std::string::npos);
  const struct {
    int tab;
    std::string name, bytes;
  } cases[] = {
      {0, "days.csv", days},
      {1, "hours.csv", CsvHours(y.hours)},
      {2, "keys.csv", CsvKeys(y.keys)},
      {3, "programs.csv", CsvPrograms(y.programs)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Dir() + c.name;
    DeleteFileA(path.c_str());
    ShowTab(c.tab);  // the save dialog starts at the table of the page shown
    ASSERT_TRUE(ExportAs(Window(), s_app->Pid(), path));
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(path) == c.bytes; })) << ReadFileBytes(path).substr(0, 300);
    EXPECT_EQ(GetFileAttributesA((path + ".part").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(AnswerAppBox(*s_app, 200), "<no box>");
    DeleteFileA(path.c_str());
  }
  ShowTab(0);
}

TEST_F(HistoryWindow, EachExportFailureSaysWhyAndLeavesNoFile) {
  enum Kind { kFull, kReadOnly };
  const std::string dir = Dir();
  const struct {
    Kind kind;
    std::string name, message;
  } cases[] = {
      {kFull, "full.csv", "在存取 " + dir + "full.csv 时磁盘已满。"},
      {kReadOnly, "readonly.csv", "对 " + dir + "readonly.csv 的存取被拒绝。"},
  };
  HWND window = Window();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    const std::string path = dir + c.name, scratch = path + ".part";
    const std::string link = "\"" + UnixPath(scratch) + "\"";
    std::unique_ptr<ReadOnlyFile> readOnly;
    auto scratchOpens = [&] {
      HANDLE h = CreateFileA(scratch.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
      return h != INVALID_HANDLE_VALUE;
    };
    // A full disk where the export writes first.
    ASSERT_TRUE(c.kind != kFull || (RunUnix("/bin/ln -sf /dev/full " + link) && WaitUntil(scratchOpens)));
    if (c.kind == kReadOnly) readOnly = std::make_unique<ReadOnlyFile>(path, "keep");
    ASSERT_TRUE(c.kind != kReadOnly || readOnly->Unwritable());
    HWND dlg = ExportAs(window, s_app->Pid(), path);
    ASSERT_TRUE(dlg);
    WaitUntil([&] {
      if (HWND q = FindOwnedDialog(s_app->Pid(), dlg, 0)) {  // replace the file?
        PressButton(q, IDYES);
        WaitUntil([&] { return !IsWindow(q); });
      }
      return s_app->FindDialog("Tallivo", 0) != nullptr;
    });
    EXPECT_EQ(AnswerAppBox(*s_app, 3000), c.message);
    if (c.kind == kReadOnly) {
      EXPECT_EQ(ReadFileBytes(path), "keep") << "the read-only file changed";
    } else {
      EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "a file under the chosen name";
    }
    if (c.kind == kFull) {
      RunUnix("/bin/rm -f " + link) && WaitUntil([&] { return !scratchOpens(); });
    } else {
      EXPECT_EQ(GetFileAttributesA(scratch.c_str()), INVALID_FILE_ATTRIBUTES) << "scratch file left";
    }
    readOnly.reset();
    DeleteFileA(path.c_str());
  }
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "tvc*.tmp").c_str(), &fd);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "scratch file left: " << fd.cFileName;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);

  // A folder gone after it was chosen, and a name the file system refuses:
  // either the save dialog itself or the program says the path is wrong.
  const std::string folder = dir + "gone";
  for (const std::string& path : {folder + "\\days.csv", dir + "a|b.csv"}) {
    SCOPED_TRACE(path);
    CreateDirectoryA(folder.c_str(), nullptr);
    HWND dlg = ExportAs(window, s_app->Pid(), path, [&] { RemoveDirectoryA(folder.c_str()); });
    ASSERT_TRUE(dlg);
    // The save dialog's own box, or the program's, owned by the history window.
    HWND box = nullptr;
    WaitUntil(
        [&] {
          return (box = FindOwnedDialog(s_app->Pid(), dlg, 0)) || (box = FindOwnedDialog(s_app->Pid(), window, 0, dlg));
        },
        10000);
    ASSERT_TRUE(box);
    const std::string said = DialogStaticText(box);
    if (WindowText(box) == "Tallivo") {
      EXPECT_EQ(said, path + " 中包含无效的路径。");
    }
    EXPECT_NE(said, "");
    PressButton(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); });
    if (IsWindow(dlg)) PressButton(dlg, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); })) << WindowText(box) << ": " << said;
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA((path + ".part").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(IsWindow(window)) << said;
  }
}

}  // namespace
