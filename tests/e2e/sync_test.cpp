// Two computers sharing one sync folder: two Wine prefixes (two registries, two %LOCALAPPDATA%) run one after the other
// by scripts/two-computers, which names the shared folder in TALLIVO_TEST_SYNC. A counts 3 clicks, B 5; A then sees
// both, and the folder's troubles: conflict copies, a file cut short, a newer version, the folder gone and back.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"
#include "history_harness.h"
#include "tools_harness.h"

namespace e2e {
namespace {

std::string Shared() {
  const char* s = std::getenv("TALLIVO_TEST_SYNC");
  return s ? s : "";
}
std::string Copies() { return Shared() + "\\Tallivo"; }

// The names in the folder's Tallivo subfolder, sorted.
std::vector<std::string> CopyNames() {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Wide(Copies() + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string n = Utf8(fd.cFileName);
    if (n != "." && n != "..") names.push_back(n);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

// Starts on an empty profile and history with the folder set (by the registry, or by the dialog when asked), counts
// so many real clicks and exits; the folder then holds this computer's copy and nothing beside it.
void CountAndExit(const std::string& name, int clicks, bool byDialog) {
  ASSERT_FALSE(Shared().empty()) << "run by scripts/two-computers";
  ResetProfile();
  ClearHistory();
  if (!byDialog) SetSync(Shared(), name);
  App app;
  ASSERT_TRUE(app.Start());
  const size_t before = CopyNames().size();
  if (byDialog) {
    app.Command(ID_SYNC);
    const HWND dlg = app.FindDialog("多台电脑");
    ASSERT_NE(dlg, nullptr);
    // A folder that is not there is refused with a message, and nothing is stored.
    SetWindowTextW(GetDlgItem(dlg, IDC_SYNC_FOLDER), Wide(Shared() + "\\missing").c_str());
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    std::string said;
    ASSERT_TRUE(app.Answer(IDOK, &said, 5000, "Tallivo"));
    EXPECT_NE(said.find("找不到文件夹"), std::string::npos) << said;
    EXPECT_EQ(RegValue(HKEY_CURRENT_USER, "Software\\Tallivo\\Tallivo\\Sync", "Folder"), "<no key>");
    SetWindowTextW(GetDlgItem(dlg, IDC_SYNC_FOLDER), Wide(Shared()).c_str());
    SetWindowTextW(GetDlgItem(dlg, IDC_SYNC_NAME), Wide(name).c_str());
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg); }));
    EXPECT_EQ(RegValue(HKEY_CURRENT_USER, "Software\\Tallivo\\Tallivo\\Sync", "Folder"), Shared());
    EXPECT_EQ(RegValue(HKEY_CURRENT_USER, "Software\\Tallivo\\Tallivo\\Sync", "Name"), name);
  }
  // A copy as soon as the folder is set, before any input.
  EXPECT_TRUE(WaitUntil([&] { return CopyNames().size() == before + 1; }, 8000)) << CopyNames().size();
  ClickAt(CentreOf(WindowRect(GetDlgItem(app.Main(), IDC_LEFT_CLICKS))), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,
          clicks);
  app.ExpectCounters({static_cast<uint32_t>(clicks), 0, 0, 0, 0});
  ASSERT_TRUE(app.Quit());
  for (const std::string& n : CopyNames()) {
    EXPECT_TRUE(n.size() == 35 && n.substr(32) == ".db") << "only whole copies in the folder: " << n;
  }
}

TEST(TwoComputers, FirstCountsThreeAndSetsTheFolderInItsDialog) { CountAndExit("A", 3, true); }

TEST(TwoComputers, SecondCountsFiveWithTheFolderSetBeforeItsStart) {
  CountAndExit("B", 5, false);
  EXPECT_EQ(CopyNames().size(), 2u);
}

// The id of the computer of that name, by its copy.
std::string IdOf(const std::string& name) {
  const std::string file = CopyOf(Shared(), name);
  return file.empty() ? "" : file.substr(file.size() - 35, 32);
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  return CopyFileW(Wide(Copies() + "\\" + from).c_str(), Wide(Copies() + "\\" + to).c_str(), FALSE) != FALSE;
}

bool SqlOn(const std::string& file, const std::string& sql) { return HistorySql(sql, Copies() + "\\" + file); }

