// The history file: what the program records of real input, and how it
// keeps counting and keeps every row when the file cannot be written.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <ctime>
#include <functional>

#include "base/messages.h"
#include "harness.h"
#include "history/history_store.h"
#include "history_harness.h"
#include "res/resource.h"
#include "stats/stats_text.h"
#include "tools_harness.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

int64_t DayInt(const char* column, const std::string& day = TodayKey()) {
  return HistoryInt(std::string("SELECT ") + column + " FROM days WHERE date='" + day + "'");
}

DWORD StoredPixels() {
  DWORD v = 0;
  ReadProfileDword("DataSetting", "MouseMove", &v);
  return v;
}

std::string LeftLabel(uint32_t n) { return tallivo::CounterLabel(InputKind::Left, n); }

void PostClicks(const App& app, int n) {
  for (int i = 0; i < n; ++i) PostMessageA(app.Main(), tallivo::WM_INPUT_LBUTTON, 0, 0);
}

// Rows of an earlier day, written through the program's own store.
bool WriteEarlierDay(int days, int programsPerDay) {
  tallivo::history::HistoryStore store;
  if (!store.Open(HistoryFile(), time(nullptr)).Ok()) return false;
  tallivo::history::Deltas d;
  for (int i = 0; i < days; ++i) {
    const tallivo::history::LocalHour at{2020 + i / 365, 1 + (i / 28) % 12, 1 + i % 28, i % 24};
    for (int p = 0; p < programsPerDay; ++p) {
      d.AddEvent(at, InputKind::Left, 0, "program-with-a-long-name-" + std::to_string(p) + ".exe");
    }
    d.AddEvent(at, InputKind::Key, 0x41, "");
  }
  const bool ok = store.Write(d).Ok();
  store.Close();
  return ok;
}

std::string MovedAsideFile() {
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((HistoryFolder() + "\\history.damaged-*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return "";
  FindClose(find);
  return HistoryFolder() + "\\" + fd.cFileName;
}

// The program's history window, opened by its menu command.
HWND OpenHistoryWindow(const App& app) {
  app.Command(ID_HISTORY);
  HWND w = nullptr;
  WaitUntil([&] {
    for (HWND t : app.TopLevelWindows()) {
      if (WindowText(t) == "历史记录" && IsWindowVisible(t)) w = t;
    }
    return w != nullptr;
  });
  return w;
}

std::string Cell(const App& app, HWND list, int row, int column) {
  return ListCell(app.Process(), list, row, column);
}

}  // namespace

TEST(History, AWindowOverNoHistoryYetShowsTheRangesDaysAsZerosAndSaysSo) {
  ResetProfile();
  ClearHistory();
  App app;
  ASSERT_TRUE(app.Start());
  HWND w = OpenHistoryWindow(app);
  ASSERT_TRUE(w);
  HWND note = GetDlgItem(w, IDC_HIST_MESSAGE), days = GetDlgItem(w, IDC_HIST_DAYS);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(note) && WindowText(note) == "还没有历史记录"; }))
      << WindowText(note);
  // The last 30 days, every one a day without Tallivo: zeros, and the totals.
  ASSERT_TRUE(IsWindowVisible(days));
  ASSERT_TRUE(IsWindowVisible(GetDlgItem(w, IDC_HIST_CHART)));
  ASSERT_EQ(SendMessageA(days, LVM_GETITEMCOUNT, 0, 0), 31);
  EXPECT_EQ(Cell(app, days, 0, 0), DateDaysAgo(29));
  EXPECT_EQ(Cell(app, days, 30, 0), "合计");
  for (int col : {1, 2, 5}) EXPECT_EQ(Cell(app, days, 30, col), "0") << col;
  // The note keeps to the strip of the tabs, clear of the chart.
  RECT n = {}, chart = {};
  GetWindowRect(note, &n);
  GetWindowRect(GetDlgItem(w, IDC_HIST_CHART), &chart);
  EXPECT_LE(n.bottom, chart.top);
  Pump(300);
  DeleteFileA("Z:\\tmp\\hwin-no-history.png");
  RunUnix("/usr/bin/import -window root /tmp/hwin-no-history.png");
  WaitUntil([] { return GetFileAttributesA("Z:\\tmp\\hwin-no-history.png") != INVALID_FILE_ATTRIBUTES; }, 10000);
}

