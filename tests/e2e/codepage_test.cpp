// The program under the ANSI code pages of other Windows: every text of its windows read back through the wide calls,
// real input, a message box, a program named in Thai in the picker, the panel and the history, and the report (its name
// in Thai) in its bytes.

#include <regex>

#include "history_harness.h"
#include "process_harness.h"

using namespace e2e;

namespace {

// The texts of a window and of every window in it, with each tab's and each status part's, numbers made 0: the same
// under every code page.
void AddTexts(const App& app, HWND top, std::vector<std::string>& all) {
  std::vector<HWND> windows = ChildWindows(top);
  windows.insert(windows.begin(), top);
  SharedBlock block(app.Process(), 1024);
  auto* text = reinterpret_cast<wchar_t*>(block.Local() + 64);
  for (HWND w : windows) {
    all.push_back(WindowText(w));
    for (int i = 0; i < static_cast<int>(SendMessageW(w, TCM_GETITEMCOUNT, 0, 0)); ++i) {
      *reinterpret_cast<TCITEMW*>(block.Local()) = {
          .mask = TCIF_TEXT, .pszText = reinterpret_cast<wchar_t*>(block.Remote() + 64), .cchTextMax = 400};
      SendMessageW(w, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(block.Remote()));
      all.push_back(Utf8(text));
    }
    for (int i = 0; GetDlgCtrlID(w) == IDC_STATUS_BAR && i < SendMessageW(w, SB_GETPARTS, 0, 0); ++i) {
      SendMessageW(w, SB_GETTEXTW, i, reinterpret_cast<LPARAM>(block.Remote() + 64));
      all.push_back(Utf8(text));
    }
  }
  for (auto& t : all) t = std::regex_replace(t, std::regex("[0-9]+"), "0");
}

TEST(CodePages, TextsInputNamesInAnyScriptAndTheReportUnderEachAnsiCodePage) {
  // The first, Chinese, is the one every other test proves; the others must show exactly its texts.
  const struct {
    const char* locale;  // and with it the ANSI code page
    bool gbkReport;
  } pages[] = {{"zh_CN.UTF-8", true}, {"en_US.UTF-8", false}, {"zh_TW.UTF-8", false}, {"hi_IN.UTF-8", false}};
  const std::string thai = "ทดสอบ.exe", report = BinDir() + "\\报告 ทดสอบ.txt";
  std::vector<std::string> chinese;
  for (const auto& p : pages) {
    SCOPED_TRACE(p.locale);
    ResetProfile();
    ClearHistory();
    App app;
    ASSERT_TRUE(app.StartUnder("", p.locale)) << "no window captioned 泰利沃v4.04版";
    // The report: GBK where the code page is GBK's, UTF-8 with its mark elsewhere.
    const auto bytes = [&](const std::string& utf8) { return p.gbkReport ? Gbk(utf8) : utf8; };
    const auto complete = [&] { return EndsAfter(ReadFileBytes(report), bytes("键盘一共敲击:0次")); };
    DeleteFileW(Wide(report).c_str());
    const SaveOutcome saved = SaveAs(app, app.Main(), ID_SAVE_REPORT, report, complete);
    ASSERT_TRUE(saved.saved) << saved.caption << saved.text << ReadFileBytes(report);
    EXPECT_EQ(ReadFileBytes(report).rfind((p.gbkReport ? "" : "\xEF\xBB\xBF") + bytes("键鼠统计时间:"), 0), 0u);
    // Real clicks and keys into a program named in Thai, chosen in the picker.
    TargetApp target(740, 20, 270, 260, thai);
    ASSERT_TRUE(target.Window());
    ASSERT_TRUE(ChooseProcess(app, thai.c_str())) << "not listed:\n" << PickerNames(app);
    ASSERT_TRUE(BringToFront(target.Window()));
    ClickAt({875, 150}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
    TapKey('T', 3);
    EXPECT_TRUE(PanelShows({2, 0, 0, 0, 3}));
    EXPECT_NE(WindowText(GetDlgItem(ProcessPanelWindow(), IDC_PROC_SHARE)).find("ทดสอบ"), std::string::npos);
    app.ExpectCounters({4, 0, 0, 0, 3});  // two more in the picker
    const std::string today = " AND date='" + DateDaysAgo(0) + "'";
    EXPECT_TRUE(WaitUntil([&] { return HistoryInt("SELECT clicks FROM programs WHERE exe='" + thai + "'" + today) == 2; },
                          5000));
    // The history window's 程序 page names it.
    const HWND history = OpenHistoryWindow(app);
    ASSERT_TRUE(history);
    SendMessageW(GetDlgItem(history, IDC_HIST_TODAY), BM_CLICK, 0, 0);
    SendMessageW(GetDlgItem(history, IDC_HIST_TAB), TCM_SETCURFOCUS, 3, 0);
    EXPECT_TRUE(WaitUntil([&] { return ListCell(app.Process(), GetDlgItem(history, IDC_HIST_PROGRAMS), 0, 0) == thai; }));
    std::vector<std::string> texts;
    for (HWND w : {app.Main(), ProcessPanelWindow(), history}) AddTexts(app, w, texts);
    if (chinese.empty()) chinese = texts;
    EXPECT_EQ(texts, chinese);
    // The exit question, and a clean end.
    std::string asked;
    EXPECT_TRUE(app.Command(ID_EXIT).Answer(IDYES, &asked));
    EXPECT_EQ(asked, "你是否确定退出？");
    EXPECT_TRUE(app.WaitExit(10000) && app.ExitCode() == 0);
  }
}

}  // namespace
