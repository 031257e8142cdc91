// Idle shutdown and the show/hide hotkey, on the real program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

constexpr char kNotANumber[] = "“请填入一个正整数。”";
constexpr char kOutOfRange[] = "“请填入一个在10和5000之间的整数。”";
constexpr char kIdleOff[] = "空等待关机:关闭";

std::string AnswerPrompt(const App& app) {
  std::string text = "<no box>";
  app.Answer(IDOK, &text);
  return text;
}

void CloseDialog(HWND dlg) {
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  WaitUntil([&] { return !IsWindow(dlg); });
}

HWND FocusOf(HWND anyWindowOfThread) {
  GUITHREADINFO gti = {};
  gti.cbSize = sizeof gti;
  GetGUIThreadInfo(GetWindowThreadProcessId(anyWindowOfThread, nullptr), &gti);
  return gti.hwndFocus;
}

bool Activate(HWND hwnd) {
  SetForegroundWindow(hwnd);
  return WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 3000);
}

// Wine brings its keyboard state back in line with the X server's when the
// focus changes, which drops modifiers injected just before: after a dialog
// closed or the window hid, let the activation settle first.
void PressCtrlAlt(WORD vk) {
  Pump(1000);
  SendInputs({KeyInput(VK_CONTROL, false), KeyInput(VK_MENU, false), KeyInput(vk, false), KeyInput(vk, true),
              KeyInput(VK_MENU, true), KeyInput(VK_CONTROL, true)});
}

bool Shown(const App& app) { return IsWindowVisible(app.Main()) && !IsIconic(app.Main()); }

// ------------------------------------------------------------ idle shutdown

class IdleShutdown : public SharedApp<IdleShutdown> {
 protected:
  HWND Open() const {
    s_app->Command(ID_IDLE_SHUTDOWN);
    return s_app->FindDialog("设置空等待关机");
  }
  void Enter(HWND dlg, const char* minutes) const {
    SetWindowTextA(GetDlgItem(dlg, IDC_IDLE_MINUTES), minutes);
    PressButton(dlg, IDC_IDLE_ON);
  }
};

TEST_F(IdleShutdown, RefusedInputsSayWhyAndChangeNothing) {
  HWND dlg = Open();
  ASSERT_TRUE(dlg);
  HWND edit = GetDlgItem(dlg, IDC_IDLE_MINUTES);
  EXPECT_EQ(WindowText(edit), "0");
  Screenshot("idle_dialog");
  const struct {
    const char* input;
    const char* message;
  } cases[] = {
      {"9", kOutOfRange},    {"5001", kOutOfRange}, {"", kNotANumber},
      {"30x", kNotANumber},  {"-5", kNotANumber},   {"4294967306", kOutOfRange},  // not wrapped to 10
  };
  for (const auto& c : cases) {
    Enter(dlg, c.input);
    if (std::strcmp(c.input, "9") == 0) {
      s_app->FindDialog("Tallivo");
      Screenshot("idle_refused");
    }
    EXPECT_EQ(AnswerAppBox(*s_app), c.message) << '"' << c.input << '"';
    // Back in the edit with the whole text selected, nothing sent.
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dlg) == edit; }, 2000)) << c.input;
    const DWORD sel = static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0));
    EXPECT_EQ(LOWORD(sel), 0) << c.input;
    EXPECT_EQ(HIWORD(sel), std::strlen(c.input)) << c.input;
    EXPECT_EQ(s_app->FindDialog("提示", 300), nullptr) << c.input;
    EXPECT_EQ(s_app->Text(IDC_IDLE_STATE), kIdleOff) << c.input;
    EXPECT_TRUE(IsWindow(dlg));
  }
  CloseDialog(dlg);
}

TEST_F(IdleShutdown, ThirtyWithBlanksSwitchesOnAndOffAgain) {
  HWND dlg = Open();
  ASSERT_TRUE(dlg);
  Enter(dlg, " 30 ");
  EXPECT_EQ(AnswerPrompt(*s_app), "成功开启空等待关机,键鼠空等待30分钟后自动关机！");
  EXPECT_TRUE(s_app->WaitText(IDC_IDLE_STATE, "等待关机:开启30分钟")) << s_app->Text(IDC_IDLE_STATE);
  EXPECT_TRUE(IsWindow(dlg)) << "开启 closed the dialog";
  CloseDialog(dlg);

  // Opened again while on: the edit shows 0, not the limit.
  dlg = Open();
  ASSERT_TRUE(dlg);
  EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_IDLE_MINUTES)), "0");
  PressButton(dlg, IDC_IDLE_OFF);
  EXPECT_EQ(AnswerPrompt(*s_app), "成功关闭空等待关机");
  EXPECT_TRUE(s_app->WaitText(IDC_IDLE_STATE, kIdleOff));
  // Off while off says the same.
  PressButton(dlg, IDC_IDLE_OFF);
  EXPECT_EQ(AnswerPrompt(*s_app), "成功关闭空等待关机");
  EXPECT_EQ(s_app->Text(IDC_IDLE_STATE), kIdleOff);
  CloseDialog(dlg);
}

