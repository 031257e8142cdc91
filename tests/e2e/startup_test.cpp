// Start-up, single instance, the main window, global counting and the exit
// paths, on the real program.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "harness.h"
#include "main/messages.h"
#include "res/resource.h"
#include "stats/stats_text.h"

using namespace e2e;
using tallivo::InputKind;

namespace {

// Screen layout of the tests: the main window in the top-left corner, the
// input sink in the bottom-right part of the 1024x768 desktop.
constexpr RECT kSinkRect = {560, 420, 1000, 740};

struct Counts {
  uint32_t left = 0, right = 0, middle = 0, wheel = 0, keys = 0;
};

void ExpectLabels(const App& app, const Counts& c) {
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, tallivo::CounterLabel(InputKind::Left, c.left), 8000))
      << app.Text(IDC_LEFT_CLICKS);
  EXPECT_TRUE(app.WaitText(IDC_RIGHT_CLICKS, tallivo::CounterLabel(InputKind::Right, c.right)))
      << app.Text(IDC_RIGHT_CLICKS);
  EXPECT_TRUE(app.WaitText(IDC_MIDDLE_CLICKS, tallivo::CounterLabel(InputKind::Middle, c.middle)))
      << app.Text(IDC_MIDDLE_CLICKS);
  EXPECT_TRUE(app.WaitText(IDC_WHEEL_STEPS, tallivo::CounterLabel(InputKind::Wheel, c.wheel)))
      << app.Text(IDC_WHEEL_STEPS);
  EXPECT_TRUE(app.WaitText(IDC_KEY_STROKES, tallivo::CounterLabel(InputKind::Key, c.keys)))
      << app.Text(IDC_KEY_STROKES);
  EXPECT_TRUE(app.WaitText(IDC_TOTAL_CLICKS, tallivo::TotalClicksLabel(c.left + c.right + c.middle + c.wheel)))
      << app.Text(IDC_TOTAL_CLICKS);
}

class MainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetProfile();
    MoveCursor(700, 500);
    s_app = new App;
    ASSERT_TRUE(s_app->Start());
    SetWindowPos(s_app->Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    s_sink = new InputSink(kSinkRect);
  }
  static void TearDownTestSuite() {
    delete s_sink;
    delete s_app;
    s_sink = nullptr;
    s_app = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(s_app && s_app->Running());
    // Every test adds to what the earlier ones counted.
  }
  static App* s_app;
  static InputSink* s_sink;
  static Counts s_counts;
};
App* MainWindow::s_app = nullptr;
InputSink* MainWindow::s_sink = nullptr;
Counts MainWindow::s_counts;