class Together : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(Shared().empty()) << "run by scripts/two-computers";
    ASSERT_TRUE(m_app.Start());  // A's profile and history as the first case left them
    m_window = OpenHistoryWindow(m_app);
    ASSERT_NE(m_window, nullptr);
    SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(IDC_HIST_TODAY, BN_CLICKED), 0);
  }
  void Reopen() {
    PostMessageW(m_window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(m_window); }));
    m_window = OpenHistoryWindow(m_app);
    ASSERT_NE(m_window, nullptr);
    SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(IDC_HIST_TODAY, BN_CLICKED), 0);
  }
  HWND Combo() const { return GetDlgItem(m_window, IDC_HIST_COMPUTER); }
  std::vector<std::string> Computers() const {
    std::vector<std::string> names;
    const int n = static_cast<int>(SendMessageW(Combo(), CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t buf[256] = {};
      SendMessageW(Combo(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buf));
      names.push_back(Utf8(buf));
    }
    return names;
  }
  // Today's left clicks in the days list with the i-th computer chosen.
  std::string TodayLeft(int i) const {
    SendMessageW(Combo(), CB_SETCURSEL, i, 0);
    SendMessageW(m_window, WM_COMMAND, MAKEWPARAM(IDC_HIST_COMPUTER, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Combo()));
    const HWND list = GetDlgItem(m_window, IDC_HIST_DAYS);
    for (int row = 0; row < ListRows(list); ++row) {
      if (ListCell(m_app.Process(), list, row, 0) == DateDaysAgo(0)) return ListCell(m_app.Process(), list, row, 1);
    }
    return "<no row>";
  }
  std::string Strip() const { return WindowText(GetDlgItem(m_window, IDC_HIST_MESSAGE)); }
  App m_app;
  HWND m_window = nullptr;
};

TEST_F(Together, EachComputerAloneAndAllAddedUpAndTheFolderTroublesLeaveTheRestShown) {
  EXPECT_EQ(Computers(), (std::vector<std::string>{"全部电脑", "A", "B"}));
  EXPECT_EQ(TodayLeft(0), "8");
  EXPECT_EQ(TodayLeft(1), "3");
  EXPECT_EQ(TodayLeft(2), "5");

  // B's conflict copies: an older one with other figures is not counted, nor twice the same; files that are no whole
  // history are named in the strip and left as they are.
  const std::string b = IdOf("B"), bad(32, 'c'), newer(32, 'd');
  ASSERT_EQ(b.size(), 32u);
  ASSERT_TRUE(CopyFileTo(b + ".db", b + " (1).db"));
  ASSERT_TRUE(SqlOn(b + " (1).db", "UPDATE days SET left_clicks = 500; UPDATE computer SET written_at = '2000'"));
  ASSERT_TRUE(CopyFileTo(b + ".db", b + ".sync-conflict-20261207-101500-ABC.db"));
  ASSERT_TRUE(CopyFileTo(b + ".db", bad + ".db"));
  HANDLE h = CreateFileW(Wide(Copies() + "\\" + bad + ".db").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  SetFilePointer(h, 3000, nullptr, FILE_BEGIN);
  SetEndOfFile(h);  // cut short while it syncs
  CloseHandle(h);
  ASSERT_TRUE(CopyFileTo(b + ".db", newer + ".db"));
  ASSERT_TRUE(SqlOn(newer + ".db", "UPDATE computer SET id = '" + newer + "', name = 'N'; PRAGMA user_version = 7"));
  const std::vector<std::string> names = CopyNames();
  Reopen();
  EXPECT_EQ(Computers(), (std::vector<std::string>{"全部电脑", "A", "B"}));
  EXPECT_EQ(TodayLeft(0), "8");
  EXPECT_NE(Strip().find("未读取 " + bad + ".db:不是完整的历史记录"), std::string::npos) << Strip();
  EXPECT_NE(Strip().find("未读取 " + newer + ".db:来自更新的版本"), std::string::npos) << Strip();
  EXPECT_EQ(CopyNames(), names) << "nothing written, moved or left beside in the folder";
  // The later copy of the two counts.
  ASSERT_TRUE(SqlOn(b + " (1).db", "UPDATE days SET left_clicks = 50; UPDATE computer SET written_at = '2099'"));
  Reopen();
  EXPECT_EQ(TodayLeft(2), "50");

  // The folder taken away: said so, this computer shown; back again, all of them.
  ASSERT_TRUE(MoveFileW(Wide(Shared()).c_str(), Wide(Shared() + "-away").c_str()));
  Reopen();
  EXPECT_NE(Strip().find("无法访问同步文件夹"), std::string::npos) << Strip();
  EXPECT_EQ(TodayLeft(0), "3");
  ASSERT_TRUE(MoveFileW(Wide(Shared() + "-away").c_str(), Wide(Shared()).c_str()));
  Reopen();
  EXPECT_EQ(TodayLeft(0), "53");

  // 删除… takes today from this computer only, after a question naming the day; the copy made on the way out says so.
  TodayLeft(0);
  PostMessageW(m_window, WM_COMMAND, IDC_HIST_DELETE, 0);
  std::string asked;
  ASSERT_TRUE(m_app.Answer(IDYES, &asked));
  EXPECT_NE(asked.find("删除 " + DateDaysAgo(0) + " 的数据"), std::string::npos) << asked;
  EXPECT_TRUE(WaitUntil([&] { return TodayLeft(0) == "50"; })) << TodayLeft(0);
  EXPECT_EQ(TodayLeft(1), "0") << "A's day is gone";
  ASSERT_TRUE(m_app.Quit());
  EXPECT_EQ(HistoryInt("SELECT count(*) FROM days WHERE date = '" + DateDaysAgo(0) + "'", CopyOf(Shared(), "A")), 0);
}

}  // namespace
}  // namespace e2e
