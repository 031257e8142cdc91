// The history file: what the program records of real input, and how it copes when the file cannot be written.

#include <ctime>
#include <fstream>

#include "base/messages.h"
#include "history_harness.h"
#include "stats/stats_text.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

int64_t DayInt(const char* column, const std::string& day = DateDaysAgo(0)) {
  return HistoryInt(std::string("SELECT ") + column + " FROM days WHERE date='" + day + "'");
}

std::string MovedAsideFile() {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((HistoryFolder() + "\\history.damaged-*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return "";
  FindClose(find);
  return HistoryFolder() + "\\" + fd.cFileName;
}

}  // namespace

TEST(History, NoHistoryYetIsSaidOverZerosThenRealInputIsFiledAndShownWithinTwoSeconds) {
  ResetProfile();
  ClearHistory();
  ASSERT_TRUE(MoveCursor(200, 200));
  App app;
  ASSERT_TRUE(app.Start());
  // The window over no history: the last 30 days, every one a day without Tallivo, as zeros with their totals, and a
  // note in the strip of the tabs, clear of the chart.
  HWND w = OpenHistoryWindow(app);
  ASSERT_TRUE(w);
  HWND note = GetDlgItem(w, IDC_HIST_MESSAGE), days = GetDlgItem(w, IDC_HIST_DAYS),
       chart = GetDlgItem(w, IDC_HIST_CHART);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(note) && WindowText(note) == "还没有历史记录"; }))
      << WindowText(note);
  ASSERT_TRUE(IsWindowVisible(days) && IsWindowVisible(chart));
  auto cell = [&](int row, int column) { return ListCell(app.Process(), days, row, column); };
  ASSERT_EQ(ListRows(days), 31);
  EXPECT_EQ(cell(0, 0), DateDaysAgo(29));
  EXPECT_EQ(cell(30, 0), "合计");
  for (int col : {1, 2, 5}) EXPECT_EQ(cell(30, col), "0") << col;
  EXPECT_LE(WindowRect(note).bottom, WindowRect(chart).top);
  SendMessageA(GetDlgItem(w, IDC_HIST_TODAY), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return ListRows(days) == 2; }));

  InputSink sink({60, 60, 460, 360});
  sink.Activate();
  const POINT at = sink.Center();
  const std::string day = DateDaysAgo(0);
  const time_t started = time(nullptr);
  Clicks(2, 1, 1, &at);
  WheelAt(at, WHEEL_DELTA, 3);
  TapKey('A', 3);
  TapKey('Z', 1);
  ASSERT_TRUE(app.WaitText(IDC_KEY_STROKES, tallivo::CounterLabel(InputKind::Key, 4)));
  const DWORD counted = GetTickCount();
  // In the file within two seconds of the program counting them, then in the window's today and total rows, note gone.
  EXPECT_TRUE(WaitUntil([&] { return DayInt("key_strokes") == 4; }, 2000)) << DayInt("key_strokes");
  EXPECT_TRUE(WaitUntil([&] { return cell(0, 1) == "2" && cell(0, 5) == "4"; }, 2500));
  EXPECT_LE(GetTickCount() - counted, 2500u);
  EXPECT_EQ(cell(1, 5), "4") << "total behind";
  EXPECT_FALSE(IsWindowVisible(note)) << WindowText(note);
  // Each figure in the day's row, the strokes in this hour's; keys and program by name.
  const std::pair<const char*, int64_t> figures[] = {
      {"left_clicks", 2}, {"right_clicks", 1}, {"middle_clicks", 1}, {"wheel_steps", 3}, {"key_strokes", 4}};
  for (const auto& [column, want] : figures) EXPECT_EQ(DayInt(column), want) << column;
  const std::string program = " FROM programs WHERE exe='tallivo_e2e.exe'";
  const std::pair<std::string, int64_t> rows[] = {
      {"COUNT(*) FROM hours WHERE key_strokes > 0 AND hour=" + std::to_string(Today().wHour), 1},
      {"strokes FROM keys WHERE vk=65", 3},
      {"strokes FROM keys WHERE vk=90", 1},
      {"COUNT(*) FROM keys WHERE vk > 0", 2},
      {"clicks" + program, 4},
      {"wheel_steps" + program, 3},
      {"key_strokes" + program, 4}};
  for (const auto& [sql, want] : rows) EXPECT_EQ(HistoryInt("SELECT " + sql + " AND date='" + day + "'"), want) << sql;

  // Pointer jumps, in another second: the file has the pixels the day's figures have, and their metres.
  Pump(1100);
  ASSERT_TRUE(MoveCursor(at.x + 3, at.y + 4));
  ASSERT_TRUE(MoveCursor(at.x + 303, at.y + 404));
  ASSERT_TRUE(
      WaitUntil([&] { return Stored("MouseMove") >= 505 && DayInt("move_pixels") == Stored("MouseMove"); }, 3000))
      << DayInt("move_pixels") << " vs " << Stored("MouseMove");
  const std::vector<double> metres = HistoryRow("SELECT move_metres FROM days WHERE date='" + day + "'");
  ASSERT_EQ(metres.size(), 1u);
  EXPECT_NEAR(metres[0], Stored("MouseMove") / MeasurePixelsPerMetre(), 1e-4);
  const int64_t active = DayInt("active_seconds");
  EXPECT_GE(active, 2);  // the input and the jumps were seconds apart
  EXPECT_LE(active, time(nullptr) - started + 1);
}