TEST_F(MainWindow, ShowsCaptionAndTemplateTexts) {
  EXPECT_EQ(WindowText(s_app->Main()), "泰利沃v4.04版");
  EXPECT_TRUE(IsWindowVisible(s_app->Main()));
  // Label 1000 is emptied before the window shows; the template text never appears.
  EXPECT_EQ(s_app->FirstCursorText(), "");
  EXPECT_EQ(s_app->FirstClockText(), "%Y年%m月%d日%H:%M:%S");
  struct {
    int id;
    const char* text;
  } fixed[] = {
      {IDC_UPTIME, "系统已运行:0时0分0秒"},
      {IDC_RUN_TIME, "软件已运行:0时0分0秒"},
      {IDC_IDLE_STATE, "空等待关机:关闭"},
      {IDC_MOVE_METRES, "鼠标运行:   0米"},
  };
  for (const auto& f : fixed) EXPECT_EQ(s_app->Text(f.id), f.text) << f.id;
  HWND tab = GetDlgItem(s_app->Main(), IDC_TAB);
  ASSERT_NE(tab, nullptr);
  char cls[64] = {};
  GetClassNameA(tab, cls, sizeof cls);
  EXPECT_STREQ(cls, "SysTabControl32");
  HWND status = GetDlgItem(s_app->Main(), IDC_STATUS_BAR);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(SendMessageA(status, SB_GETPARTS, 0, 0), 2);
  // The caption has a minimise box and no maximise box.
  LONG style = GetWindowLongA(s_app->Main(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(GetWindowLongA(s_app->Main(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
}

TEST_F(MainWindow, CursorLabelFollowsThePointer) {
  ASSERT_TRUE(MoveCursor(612, 455));
  EXPECT_TRUE(s_app->WaitText(IDC_CURSOR_POS, "当前鼠标的位置:612,455")) << s_app->Text(IDC_CURSOR_POS);
  ASSERT_TRUE(MoveCursor(640, 470));
  EXPECT_TRUE(s_app->WaitText(IDC_CURSOR_POS, "当前鼠标的位置:640,470")) << s_app->Text(IDC_CURSOR_POS);
}

TEST_F(MainWindow, CountsRealClicksWheelAndKeys) {
  POINT c = s_sink->Center();
  ASSERT_TRUE(MoveCursor(c.x, c.y));
  s_sink->Activate();
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 3);
  Click(MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, 2);
  Click(MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, 1);
  Wheel(120, 2);                             // two notches up
  Wheel(static_cast<DWORD>(-120), 1);        // one down
  Wheel(60, 2);                              // two half notches make one step
  TapKey('A', 4);
  TapKey(VK_SPACE, 1);
  s_counts.left += 3;
  s_counts.right += 2;
  s_counts.middle += 1;
  s_counts.wheel += 4;
  s_counts.keys += 5;
  ExpectLabels(*s_app, s_counts);
}

TEST_F(MainWindow, HeldKeyWithAutoRepeatCountsOnce) {
  s_sink->Activate();
  std::vector<INPUT> held;
  for (int i = 0; i < 6; ++i) held.push_back(KeyInput('B', false));  // auto-repeat
  held.push_back(KeyInput('B', true));
  SendInputs(held);
  // A modifier held across other keys: Shift counts once, each letter once.
  SendInputs({KeyInput(VK_SHIFT, false), KeyInput('C', false), KeyInput('C', true), KeyInput(VK_SHIFT, false),
              KeyInput('D', false), KeyInput('D', true), KeyInput(VK_SHIFT, true)});
  s_counts.keys += 1 + 3;
  ExpectLabels(*s_app, s_counts);
}

TEST_F(MainWindow, BurstOf2000ClicksInOneCallIsCountedExactly) {
  POINT c = s_sink->Center();
  ASSERT_TRUE(MoveCursor(c.x, c.y));
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2000);
  s_counts.left += 2000;
  ExpectLabels(*s_app, s_counts);
  // Key strokes in one burst as well.
  s_sink->Activate();
  TapKey('K', 1000);
  s_counts.keys += 1000;
  ExpectLabels(*s_app, s_counts);
}

TEST_F(MainWindow, PostedInputMessagesCount) {
  HWND w = s_app->Main();
  const struct {
    unsigned msg;
    int times;
  } posts[] = {{tallivo::WM_INPUT_LBUTTON, 3}, {tallivo::WM_INPUT_RBUTTON, 1}, {tallivo::WM_INPUT_MBUTTON, 2},
               {tallivo::WM_INPUT_WHEEL, 5},   {tallivo::WM_INPUT_KEY, 7}};
  for (const auto& p : posts) {
    for (int i = 0; i < p.times; ++i) PostMessageA(w, p.msg, 0, 0);
  }
  // Numbers without a handler change nothing.
  for (unsigned msg : {tallivo::kWmUser + 111, tallivo::kWmUser + 116, tallivo::kWmUser + 118})
    PostMessageA(w, msg, 0, 0);
  s_counts.left += 3;
  s_counts.right += 1;
  s_counts.middle += 2;
  s_counts.wheel += 5;
  s_counts.keys += 7;
  ExpectLabels(*s_app, s_counts);
}

TEST_F(MainWindow, SecondCopyEndsAtOnceAndFirstKeepsRunning) {
  HWND before = GetForegroundWindow();
  App second;
  EXPECT_FALSE(second.Start("Tallivo.exe", 3000, "", true));  // no window appears
  EXPECT_TRUE(second.WaitExit(5000));
  EXPECT_TRUE(second.TopLevelWindows().empty());
  EXPECT_TRUE(s_app->Running());
  EXPECT_TRUE(IsWindow(s_app->Main()));
  EXPECT_EQ(GetForegroundWindow(), before);  // the first copy is not activated
  PostMessageA(s_app->Main(), tallivo::WM_INPUT_KEY, 0, 0);
  s_counts.keys += 1;
  ExpectLabels(*s_app, s_counts);
}

TEST(Distance, PointerTravelInMetresForTheMeasuredScreen) {
  ResetProfile();
  ASSERT_TRUE(MoveCursor(500, 300));
  App app;
  ASSERT_TRUE(app.Start());
  SetWindowPos(app.Main(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Pump(300);
  EXPECT_EQ(app.Text(IDC_MOVE_METRES), "鼠标运行:   0米");  // no move yet, nothing written
  // 16 jumps between (500,300) and (800,700), (300, 400) apart: 500 pixels
  // each, sampled one by one, 8000 pixels in all.
  for (int i = 0; i < 16; ++i) {
    ASSERT_TRUE(i % 2 == 0 ? MoveCursor(800, 700) : MoveCursor(500, 300));
    Pump(60);
  }
  const float ppm = MeasurePixelsPerMetre();
  const std::string expected = tallivo::MetresLabel(static_cast<float>(8000.0 / ppm));
  EXPECT_TRUE(app.WaitText(IDC_MOVE_METRES, expected)) << app.Text(IDC_MOVE_METRES) << " ppm " << ppm;
}

// Exit paths: each needs its own run.
class ExitPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProfile();
    ASSERT_TRUE(app.Start());
  }
  HWND AskAndExpectQuestion(UINT msg, WPARAM wp) {
    PostMessageA(app.Main(), msg, wp, 0);
    HWND box = app.FindDialog("提示");
    if (box) {
      EXPECT_EQ(DialogStaticText(box), "你是否确定退出？");
    }
    return box;
  }
  App app;
};

TEST_F(ExitPaths, ExitCommandNoKeepsRunningYesEnds) {
  HWND box = AskAndExpectQuestion(WM_COMMAND, ID_EXIT);
  ASSERT_NE(box, nullptr);
  PressButton(box, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_FALSE(app.WaitExit(500));
  // Still counting after No.
  PostMessageA(app.Main(), tallivo::WM_INPUT_LBUTTON, 0, 0);
  EXPECT_TRUE(app.WaitText(IDC_LEFT_CLICKS, "左键点击:   1次"));
  box = AskAndExpectQuestion(WM_COMMAND, ID_EXIT);
  ASSERT_NE(box, nullptr);
  PressButton(box, IDYES);
  // The hook is stopped twice on this path (command and destroy): no crash.
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_EQ(app.ExitCode(), 0u);
}

TEST_F(ExitPaths, CloseButtonNoKeepsRunningYesEnds) {
  HWND box = AskAndExpectQuestion(WM_SYSCOMMAND, SC_CLOSE);
  ASSERT_NE(box, nullptr);
  PressButton(box, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_FALSE(app.WaitExit(500));
  EXPECT_TRUE(IsWindowVisible(app.Main()));
  box = AskAndExpectQuestion(WM_CLOSE, 0);
  ASSERT_NE(box, nullptr);
  PressButton(box, IDYES);
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_EQ(app.ExitCode(), 0u);
}

TEST_F(ExitPaths, EscapeEndsAtOnceWithoutQuestion) {
  SetForegroundWindow(app.Main());
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.Main(); }));
  TapKey(VK_ESCAPE, 1);
  ASSERT_TRUE(app.WaitExit(5000));
  EXPECT_EQ(app.ExitCode(), 0u);
}

TEST_F(ExitPaths, EnterEndsAtOnceWithoutQuestion) {
  SetForegroundWindow(app.Main());
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.Main(); }));
  TapKey(VK_RETURN, 1);
  ASSERT_TRUE(app.WaitExit(5000));
  EXPECT_EQ(app.ExitCode(), 0u);
}

}  // namespace
