// The history window over the known year: menu and tray, ranges, sorting, a bar's tip, programs, the CSV files.

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "base/messages.h"
#include "history_window/history_model.h"
#include "history_window/history_window_rules.h"
#include "history_harness.h"

using namespace e2e;
using namespace tallivo::history;

namespace {

using HistoryWindow = KnownYearApp;

std::string Dir() {
  const std::string dir = BinDir() + "\\history-export\\";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

// The file's days from `days` - 1 days ago to today added up, today's as the file has it now.
DayRow FileTotal(int days) {
  const std::vector<double> v = HistoryRow(
      "SELECT TOTAL(left_clicks), TOTAL(right_clicks), TOTAL(middle_clicks), TOTAL(wheel_steps), TOTAL(key_strokes), "
      "TOTAL(move_pixels), TOTAL(move_metres), TOTAL(active_seconds) FROM days WHERE date>='" +
      DateDaysAgo(days - 1) + "'");
  auto n = [&](int i) { return static_cast<uint64_t>(v.at(i)); };
  return {"", {n(0), n(1), n(2), n(3), n(4), n(5)}, v.at(6), n(7)};
}

TEST_F(HistoryWindow, MenuAndTrayOpenOneWindowOwnedByTheMainWindow) {
  EXPECT_NE(MenuItemState(*s_app, 2, ID_HISTORY), 0xFFFFFFFFu) << "no 历史记录 in the 统计 menu";
  // The tray menu's second item, chosen with the keyboard as a user would.
  PostMessageA(s_app->Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_RBUTTONUP);
  ASSERT_TRUE(WaitUntil([] { return ShowsWindowOfClass(*s_app, "#32768"); })) << "no tray menu";
  TapKey(VK_DOWN, 2);
  TapKey(VK_RETURN, 1);
  ASSERT_TRUE(WaitUntil([] { return TopLevelWindowsOf(s_app->Pid(), "历史记录").size() == 1; }))
      << "the tray item opened nothing";
  HWND first = TopLevelWindowsOf(s_app->Pid(), "历史记录")[0];
  EXPECT_EQ(GetWindow(first, GW_OWNER), s_app->Main());
  EXPECT_TRUE(GetWindowLongA(first, GWL_STYLE) & WS_THICKFRAME);
  // A second command, minimised or not, brings back the same window.
  ShowWindow(first, SW_MINIMIZE);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(first) != FALSE; }));
  s_app->Command(ID_HISTORY);
  EXPECT_TRUE(WaitUntil([&] { return !IsIconic(first) && IsWindowVisible(first); }));
  Pump(300);
  EXPECT_EQ(TopLevelWindowsOf(s_app->Pid(), "历史记录"), std::vector<HWND>{first});
  // Closed, it opens afresh, where it was, and never smaller than its minimum.
  const RECT before = WindowRect(first);
  SetWindowPos(first, nullptr, before.left + 20, before.top + 10, 700, 520, SWP_NOZORDER);
  PostMessageA(first, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }));
  HWND second = OpenHistoryWindow(*s_app);
  ASSERT_TRUE(second);
  RECT after = WindowRect(second);
  EXPECT_EQ(std::vector<LONG>({after.left, after.top, after.right - after.left, after.bottom - after.top}),
            std::vector<LONG>({before.left + 20, before.top + 10, 700, 520}));
  SetWindowPos(second, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  after = WindowRect(second);
  EXPECT_GE(after.right - after.left, kHistoryMinWidth);
  EXPECT_GE(after.bottom - after.top, kHistoryMinHeight);
  SetWindowPos(second, nullptr, 0, 0, 760, 560, SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(HistoryWindow, EachRangeListsItsDaysWithGapsAsZeroAndTheRightTotals) {
  // The 30 days last: the rows below are theirs.
  const std::pair<int, int> ranges[] = {
      {IDC_HIST_TODAY, 1}, {IDC_HIST_7DAYS, 7}, {IDC_HIST_YEAR, 365}, {IDC_HIST_ALL, 502}, {IDC_HIST_30DAYS, 30}};
  for (const auto& [button, days] : ranges) {
    SCOPED_TRACE(days);
    ASSERT_TRUE(ShowDays(button, days)) << Rows(IDC_HIST_DAYS);
    const std::string from = DateDaysAgo(days - 1), today = DateDaysAgo(0);
    EXPECT_EQ(Cell(IDC_HIST_DAYS, 0, 0), from);
    EXPECT_EQ(Cell(IDC_HIST_DAYS, days - 1, 0), today);
    // Every column's total: the file's rows of the range (input elsewhere may add to today's).
    std::vector<std::string> shown, wanted;
    EXPECT_TRUE(WaitUntil([&] {
      const DayRow total = FileTotal(days);
      shown = Row(IDC_HIST_DAYS, days, kDayColumns);
      wanted = {"合计"};
      for (int col = 1; col < kDayColumns; ++col) wanted.push_back(DayCellText(total, static_cast<DayColumn>(col)));
      return shown == wanted;
    })) << testing::PrintToString(shown)
        << " != " << testing::PrintToString(wanted);
  }
  // A gap (day 3 and 10 in the last 30) is a row of zeros; a present day its figures.
  EXPECT_EQ(Row(IDC_HIST_DAYS, 29 - 3, kDayColumns),
            (std::vector<std::string>{DateDaysAgo(3), "0", "0", "0", "0", "0", "0.00", "0分", "0/0"}));
  EXPECT_EQ(Row(IDC_HIST_DAYS, 29 - 12, kDayColumns),
            (std::vector<std::string>{DateDaysAgo(12), "22", "4", "0", "6", "124", "1.00", "12分", "0/0"}));
}

TEST_F(HistoryWindow, AHeaderClickSortsTheDaysAndTheTotalStaysLast) {
  ASSERT_TRUE(ShowDays(IDC_HIST_30DAYS, 30));
  HWND list = Item(IDC_HIST_DAYS), header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  // 1 when the 30 days run up by the column, -1 down, 0 neither (numbers and dates order by length, then text).
  auto order = [&](int col) {
    std::vector<std::string> v;
    for (int r = 0; r < 30; ++r) v.push_back(Cell(IDC_HIST_DAYS, r, col));
    auto less = [](const std::string& a, const std::string& b) {
      return std::pair(a.size(), a) < std::pair(b.size(), b);
    };
    return std::is_sorted(v.begin(), v.end(), less) ? 1 : std::is_sorted(v.rbegin(), v.rend(), less) ? -1 : 0;
  };
  // The same column turns the order, another (and the date after it) starts up; 12 px apart: no double click.
  const int keys = static_cast<int>(DayColumn::Keys);
  for (const auto& [column, want] : {std::pair{keys, 1}, {keys, -1}, {0, 1}, {0, -1}, {0, 1}}) {
    SCOPED_TRACE(testing::Message() << column << " " << want);
    const RECT hr = WindowRect(header);
    int x = hr.left + static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)) / 2 + 6 * want;
    for (int c = 0; c < column; ++c) x += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, c, 0));
    SetForegroundWindow(Window());
    ClickAt({x, (hr.top + hr.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
    EXPECT_TRUE(WaitUntil([&] { return order(column) == want; })) << order(column);
    EXPECT_EQ(Cell(IDC_HIST_DAYS, 30, 0), "合计");
  }
}

TEST_F(HistoryWindow, TheBarUnderThePointerTellsItsDaysFigures) {
  ASSERT_TRUE(ShowDays(IDC_HIST_30DAYS, 30));
  SetForegroundWindow(Window());
  HWND chart = Item(IDC_HIST_CHART);
  ASSERT_TRUE(IsWindowVisible(chart));
  RECT rc;
  GetClientRect(chart, &rc);
  const DailyChartLayout layout = LayoutDailyChart(rc.right, rc.bottom, 30);
  auto tipAt = [&](POINT p, const std::string& want) {
    ClientToScreen(chart, &p);
    PointAt(p);
    return WaitUntil([&] { return WindowText(chart) == want; });
  };
  for (int k : {5, 3, 12}) {  // a day, a gap, another day
    SCOPED_TRACE(k);
    const std::vector<DayRow> known = KnownYearRows(k, k).days;
    const DayRow d = known.empty() ? DayRow{DateDaysAgo(k)} : known[0];
    const std::string wanted =
        d.date + "\r\n左键:" + std::to_string(d.counts.left) + "\r\n右键:" + std::to_string(d.counts.right) +
        "\r\n中键:" + std::to_string(d.counts.middle) + "\r\n滚动:" + std::to_string(d.counts.wheel) +
        "\r\n键盘:" + std::to_string(d.counts.keys) + "\r\n移动(米):" + MetresText(d.moveMetres) +
        "\r\n活跃时间:" + ActiveTimeText(d.activeSeconds) + "\r\n休息:0/0";
    const int mid = (layout.BarLeft(29 - k) + layout.BarRight(29 - k) - 1) / 2;
    EXPECT_TRUE(tipAt({mid, layout.plot.top + layout.plot.Height() / 2}, wanted)) << WindowText(chart);
    EXPECT_TRUE(ShowsWindowOfClass(*s_app, TOOLTIPS_CLASSA)) << "no tip on the screen";
  }
  // Off the bars: no tip text.
  EXPECT_TRUE(tipAt({rc.right - 2, 2}, "")) << WindowText(chart);
}

TEST_F(HistoryWindow, ProgramsAreListedByEventsAndTheirSharesAddUpTo100) {
  Press(IDC_HIST_YEAR);
  ShowTab(3);
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_PROGRAMS) >= 3; }));
  // The test's own input may have added this program for today, but far below these.
  const char* const first[] = {"notepad.exe", "winword.exe", "浏览器.exe"};
  int tenths = 0;
  unsigned long long previous = ~0ull;
  for (int r = 0, n = Rows(IDC_HIST_PROGRAMS); r < n; ++r) {
    const std::vector<std::string> row = Row(IDC_HIST_PROGRAMS, r, 5);
    if (r < 3) {
      EXPECT_EQ(row[0], first[r]);
    }
    const unsigned long long events = std::stoull(row[1]) + std::stoull(row[2]) + std::stoull(row[3]);
    EXPECT_LE(events, previous) << row[0] << " out of order";
    previous = events;
    int whole = 0, tenth = 0;
    ASSERT_EQ(std::sscanf(row[4].c_str(), "%d.%d%%", &whole, &tenth), 2) << row[4];
    tenths += whole * 10 + tenth;
  }
  EXPECT_EQ(tenths, 1000);
  ShowTab(0);
}

