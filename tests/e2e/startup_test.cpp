// Start-up, a single copy, global counting and the ways out of the main window, on the real program.

#include "base/messages.h"
#include "history_harness.h"
#include "stats/stats_text.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

TEST(MainWindow, CountsRealInputFollowsThePointerAndStaysTheOnlyCopy) {
  ResetProfile();
  MoveCursor(700, 500);
  App app;
  ASSERT_TRUE(app.Start());
  SetWindowPos(app.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The pointer label is emptied before the window shows: no template text. On a busy machine the first refresh may
  // have written the pointer's place before the test looked.
  EXPECT_TRUE(app.FirstCursorText() == "" || app.FirstCursorText() == "当前鼠标的位置:700,500")
      << app.FirstCursorText();
  ASSERT_TRUE(MoveCursor(612, 455));
  EXPECT_TRUE(app.WaitText(IDC_CURSOR_POS, "当前鼠标的位置:612,455")) << app.Text(IDC_CURSOR_POS);

  InputSink sink;
  ASSERT_TRUE(sink.Take());
  Clicks(3, 2, 1);
  Wheel(120, 2);   // two notches up
  Wheel(-120, 1);  // one down
  Wheel(60, 2);    // two half notches make one step
  TapKey('A', 4);
  // A held key auto-repeating counts once.
  std::vector<INPUT> held(6, KeyInput('B', false));
  held.push_back(KeyInput('B', true));
  SendInputs(held);
  // Bursts in one call each, far more than the message queue takes at once.
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2000);
  TapKey('K', 1000);
  std::array<uint32_t, 5> n = {3 + 2000, 2, 1, 4, 4 + 1 + 1000};
  app.ExpectCounters(n);

  // A second copy ends without a window and leaves the first in peace.
  HWND before = GetForegroundWindow();
  App second;
  EXPECT_FALSE(second.Start("Tallivo.exe", 3000, "", true));
  EXPECT_TRUE(second.WaitExit(5000));
  ASSERT_TRUE(app.Running());
  EXPECT_EQ(GetForegroundWindow(), before);
  TapKey('E', 1);
  n[4] += 1;
  app.ExpectCounters(n);

  // Windows may take the hooks away without notice (a hook once too slow). Taken away here behind the program's back,
  // they miss the next clicks; while the user goes on moving the pointer, the program notices input its hooks do not
  // see and sets them again, and counting goes on.
  ASSERT_TRUE(RunInside(app, "hook_dropper.dll"));
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  Pump(1000);
  ASSERT_EQ(app.Text(IDC_LEFT_CLICKS), tallivo::CounterLabel(InputKind::Left, n[0])) << "the hooks still count";
  auto leftShown = [&] { return NumberIn(app.Text(IDC_LEFT_CLICKS)); };
  uint32_t probes = 0;
  for (DWORD start = GetTickCount(); leftShown() == n[0] && GetTickCount() - start < 20000;) {
    for (int i = 0; i < 10; ++i) {
      SendInputs({MouseInput(MOUSEEVENTF_MOVE, 0, i % 2 ? -2 : 2)});
      Pump(100);
    }
    Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);  // one probe a second
    ++probes;
    WaitUntil([&] { return leftShown() != n[0]; }, 300);
  }
  const uint32_t shown = leftShown();
  ASSERT_TRUE(shown > n[0] && shown <= n[0] + probes) << "counting did not resume: " << app.Text(IDC_LEFT_CLICKS);
  n[0] = shown;
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  TapKey('E', 2);
  n[0] += 3;
  n[4] += 2;
  app.ExpectCounters(n);
}

