// Start-up, a single copy, global counting, pointer distance and the ways
// out of the main window, on the real program.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "harness.h"
#include "res/resource.h"
#include "stats/stats_text.h"
#include "tools_harness.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

// Left, right, middle, wheel, keys.
void ExpectLabels(const App& app, std::array<uint32_t, 5> n) {
  const std::pair<int, std::string> want[] = {{IDC_LEFT_CLICKS, tallivo::CounterLabel(InputKind::Left, n[0])},
                                              {IDC_RIGHT_CLICKS, tallivo::CounterLabel(InputKind::Right, n[1])},
                                              {IDC_MIDDLE_CLICKS, tallivo::CounterLabel(InputKind::Middle, n[2])},
                                              {IDC_WHEEL_STEPS, tallivo::CounterLabel(InputKind::Wheel, n[3])},
                                              {IDC_KEY_STROKES, tallivo::CounterLabel(InputKind::Key, n[4])},
                                              {IDC_TOTAL_CLICKS, tallivo::TotalClicksLabel(n[0] + n[1] + n[2] + n[3])}};
  for (const auto& [id, text] : want) EXPECT_TRUE(app.WaitText(id, text, 8000)) << app.Text(id) << ", want " << text;
}

TEST(MainWindow, CountsRealInputFollowsThePointerAndStaysTheOnlyCopy) {
  ResetProfile();
  MoveCursor(700, 500);
  App app;
  ASSERT_TRUE(app.Start());
  SetWindowPos(app.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The pointer label is emptied before the window shows: no template text.
  EXPECT_EQ(app.FirstCursorText(), "");
  ASSERT_TRUE(MoveCursor(612, 455));
  EXPECT_TRUE(app.WaitText(IDC_CURSOR_POS, "当前鼠标的位置:612,455")) << app.Text(IDC_CURSOR_POS);

  InputSink sink({560, 420, 1000, 740});
  const POINT c = sink.Center();
  ASSERT_TRUE(MoveCursor(c.x, c.y));
  sink.Activate();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 2);
  Click(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
  Wheel(120, 2);   // two notches up
  Wheel(-120, 1);  // one down
  Wheel(60, 2);    // two half notches make one step
  TapKey('A', 4);
  std::array<uint32_t, 5> n = {3, 2, 1, 4, 4};
  ExpectLabels(app, n);

  // A held key auto-repeating counts once.
  std::vector<INPUT> held(6, KeyInput('B', false));
  held.push_back(KeyInput('B', true));
  SendInputs(held);
  n[4] += 1;
  ExpectLabels(app, n);

  // Bursts in one call each, far more than the message queue takes at once.
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2000);
  TapKey('K', 1000);
  n[0] += 2000;
  n[4] += 1000;
  ExpectLabels(app, n);

  // A second copy ends without a window and leaves the first in peace.
  HWND before = GetForegroundWindow();
  App second;
  EXPECT_FALSE(second.Start("Tallivo.exe", 3000, "", true));
  EXPECT_TRUE(second.WaitExit(5000));
  EXPECT_TRUE(second.TopLevelWindows().empty());
  ASSERT_TRUE(app.Running());
  EXPECT_EQ(GetForegroundWindow(), before);
  TapKey('E', 1);
  n[4] += 1;
  ExpectLabels(app, n);

  // Windows may take the hooks away without notice (a hook once too slow).
  // Taken away here behind the program's back, they miss the next clicks;
  // while the user goes on moving the pointer, the program notices input its
  // hooks do not see and sets them again, and counting goes on.
  ASSERT_TRUE(RunInside(app, "hook_dropper.dll"));
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2);
  Pump(1000);
  ASSERT_EQ(app.Text(IDC_LEFT_CLICKS), tallivo::CounterLabel(InputKind::Left, n[0])) << "the hooks still count";
  auto leftShown = [&] {
    const std::string label = app.Text(IDC_LEFT_CLICKS);
    const size_t digits = label.find_first_of("0123456789");
    return digits == std::string::npos ? 0u : static_cast<uint32_t>(std::strtoul(label.c_str() + digits, nullptr, 10));
  };
  uint32_t probes = 0;
  for (DWORD start = GetTickCount(); leftShown() == n[0] && GetTickCount() - start < 20000;) {
    for (int i = 0; i < 10; ++i) {
      INPUT nudge = MouseInput(MOUSEEVENTF_MOVE);
      nudge.mi.dx = i % 2 ? -2 : 2;
      SendInputs({nudge});
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
  ExpectLabels(app, n);
}

TEST(Distance, PointerTravelInMetresForTheMeasuredScreen) {
  ResetProfile();
  ASSERT_TRUE(MoveCursor(500, 300));
  App app;
  ASSERT_TRUE(app.Start());
  SetWindowPos(app.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(300);
  EXPECT_EQ(app.Text(IDC_MOVE_METRES), "鼠标运行:   0米");
  // 16 jumps of (300, 400), 500 pixels each, sampled one by one: 8000 pixels.
  for (int i = 0; i < 16; ++i) {
    ASSERT_TRUE(i % 2 == 0 ? MoveCursor(800, 700) : MoveCursor(500, 300));
    Pump(60);
  }
  const float ppm = MeasurePixelsPerMetre();
  const std::string expected = tallivo::MetresLabel(static_cast<float>(8000.0 / ppm));
  EXPECT_TRUE(app.WaitText(IDC_MOVE_METRES, expected)) << app.Text(IDC_MOVE_METRES) << " ppm " << ppm;

  // After several still seconds the first move counts from where the
  // pointer rested: a jump of (3, 4) adds 5 pixels, and the labels follow.
  auto stored = [] {
    DWORD v = 0;
    return ReadProfileDword("DataSetting", "MouseMove", &v) ? v : 0;
  };
  ASSERT_TRUE(WaitUntil([&] { return stored() == 8000; })) << stored();
  Pump(5000);
  ASSERT_TRUE(MoveCursor(503, 304));
  EXPECT_TRUE(WaitUntil([&] { return stored() == 8005; })) << stored();
  EXPECT_TRUE(app.WaitText(IDC_CURSOR_POS, "当前鼠标的位置:503,304")) << app.Text(IDC_CURSOR_POS);
  Pump(1500);
  EXPECT_EQ(stored(), 8005u);
}

// The menu's exit and the close box ask first (No keeps it running and
// counting); Esc and Enter end at once. Every way ends with code 0.
TEST(ExitPaths, EachWayOutAsksOrEndsAtOnceAndEndsCleanly) {
  const struct {
    const char* name;
    UINT msg;
    WPARAM wp;
    WORD key;
  } ways[] = {
      {"exit command", WM_COMMAND, ID_EXIT, 0},
      {"close box", WM_SYSCOMMAND, SC_CLOSE, 0},
      {"Esc", 0, 0, VK_ESCAPE},
      {"Enter", 0, 0, VK_RETURN},
  };
  for (const auto& w : ways) {
    SCOPED_TRACE(w.name);
    ResetProfile();
    App app;
    ASSERT_TRUE(app.Start());
    if (w.key) {
      SetForegroundWindow(app.Main());
      ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.Main(); }));
      TapKey(w.key, 1);
    } else {
      std::string question;
      PostMessageA(app.Main(), w.msg, w.wp, 0);
      ASSERT_TRUE(app.Answer(IDNO, &question));
      EXPECT_EQ(question, "你是否确定退出？");
      EXPECT_FALSE(app.WaitExit(500));
      PostMessageA(app.Main(), tallivo::WM_INPUT_LBUTTON, 0, 0);
      EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   1次")) << app.Text(IDC_LEFT_CLICKS);
      PostMessageA(app.Main(), w.msg, w.wp, 0);
      ASSERT_TRUE(app.Answer(IDYES));
    }
    ASSERT_TRUE(app.WaitExit(10000));
    EXPECT_EQ(app.ExitCode(), 0u);
  }
}

}  // namespace