TEST_F(IdleShutdown, BoundsAreAcceptedAndALaterValueReplacesTheLimit) {
  HWND dlg = Open();
  ASSERT_TRUE(dlg);
  Enter(dlg, "5000");
  EXPECT_EQ(AnswerPrompt(*s_app), "成功开启空等待关机,键鼠空等待5000分钟后自动关机！");
  EXPECT_TRUE(s_app->WaitText(IDC_IDLE_STATE, "等待关机:开启5000分钟"));
  Enter(dlg, "10");
  EXPECT_EQ(AnswerPrompt(*s_app), "成功开启空等待关机,键鼠空等待10分钟后自动关机！");
  EXPECT_TRUE(s_app->WaitText(IDC_IDLE_STATE, "等待关机:开启10分钟"));
  CloseDialog(dlg);
}

TEST_F(IdleShutdown, NoShutdownRequestWhileTheUserIsActive) {
  // The limit of 10 minutes is on (previous case); the pointer just moved.
  SessionEndWatcher watcher;
  ASSERT_TRUE(MoveCursor(1000, 740));
  ASSERT_TRUE(MoveCursor(1001, 741));
  Pump(3500);  // three ticks of the idle check
  EXPECT_EQ(watcher.Requests(), 0);
  HWND dlg = Open();
  ASSERT_TRUE(dlg);
  PressButton(dlg, IDC_IDLE_OFF);
  EXPECT_EQ(AnswerPrompt(*s_app), "成功关闭空等待关机");
  CloseDialog(dlg);
}

// Waits more than ten minutes without any input in the session, so it is
// registered only on request (see tests/e2e/CMakeLists.txt). The session-end
// request of the real ExitWindowsEx reaches the watcher, which refuses it.
TEST(IdleShutdownLong, RequestsTheShutdownOnceTenIdleMinutesHavePassed) {
  ResetProfile();
  SessionEndWatcher watcher;
  App app;
  ASSERT_TRUE(app.Start());
  app.Command(ID_IDLE_SHUTDOWN);
  HWND dlg = app.FindDialog("设置空等待关机");
  ASSERT_TRUE(dlg);
  SetWindowTextA(GetDlgItem(dlg, IDC_IDLE_MINUTES), "10");
  // The last input of the session; from here on the test sends none.
  ASSERT_TRUE(MoveCursor(1020, 760));
  LASTINPUTINFO last = {sizeof last};
  ASSERT_TRUE(GetLastInputInfo(&last));
  PressButton(dlg, IDC_IDLE_ON);
  ASSERT_EQ(AnswerPrompt(app), "成功开启空等待关机,键鼠空等待10分钟后自动关机！");
  CloseDialog(dlg);

  ASSERT_TRUE(WaitUntil([&] { return watcher.Requests() > 0 || GetTickCount() - last.dwTime > 9 * 60000; },
                        10 * 60000));
  EXPECT_EQ(watcher.Requests(), 0) << "asked before nine idle minutes";
  ASSERT_TRUE(WaitUntil([&] { return watcher.Requests() > 0; }, 3 * 60000));
  const DWORD idleAtRequest = GetTickCount() - last.dwTime;
  LASTINPUTINFO now = {sizeof now};
  GetLastInputInfo(&now);
  ASSERT_EQ(now.dwTime, last.dwTime) << "some input reached the session meanwhile";
  EXPECT_GE(idleAtRequest, 600000u);
  EXPECT_LT(idleAtRequest, 603000u) << "the request came late";
  EXPECT_EQ(watcher.LastFlags(), 0) << "a shutdown, not a log-off";
  // Refused and still idle: asked again on the next ticks.
  EXPECT_TRUE(WaitUntil([&] { return watcher.Requests() >= 2; }, 5000));
  // Input ends the idleness: no more requests.
  ASSERT_TRUE(MoveCursor(500, 500));
  Pump(1500);
  const int requests = watcher.Requests();
  Pump(3000);
  EXPECT_EQ(watcher.Requests(), requests);
  EXPECT_TRUE(app.Running());
}

// ------------------------------------------------------------------ hotkey

class Hotkey : public ::testing::Test {
 protected:
  void SetUp() override { ResetProfile(); }
  HWND Open() const {
    app.Command(ID_SET_HOTKEY);
    return app.FindDialog("设置快捷键");
  }
  DWORD StoredKey() const {
    DWORD v = 0xDEADBEEF;
    ReadProfileDword("QuickKey", "quickkey", &v);
    return v;
  }
  App app;
};