TEST(History, RealInputGoesIntoItsDayHourKeyAndProgramWithinTwoSeconds) {
  ResetProfile();
  ClearHistory();
  ASSERT_TRUE(MoveCursor(200, 200));
  App app;
  ASSERT_TRUE(app.Start());
  InputSink sink({60, 60, 460, 360});
  sink.Activate();
  const POINT c = sink.Center();
  const std::string day = TodayKey();
  const time_t started = time(nullptr);

  ClickAt(c, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  ClickAt(c, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 1);
  ClickAt(c, MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
  WheelAt(c, WHEEL_DELTA, 3);
  TapKey('A', 3);
  TapKey('Z', 1);
  ASSERT_TRUE(app.WaitText(IDC_KEY_STROKES, tallivo::CounterLabel(InputKind::Key, 4)));
  // Within two seconds of the program counting them.
  EXPECT_TRUE(WaitUntil([&] { return DayInt("key_strokes") == 4; }, 2000)) << DayInt("key_strokes");

  const struct {
    const char* column;
    int64_t want;
  } figures[] = {{"left_clicks", 2}, {"right_clicks", 1}, {"middle_clicks", 1}, {"wheel_steps", 3}, {"key_strokes", 4}};
  for (const auto& f : figures) {
    SCOPED_TRACE(f.column);
    EXPECT_EQ(DayInt(f.column), f.want);
    // The hour rows add up to the day (an hour may have turned meanwhile).
    EXPECT_EQ(HistoryInt(std::string("SELECT SUM(") + f.column + ") FROM hours WHERE date='" + day + "'"), f.want);
  }
  SYSTEMTIME now;
  GetLocalTime(&now);
  EXPECT_GT(HistoryInt("SELECT COUNT(*) FROM hours WHERE date='" + day + "' AND hour=" + std::to_string(now.wHour) +
                       " AND key_strokes > 0"),
            0)
      << "no row for the current hour " << now.wHour;
  EXPECT_EQ(HistoryInt("SELECT strokes FROM keys WHERE date='" + day + "' AND vk=65"), 3);
  EXPECT_EQ(HistoryInt("SELECT strokes FROM keys WHERE date='" + day + "' AND vk=90"), 1);
  EXPECT_EQ(HistoryInt("SELECT COUNT(*) FROM keys WHERE date='" + day + "'"), 2);
  const std::string program = "FROM programs WHERE date='" + day + "' AND exe='tallivo_e2e.exe'";
  EXPECT_EQ(HistoryInt("SELECT clicks " + program), 4);
  EXPECT_EQ(HistoryInt("SELECT wheel_steps " + program), 3);
  EXPECT_EQ(HistoryInt("SELECT key_strokes " + program), 4);

  // Pointer jumps, in another second: the file has the pixels the day's
  // figures have, and their metres.
  Pump(1100);
  ASSERT_TRUE(MoveCursor(c.x + 3, c.y + 4));
  ASSERT_TRUE(MoveCursor(c.x + 303, c.y + 404));
  ASSERT_TRUE(WaitUntil([&] { return StoredPixels() >= 505 && DayInt("move_pixels") == StoredPixels(); }, 3000))
      << DayInt("move_pixels") << " vs " << StoredPixels();
  const double metres = HistoryInt("SELECT CAST(move_metres * 1000000 AS INTEGER) FROM days WHERE date='" + day + "'") / 1e6;
  EXPECT_NEAR(metres, StoredPixels() / MeasurePixelsPerMetre(), 1e-4);
  EXPECT_EQ(HistoryInt("SELECT SUM(move_pixels) FROM hours WHERE date='" + day + "'"), DayInt("move_pixels"));
  const int64_t active = DayInt("active_seconds");
  EXPECT_GE(active, 2);  // the input and the jumps were seconds apart
  EXPECT_LE(active, time(nullptr) - started + 1);
}

// Each way the file can fail: the program says so once, keeps counting,
// never destroys what it cannot read, and writes once the cause has passed.
TEST(History, AFileThatCannotBeWrittenIsToldOnceAndNothingIsLost) {
  enum Kind { kReadOnlyFolder, kLocked, kGarbage, kTruncated, kNewer };
  const struct {
    Kind kind;
    const char* what;
    const char* told;    // a phrase of the message
    const char* window;  // what the history window says instead of its views
  } cases[] = {
      {kReadOnlyFolder, "read-only folder", "无法创建或打开历史记录文件", "无法打开历史记录文件"},
      {kLocked, "write lock of another program", "正被其他程序锁定", nullptr},  // readers still read
      {kGarbage, "not a database", "已损坏", nullptr},
      {kTruncated, "truncated", "已损坏", nullptr},
      {kNewer, "newer schema", "来自更新的版本", "来自更新的版本,本版本无法显示"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetProfile();
    ClearHistory();
    CreateDirectoryA(HistoryFolder().c_str(), nullptr);
    std::unique_ptr<HistoryWriteLock> lock;
    std::string before;  // the file as it was before the program started
    switch (c.kind) {
      case kReadOnlyFolder:
        ASSERT_TRUE(RunUnix("/usr/bin/chattr +i \"" + UnixPath(HistoryFolder()) + "\""));
        ASSERT_TRUE(WaitUntil([] { return !HistoryFolderWritable(); }));
        break;
      case kLocked:
        ASSERT_TRUE(WriteEarlierDay(1, 3));
        lock = std::make_unique<HistoryWriteLock>(HistoryFile());
        ASSERT_TRUE(lock->Held());
        break;
      case kGarbage:
        before = std::string(4096, 'x').replace(0, 20, "not a database at all");
        break;
      case kTruncated: {
        ASSERT_TRUE(WriteEarlierDay(200, 20));
        const std::string whole = ReadFileBytes(HistoryFile());
        ASSERT_GT(whole.size(), 40000u);
        before = whole.substr(0, whole.size() * 3 / 5);
        break;
      }
      case kNewer:
        ASSERT_TRUE(MakeDatabase(HistoryFile(),
                                 "PRAGMA user_version=2; CREATE TABLE days(date TEXT PRIMARY KEY, left_clicks INTEGER);"
                                 "INSERT INTO days VALUES('2020-01-01', 5);"));
        before = ReadFileBytes(HistoryFile());
        break;
    }
    if ((c.kind == kGarbage || c.kind == kTruncated)) {
      HANDLE h = CreateFileA(HistoryFile().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      DWORD n = 0;
      WriteFile(h, before.data(), static_cast<DWORD>(before.size()), &n, nullptr);
      CloseHandle(h);
    }

    App app;
    ASSERT_TRUE(app.Start());
    PostClicks(app, 3);
    const std::string told = AnswerAppBox(app, 8000);  // a lock is told once it lasts 3 s
    EXPECT_NE(told.find(c.told), std::string::npos) << told;
    EXPECT_NE(told.find(HistoryFile()), std::string::npos) << told;
    // Counting goes on, and the trouble is not told again.
    PostClicks(app, 4);
    EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, LeftLabel(7))) << app.Text(IDC_LEFT_CLICKS);
    EXPECT_EQ(AnswerAppBox(app, 2500), "<no box>");
    if (c.window) {
      HWND w = OpenHistoryWindow(app);
      ASSERT_TRUE(w);
      HWND message = GetDlgItem(w, IDC_HIST_MESSAGE);
      EXPECT_TRUE(WaitUntil([&] { return WindowText(message).find(c.window) != std::string::npos; }))
          << WindowText(message);
      EXPECT_TRUE(IsWindowVisible(message));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(w, IDC_HIST_DAYS)));
      SendMessageA(w, WM_CLOSE, 0, 0);
    }

    switch (c.kind) {
      case kReadOnlyFolder:
        EXPECT_EQ(GetFileAttributesA(HistoryFile().c_str()), INVALID_FILE_ATTRIBUTES);
        ASSERT_TRUE(RunUnix("/usr/bin/chattr -i \"" + UnixPath(HistoryFolder()) + "\""));
        ASSERT_TRUE(WaitUntil(HistoryFolderWritable));
        break;
      case kLocked:
        EXPECT_EQ(DayInt("left_clicks"), -1) << "written through the lock";
        lock->Release();
        break;
      case kGarbage:
      case kTruncated:
        EXPECT_NE(told.find(MovedAsideFile()), std::string::npos) << told;
        EXPECT_TRUE(ReadFileBytes(MovedAsideFile()) == before) << "the damaged file was changed";
        break;
      case kNewer: break;
    }
    if (c.kind == kNewer) {
      Pump(1500);
      EXPECT_TRUE(ReadFileBytes(HistoryFile()) == before) << "a newer file was written";
    } else {
      // Everything counted meanwhile is written once the cause has passed.
      EXPECT_TRUE(WaitUntil([] { return DayInt("left_clicks") == 7; }, 4000)) << DayInt("left_clicks");
    }
    if (c.kind == kLocked) {
      EXPECT_EQ(HistoryInt("SELECT left_clicks FROM days WHERE date='2020-01-01'"), 3) << "an earlier day was lost";
    }
    app.Kill();
  }
  ClearHistory();
}
