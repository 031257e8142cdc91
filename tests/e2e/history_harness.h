// The history as the tests see it: the file (its place, a clean start, its rows, a known year) and the window's parts.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "harness.h"
#include "history/history_store.h"
#include "res/resource.h"
#include "tools_harness.h"

namespace e2e {

// %LOCALAPPDATA%\Tallivo of this user, and the history file in it.
std::string HistoryFolder();
std::string HistoryFile();
// Removes the folder's files (and an immutable flag left by a failed run).
void ClearHistory();
bool HistoryFolderWritable();
// Noon of the local day n days before today, and its date, "YYYY-MM-DD"; today's for 0.
SYSTEMTIME DayAgo(int n);
std::string DateDaysAgo(int n);

// The first row of a query on the file (read-only), a number a column (NaN for NULL); empty when there is none.
// Of another file (a copy in a sync folder) when given.
std::vector<double> HistoryRow(const std::string& sql, const std::string& file = "");
// Its first column as an integer; -1 when missing or NULL.
int64_t HistoryInt(const std::string& sql, const std::string& file = "");

// Runs the SQL on the history file (made when missing), or the given one, as another program would; false when that
// fails.
bool HistorySql(const std::string& sql, const std::string& file = "");

// The sync folder's setting as the dialog stores it, and the copy of the computer of that name in the folder ("" when
// there is none).
void SetSync(const std::string& folder, const std::string& name);
std::string CopyOf(const std::string& folder, const std::string& name);

// A year of history up to today, and a first day long before it, with figures known from the day alone. Day k
// (k days ago, 0-364, and 501) has a row unless k % 7 == 3 or 100 <= k < 110 (the gaps: Tallivo did not run).
// Its figures: left 10 + k (5,000,000 on day 200, one huge day), right 2 + k % 5, middle k % 3, wheel 5 + k % 11,
// keys 100 + 2k, 1000 (k + 1) pixels, 0.25 (k % 8) metres, 60 (k % 50) + 30 active seconds; all of it in hour
// 9 + k % 8. Keys: "E" far ahead of the others (keys - 45), Space 20, A 10, 0 to 4 three each. Programs, by
// thirds: notepad.exe half of each figure, winword.exe a third, and 浏览器.exe (UTF-8 in the file) the rest.
struct KnownYear {
  // Rows as the store returns them: in key order, oldest first.
  std::vector<tallivo::history::DayRow> days;
  std::vector<tallivo::history::HourRow> hours;
  std::vector<tallivo::history::KeyRow> keys;
  std::vector<tallivo::history::ProgramRow> programs;
};
// Its rows of the days from oldest to newest days ago.
KnownYear KnownYearRows(int oldest = 501, int newest = 0);
// Clears the history folder and writes KnownYearRows() into a new file.
bool WriteKnownYear();

// The program's 历史记录 window, opened by the menu command when there is none; null unless one alone is shown.
HWND OpenHistoryWindow(const App& app);
// Sets the window's date pickers to the days fromAgo and toAgo days ago, then changes the second as the user does (a
// picker tells its window only of the user's own input); true once the days list starts at the first.
bool PickRange(const App& app, HWND window, int fromAgo, int toAgo);
bool ShowsWindowOfClass(const App& app, const char* name);

// One copy of the program over the known year for a suite's cases (pointer in a corner), and its history window.
class KnownYearApp : public SharedApp<KnownYearApp> {
 public:
  static void BeforeStart() {
    ASSERT_TRUE(WriteKnownYear());
    MoveCursor(1000, 740);
  }

 protected:
  // The history window, opened when there is none and then put in one place and size, in front.
  static HWND Window() {
    static HWND w = nullptr;
    if ((!w || !IsWindow(w)) && (w = OpenHistoryWindow(*s_app))) SetWindowPos(w, HWND_TOPMOST, 0, 0, 760, 560, 0);
    return w;
  }
  static HWND Item(int id) { return GetDlgItem(Window(), id); }
  static int Rows(int list) { return ListRows(Item(list)); }
  static std::string Cell(int list, int row, int column) { return ListCell(s_app->Process(), Item(list), row, column); }
  static std::vector<std::string> Row(int list, int row, int columns) {
    std::vector<std::string> cells;
    for (int c = 0; c < columns; ++c) cells.push_back(Cell(list, row, c));
    return cells;
  }
  static void Press(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }
  static void ShowTab(int tab) { SendMessageA(Item(IDC_HIST_TAB), TCM_SETCURFOCUS, tab, 0); }
  // The days page after a range button: its days and the totals row.
  static bool ShowDays(int button, int days) {
    Press(button);
    ShowTab(0);
    return WaitUntil([&] { return Rows(IDC_HIST_DAYS) == days + 1; });
  }
};

}  // namespace e2e