TEST_F(HistoryWindow, ExportWritesEachTableOfTheRangeExactly) {
  // Forty to ten days ago: today's moving figures stay out of it.
  ASSERT_TRUE(PickRange(*s_app, Window(), 40, 10));
  ASSERT_TRUE(WaitUntil([&] { return Rows(IDC_HIST_DAYS) == 32; }));
  const KnownYear y = KnownYearRows(40, 10);
  auto date = [](int ago) { return Date{DayAgo(ago).wYear, DayAgo(ago).wMonth, DayAgo(ago).wDay}; };
  // Each table from the page it is on (the save dialog starts at its name); the days with the gaps as rows of zeros.
  const std::tuple<int, std::string, std::string> cases[] = {
      {0, "days.csv", CsvDays(FillDays(y.days, {date(40), date(10)}))},
      {1, "hours.csv", CsvHours(y.hours)},
      {2, "keys.csv", CsvKeys(y.keys)},
      {3, "programs.csv", CsvPrograms(y.programs)}};
  for (const auto& [tab, name, bytes] : cases) {
    SCOPED_TRACE(name);
    const std::string path = Dir() + name;
    DeleteFileA(path.c_str());
    ShowTab(tab);
    const SaveOutcome s = SaveAs(*s_app, Window(), IDC_HIST_EXPORT, path, [&] { return ReadFileBytes(path) == bytes; });
    EXPECT_TRUE(s.saved) << s.text << ReadFileBytes(path).substr(0, 300);
    EXPECT_EQ(GetFileAttributesA((path + ".part").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(AnswerAppBox(*s_app, 200), "<no box>");
    DeleteFileA(path.c_str());
  }
  ShowTab(0);
}

TEST_F(HistoryWindow, EachExportFailureSaysWhyAndLeavesNoFile) {
  const std::string dir = Dir(), full = dir + "full.csv", readOnly = dir + "readonly.csv", gone = dir + "gone";
  const HWND window = Window();
  // A full disk where the export writes first, and a file nobody may write under the chosen name.
  const std::string link = "\"" + UnixPath(full + ".part") + "\"";
  auto scratchOpens = [&] {
    HANDLE h = CreateFileA((full + ".part").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    return h != INVALID_HANDLE_VALUE;
  };
  ASSERT_TRUE(RunUnix("/bin/ln -sf /dev/full " + link) && WaitUntil(scratchOpens));
  ReadOnlyFile kept(readOnly, "keep");
  ASSERT_TRUE(kept.Unwritable());
  // Then a folder gone after it was chosen, and a name the file system refuses: the save dialog may say so instead.
  const std::pair<std::string, std::string> cases[] = {{full, "在存取 " + full + " 时磁盘已满。"},
                                                       {readOnly, "对 " + readOnly + " 的存取被拒绝。"},
                                                       {gone + "\\days.csv", gone + "\\days.csv 中包含无效的路径。"},
                                                       {dir + "a|b.csv", dir + "a|b.csv 中包含无效的路径。"}};
  for (const auto& [path, message] : cases) {
    SCOPED_TRACE(path);
    CreateDirectoryA(gone.c_str(), nullptr);
    const SaveOutcome s =
        SaveAs(*s_app, window, IDC_HIST_EXPORT, path, nullptr, [&] { RemoveDirectoryA(gone.c_str()); });
    const bool dialogSaid = path != full && path != readOnly && s.caption != "Tallivo" && !s.text.empty();
    EXPECT_TRUE(dialogSaid || (s.caption == "Tallivo" && s.text == message)) << s.caption << ": " << s.text;
    EXPECT_EQ(GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES, path != readOnly)
        << "a file under the chosen name";
    EXPECT_TRUE(path == full || GetFileAttributesA((path + ".part").c_str()) == INVALID_FILE_ATTRIBUTES)
        << "scratch file left";
    EXPECT_TRUE(IsWindow(window));
  }
  EXPECT_EQ(ReadFileBytes(readOnly), "keep") << "the read-only file changed";
  RunUnix("/bin/rm -f " + link) && WaitUntil([&] { return !scratchOpens(); });
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "tvc*.tmp").c_str(), &fd);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE) << "scratch file left: " << fd.cFileName;
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

}  // namespace