TEST_F(Hotkey, TypedLetterBecomesTheHotkeyThatHidesAndShowsTheWindow) {
  ASSERT_TRUE(app.Start());
  HWND dlg = Open();
  ASSERT_TRUE(dlg);
  HWND edit = GetDlgItem(dlg, IDC_HOTKEY_EDIT);
  EXPECT_EQ(WindowText(edit), "");
  ASSERT_TRUE(Activate(dlg));
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(dlg) == edit; }));
  TapKey('A', 1);  // a lower-case "a"
  EXPECT_TRUE(WaitUntil([&] { return WindowText(edit) == "A"; })) << WindowText(edit);
  Screenshot("hotkey_dialog");
  // Refused characters leave the edit empty.
  const struct {
    const char* what;
    std::function<void()> type;
  } refused[] = {
      {"digit", [] { TapKey('5', 1); }},
      {"blank", [] { TapKey(VK_SPACE, 1); }},
      {"comma", [] { TapKey(VK_OEM_COMMA, 1); }},
      {"Chinese character", [&] { SendMessageW(edit, WM_CHAR, 0x4E2D, 1); }},  // 中, as an IME delivers it
  };
  for (const auto& r : refused) {
    TapKey(VK_BACK, 1);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(edit).empty(); })) << WindowText(edit);
    r.type();
    Pump(300);
    EXPECT_EQ(WindowText(edit), "") << r.what;
  }
  TapKey('A', 1);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == "A"; }));
  PressButton(dlg, IDC_HOTKEY_SET);
  EXPECT_EQ(AnswerPrompt(app), "快捷键设置成功");
  EXPECT_EQ(StoredKey(), 0x41u);
  // The same letter again is still a success: the combination is ours.
  PressButton(dlg, IDC_HOTKEY_SET);
  EXPECT_EQ(AnswerPrompt(app), "快捷键设置成功");
  EXPECT_TRUE(IsWindow(dlg)) << "设置 closed the dialog";
  CloseDialog(dlg);

  ASSERT_TRUE(WaitUntil([&] { return Shown(app); }));
  PressCtrlAlt('A');
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()); })) << "Ctrl+Alt+A did not hide the window";
  PressCtrlAlt('A');
  EXPECT_TRUE(WaitUntil([&] { return Shown(app); })) << "Ctrl+Alt+A did not show the window";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.Main(); }));
}

TEST_F(Hotkey, PeriodIsStoredAsItsCharacterAndRegisteredAsThePeriodKey) {
  ASSERT_TRUE(app.Start());
  HWND dlg = Open();
  ASSERT_TRUE(dlg);
  HWND edit = GetDlgItem(dlg, IDC_HOTKEY_EDIT);
  ASSERT_TRUE(Activate(dlg));
  TapKey(VK_OEM_PERIOD, 1);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == "."; })) << WindowText(edit);
  PressButton(dlg, IDC_HOTKEY_SET);
  EXPECT_EQ(AnswerPrompt(app), "快捷键设置成功");
  EXPECT_EQ(StoredKey(), 0x2Eu);
  CloseDialog(dlg);
  PressCtrlAlt(VK_OEM_PERIOD);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()); }));

  // The next start registers the stored key and the dialog shows it.
  app.Command(ID_EXIT);
  ASSERT_TRUE(app.Answer(IDYES));
  ASSERT_TRUE(app.WaitExit(10000));
  ASSERT_TRUE(app.Start());
  // Later starts go to the tray.
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()); }));
  PressCtrlAlt(VK_OEM_PERIOD);
  EXPECT_TRUE(WaitUntil([&] { return Shown(app); }));
  dlg = Open();
  ASSERT_TRUE(dlg);
  EXPECT_EQ(WindowText(GetDlgItem(dlg, IDC_HOTKEY_EDIT)), ".");
  CloseDialog(dlg);
}

TEST_F(Hotkey, TakenCombinationIsStoredAndSaidPlainlyAndAnEmptyEditStoresZero) {
  // Another program holds Ctrl+Alt+Q.
  ASSERT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'Q'));
  ASSERT_TRUE(app.Start());
  HWND dlg = Open();
  ASSERT_TRUE(dlg);
  HWND edit = GetDlgItem(dlg, IDC_HOTKEY_EDIT);
  SetWindowTextA(edit, "Q");
  PressButton(dlg, IDC_HOTKEY_SET);
  EXPECT_EQ(AnswerPrompt(app), "快捷键已保存,但Ctrl+Alt+Q已被其他程序占用,现在不能使用");
  EXPECT_EQ(StoredKey(), 0x51u);
  UnregisterHotKey(nullptr, 7);

  SetWindowTextA(edit, "");
  PressButton(dlg, IDC_HOTKEY_SET);
  EXPECT_EQ(AnswerPrompt(app), "快捷键设置成功");
  EXPECT_EQ(StoredKey(), 0u);
  CloseDialog(dlg);
  // Nothing was registered for Q: the combination does nothing.
  ASSERT_TRUE(WaitUntil([&] { return Shown(app); }));
  PressCtrlAlt('Q');
  Pump(1000);
  EXPECT_TRUE(Shown(app));
}

}  // namespace