// Every way out of the main window, one run each on the figures the run before left: the menu's exit and the close box
// ask first (No keeps it running and counting), Esc and Enter end at once, each with code 0. Every event counted before
// is kept, even those of the last second: the next start shows it, the stored day and the history have it. The end of
// the session saves before it answers (and the program goes on counting).
TEST(ExitPaths, EachWayOutAsksOrEndsAtOnceAndKeepsEveryEventCountedBeforeIt) {
  const struct {
    const char* name;
    UINT msg;  // the way out unless key; WM_QUERYENDSESSION: asked first
    WPARAM wp;
    WORD key;
  } ways[] = {
      {"exit command", WM_COMMAND, ID_EXIT, 0},
      {"close box", WM_SYSCOMMAND, SC_CLOSE, 0},
      {"Esc", 0, 0, VK_ESCAPE},
      {"the end of the session, then Enter", WM_QUERYENDSESSION, 0, VK_RETURN},
  };
  ResetProfile();
  ClearHistory();
  // A sync folder too: each way out leaves a copy with everything in it.
  const std::string folder = HistoryFolder() + " sync";
  CreateDirectoryA(folder.c_str(), nullptr);
  DeleteFileA(CopyOf(folder, "exits").c_str());
  SetSync(folder, "exits");
  uint32_t left = 0, keys = 0;
  auto expectKept = [&](bool copied) {
    EXPECT_EQ(Stored("MouseLeft"), left);
    EXPECT_EQ(Stored("KeyBoard"), keys);
    const std::string today = "FROM days WHERE date='" + DateDaysAgo(0) + "'";
    EXPECT_EQ(HistoryInt("SELECT left_clicks " + today), left);
    EXPECT_EQ(HistoryInt("SELECT key_strokes " + today), keys);
    if (copied) {
      EXPECT_EQ(HistoryInt("SELECT left_clicks " + today, CopyOf(folder, "exits")), left) << "the copy";
    }
  };
  for (const auto& w : ways) {
    SCOPED_TRACE(w.name);
    App app;
    ASSERT_TRUE(app.Start());
    // Later starts go to the tray; the labels are written where they are seen.
    if (IsIconic(app.Main()) || !IsWindowVisible(app.Main())) {
      ASSERT_TRUE(app.FromTray());
    }
    app.ExpectCounters({left, 0, 0, 0, keys});
    if (!w.key) {
      std::string question;
      PostMessageA(app.Main(), w.msg, w.wp, 0);
      ASSERT_TRUE(app.Answer(IDNO, &question));
      EXPECT_EQ(question, "你是否确定退出？");
      EXPECT_FALSE(app.WaitExit(500));
      app.PostInput(tallivo::WM_INPUT_LBUTTON);
      EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, tallivo::CounterLabel(InputKind::Left, ++left)));
    }
    if (w.msg == WM_QUERYENDSESSION) {
      app.PostInput(tallivo::WM_INPUT_LBUTTON, 41);
      app.PostInput(tallivo::WM_INPUT_KEY, 17);
      left += 41, keys += 17;
      app.ExpectCounters({left, 0, 0, 0, keys});
      DWORD_PTR ok = 0;
      ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &ok));
      EXPECT_EQ(ok, 1u) << "the end of the session refused";
      expectKept(false);
      app.PostInput(tallivo::WM_INPUT_LBUTTON, 2);
      left += 2;
      app.ExpectCounters({left, 0, 0, 0, keys});
      ASSERT_TRUE(SendMessageTimeoutA(app.Main(), WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 8000, &ok));
      expectKept(true);
    }
    app.PostInput(tallivo::WM_INPUT_LBUTTON, 41);
    app.PostInput(tallivo::WM_INPUT_KEY, 17);
    left += 41, keys += 17;
    if (w.key) {
      ASSERT_TRUE(BringToFront(app.Main()));
      TapKey(w.key, 1);
    } else {
      PostMessageA(app.Main(), w.msg, w.wp, 0);
      ASSERT_TRUE(app.Answer(IDYES));
    }
    ASSERT_TRUE(app.WaitExit(10000));
    EXPECT_EQ(app.ExitCode(), 0u);
    // The key that ended the run may have been counted before the end.
    if (w.key && Stored("KeyBoard") == keys + 1) ++keys;
    expectKept(true);
  }
}

}  // namespace