// Each way the file can fail: told once, counting goes on, nothing unreadable is destroyed, written once it passes.
TEST(History, AFileThatCannotBeWrittenIsToldOnceAndNothingIsLost) {
  enum Kind { kReadOnlyFolder, kGarbage, kNewer };
  const struct {
    Kind kind;
    const char* what;
    const char* told;    // a phrase of the message
    const char* window;  // what the history window says instead of its views
  } cases[] = {
      {kReadOnlyFolder, "read-only folder", "无法创建或打开历史记录文件", "无法打开历史记录文件"},
      {kGarbage, "not a database", "已损坏", nullptr},
      {kNewer, "newer schema", "来自更新的版本", "来自更新的版本,本版本无法显示"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetProfile();
    ClearHistory();
    CreateDirectoryA(HistoryFolder().c_str(), nullptr);
    std::string before;  // the file as it was before the program started
    switch (c.kind) {
      case kReadOnlyFolder: ASSERT_TRUE(SetImmutable(HistoryFolder(), true, HistoryFolderWritable)); break;
      case kGarbage:
        before = std::string(4096, 'x').replace(0, 20, "not a database at all");
        ASSERT_FALSE((std::ofstream(HistoryFile(), std::ios::binary) << before).fail());
        break;
      case kNewer:
        ASSERT_TRUE(
            HistorySql("PRAGMA user_version=3; CREATE TABLE days(date TEXT PRIMARY KEY, left_clicks INTEGER);"
                       "INSERT INTO days VALUES('2020-01-01', 5);"));
        before = ReadFileBytes(HistoryFile());
        break;
    }

    App app;
    ASSERT_TRUE(app.Start());
    app.PostInput(tallivo::WM_INPUT_LBUTTON, 3);
    const std::string told = AnswerAppBox(app);
    EXPECT_NE(told.find(c.told), std::string::npos) << told;
    EXPECT_NE(told.find(HistoryFile()), std::string::npos) << told;
    // Counting goes on, and the trouble is not told again.
    app.PostInput(tallivo::WM_INPUT_LBUTTON, 4);
    EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, tallivo::CounterLabel(InputKind::Left, 7))) << app.Text(IDC_LEFT_CLICKS);
    EXPECT_EQ(AnswerAppBox(app, 2500), "<no box>");
    if (c.window) {
      HWND w = OpenHistoryWindow(app), message = GetDlgItem(w, IDC_HIST_MESSAGE);
      ASSERT_TRUE(w);
      EXPECT_TRUE(WaitUntil([&] { return WindowText(message).find(c.window) != std::string::npos; }))
          << WindowText(message);
      EXPECT_TRUE(IsWindowVisible(message));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(w, IDC_HIST_DAYS)));
    }

    if (c.kind == kReadOnlyFolder) {
      EXPECT_EQ(GetFileAttributesA(HistoryFile().c_str()), INVALID_FILE_ATTRIBUTES);
      ASSERT_TRUE(SetImmutable(HistoryFolder(), false, HistoryFolderWritable));
    } else if (c.kind == kGarbage) {
      EXPECT_NE(told.find(MovedAsideFile()), std::string::npos) << told;
      EXPECT_TRUE(ReadFileBytes(MovedAsideFile()) == before) << "the damaged file was changed";
    }
    if (c.kind == kNewer) {
      Pump(1500);
      EXPECT_TRUE(ReadFileBytes(HistoryFile()) == before) << "a newer file was written";
    } else {
      // Everything counted meanwhile is written once the cause has passed.
      EXPECT_TRUE(WaitUntil([&] { return DayInt("left_clicks") == 7; }, 4000)) << DayInt("left_clicks");
    }
    EXPECT_EQ(DayInt("left_clicks", DateDaysAgo(1)), -1) << "yesterday made up";
    app.Kill();
  }
  ClearHistory();
}
