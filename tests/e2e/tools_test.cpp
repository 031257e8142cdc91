// The tool dialogs on one copy of the real program, in this order: about and contact, idle shutdown, the show/hide
// hotkey, and the mouse-button swap with the exit.

#include <cstring>

#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

void CloseDialog(HWND dlg) {
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  WaitUntil([&] { return !IsWindow(dlg); });
}

HWND FocusOf(HWND dlg) {
  GUITHREADINFO gti = {sizeof gti};
  GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &gti);
  return gti.hwndFocus;
}

// The swap setting as a process started now sees it.
bool ButtonsSwappedForNewProcess() {
  HANDLE process = StartProcess("\"" + BinDir() + "\\swap_state.exe\"");
  DWORD code = 0;
  if (process && WaitForSingleObject(process, 10000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  if (process) CloseHandle(process);
  return code == 1;
}

// A window that refuses the end of the session and counts the requests: Wine's ExitWindowsEx asks every window
// first, so a refused one ends nothing.
class SessionEndWatcher {
 public:
  SessionEndWatcher() : m_hwnd(TestWindow("TallivoTestSessionEnd", Proc, 0, WS_OVERLAPPED, {0, 0, 10, 10}, this)) {}
  ~SessionEndWatcher() {
    if (m_hwnd) DestroyWindow(m_hwnd);
  }
  int Requests() const { return m_requests; }
  LPARAM LastFlags() const { return m_lastFlags; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<SessionEndWatcher*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg != WM_QUERYENDSESSION || !self) return DefWindowProcA(hwnd, msg, wp, lp);
    ++self->m_requests;
    self->m_lastFlags = lp;
    return FALSE;  // the test machine's session goes on
  }
  HWND m_hwnd = nullptr;
  int m_requests = 0;
  LPARAM m_lastFlags = 0;
};

class ToolDialogs : public SharedApp<ToolDialogs> {
 public:
  static void BeforeStart() { MoveCursor(1000, 740); }  // out of the dialogs' way
};

TEST_F(ToolDialogs, AboutOpensModalFromTheSystemAndHelpMenus) {
  for (bool systemMenu : {true, false}) {
    SCOPED_TRACE(systemMenu ? "system menu" : "help menu");
    PostMessageA(s_app->Main(), systemMenu ? WM_SYSCOMMAND : WM_COMMAND, systemMenu ? IDM_ABOUT : ID_HELP_INFO, 0);
    HWND dlg = s_app->FindDialog("关于 Tallivo");
    ASSERT_TRUE(dlg);
    EXPECT_NE(DialogStaticText(dlg).find("泰利沃 4.04 版"), std::string::npos) << DialogStaticText(dlg);
    EXPECT_FALSE(IsWindowEnabled(s_app->Main())) << "not modal";
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) && IsWindowEnabled(s_app->Main()); }));
  }
}

TEST_F(ToolDialogs, AClickOnTheContactAddressOpensTheHomePage) {
  BrowserStandIn browser;
  HWND dlg = s_app->Command(ID_CONTACT).FindDialog("联系作者");
  ASSERT_TRUE(dlg);
  ClickAt(CentreOf(WindowRect(GetDlgItem(dlg, IDC_HOME_PAGE))), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  EXPECT_TRUE(WaitUntil([&] { return !browser.Requests().empty(); }, 10000));
  EXPECT_EQ(browser.Requests(), "https://tallivo.app|3\n") << "once, maximised";
  EXPECT_TRUE(IsWindowVisible(dlg)) << "the click closed the dialog";
  CloseDialog(dlg);
}

TEST_F(ToolDialogs, IdleShutdownRefusedMinutesSayWhyAcceptedOnesSwitchOnAndOffSwitchesOff) {
  const App& app = *s_app;
  HWND dlg = app.Command(ID_IDLE_SHUTDOWN).FindDialog("设置空等待关机");
  ASSERT_TRUE(dlg);
  HWND edit = GetDlgItem(dlg, IDC_IDLE_MINUTES);
  // One of each answer; the parsing itself is unit-tested.
  const struct {
    const char* input;
    std::string message;
    const char* state;
  } cases[] = {
      // state null: refused
      {"5001", "“请填入一个在10和5000之间的整数。”", nullptr},
      {"30x", "“请填入一个正整数。”", nullptr},
      {" 10 ", "成功开启空等待关机,键鼠空等待10分钟后自动关机！", "等待关机:开启10分钟"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    SetWindowTextW(edit, Wide(c.input).c_str());
    // As a click on it would, the button takes the focus first.
    SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, IDC_IDLE_ON)), TRUE);
    PressButton(dlg, IDC_IDLE_ON);
    EXPECT_EQ(c.state ? AnswerAppBox(app, 5000, "提示") : AnswerAppBox(app), c.message);
    EXPECT_TRUE(app.WaitText(IDC_IDLE_STATE, c.state ? c.state : "空等待关机:关闭")) << app.Text(IDC_IDLE_STATE);
    if (c.state) continue;  // refused: back in the edit with all of it selected
    // In front again, whatever Wine's desktop made of the activation as the box went: the dialog gives the focus back
    // to the control it kept.
    BringToFront(dlg);
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(dlg) == edit; }, 5000));
    EXPECT_EQ(static_cast<DWORD>(SendMessageA(edit, EM_GETSEL, 0, 0)), std::strlen(c.input) << 16);
  }
  // Ten minutes are on, but the pointer just moved: no shutdown request.
  SessionEndWatcher watcher;
  ASSERT_TRUE(MoveCursor(1000, 740) && MoveCursor(1001, 741));
  Pump(3500);  // three ticks of the idle check
  EXPECT_EQ(watcher.Requests(), 0);
  PressButton(dlg, IDC_IDLE_OFF);
  EXPECT_EQ(AnswerAppBox(app, 5000, "提示"), "成功关闭空等待关机");
  EXPECT_TRUE(app.WaitText(IDC_IDLE_STATE, "空等待关机:关闭"));
  // Enter closes nothing, whatever the edit holds; Esc closes it.
  SetWindowTextW(edit, L"abc");
  SendMessageW(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);  // clicked into, as a user would
  SetForegroundWindow(dlg);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dlg && FocusOf(dlg) == edit; }, 3000));
  TapKey(VK_RETURN, 1);
  Pump(700);
  EXPECT_TRUE(IsWindow(dlg) && IsWindowVisible(dlg)) << "Enter closed the dialog";
  EXPECT_EQ(WindowText(edit), "abc");
  TapKey(VK_ESCAPE, 1);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dlg); })) << "Esc did not close it";
  CloseDialog(dlg);  // for the next case, should it not
}

TEST_F(ToolDialogs, HotkeyTypedIsStoredAndRegisteredAndHidesAndShowsTheWindow) {
  const App& app = *s_app;
  HWND dlg = app.Command(ID_SET_HOTKEY).FindDialog("设置快捷键"), edit = GetDlgItem(dlg, IDC_HOTKEY_EDIT);
  ASSERT_TRUE(dlg);
  // Typed with the real keyboard into the emptied edit; what it then holds.
  auto type = [&](const std::function<void()>& keys) {
    SetWindowTextW(edit, L"");
    SetForegroundWindow(dlg);
    WaitUntil([&] { return GetForegroundWindow() == dlg && FocusOf(dlg) == edit; }, 3000);
    keys();
    Pump(300);
    WaitUntil([&] { return !WindowText(edit).empty(); }, 500);
    return WindowText(edit);
  };
  auto set = [&](DWORD stored) {  // the answer; checks the stored character
    PressButton(dlg, IDC_HOTKEY_SET);
    const std::string answer = AnswerAppBox(app, 5000, "提示");
    EXPECT_EQ(Stored("quickkey", "QuickKey"), stored);
    return answer;
  };
  EXPECT_EQ(type([] { TapKey('5', 1); }), "") << "digit";
  EXPECT_EQ(type([&] { SendMessageW(edit, WM_CHAR, 0x4E2D, 1); }), "") << "中, as an IME delivers it";
  EXPECT_EQ(type([] { TapKey('K', 1); }), "K");
  TapKey(VK_RETURN, 1);  // no way out of the dialog
  Pump(500);
  ASSERT_TRUE(IsWindowVisible(dlg)) << "Enter closed the dialog";
  EXPECT_EQ(set(0x4B), "快捷键设置成功");
  // Taken by another program: stored, and said plainly. The letter chosen
  // before is withdrawn all the same: free for anyone now.
  ASSERT_TRUE(RegisterHotKey(nullptr, 7, MOD_CONTROL | MOD_ALT, 'Q'));
  EXPECT_EQ(type([] { TapKey('Q', 1); }), "Q") << "a lower-case q shown as Q";
  EXPECT_EQ(set(0x51), "快捷键已保存,但Ctrl+Alt+Q已被其他程序占用,现在不能使用");
  UnregisterHotKey(nullptr, 7);
  EXPECT_TRUE(RegisterHotKey(nullptr, 8, MOD_CONTROL | MOD_ALT, 'K')) << "Ctrl+Alt+K is still the program's";
  UnregisterHotKey(nullptr, 8);
  EXPECT_EQ(type([] { TapKey(VK_OEM_PERIOD, 1); }), ".");
  EXPECT_EQ(set(0x2E), "快捷键设置成功");  // the character, not the key code
  CloseDialog(dlg);
  // Wine drops modifiers injected right after a focus change: let the activation settle first.
  auto press = [](WORD vk) {
    Pump(1000);
    SendInputs({KeyInput(VK_CONTROL, false), KeyInput(VK_MENU, false), KeyInput(vk, false), KeyInput(vk, true),
                KeyInput(VK_MENU, true), KeyInput(VK_CONTROL, true)});
  };
  auto shown = [&] { return IsWindowVisible(app.Main()) && !IsIconic(app.Main()); };
  for (bool show : {false, true}) {
    press(VK_OEM_PERIOD);
    EXPECT_TRUE(WaitUntil([&] { return shown() == show; })) << "Ctrl+Alt+. did not " << (show ? "show" : "hide");
  }
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == app.Main(); }));
  // A letter chosen before is no hotkey any more.
  press('K');
  Pump(1500);
  EXPECT_TRUE(shown()) << "Ctrl+Alt+K still hid the window";
}

// The last case: it ends the program.
TEST_F(ToolDialogs, SwapButtonsSwapsAndRestoresWhateverTheSystemHadAndLeavesThemSwappedOnExit) {
  struct Plain {  // as the other groups need them, whatever happens here
    ~Plain() { SwapMouseButton(FALSE); }
  } plain;
  App& app = *s_app;
  // Swapped already in the system settings: the first use swaps (they stay
  // swapped), the next one restores the normal assignment.
  for (BOOL system : {FALSE, TRUE}) {
    SwapMouseButton(system);
    for (bool swapped : {true, false}) {
      std::string text;
      ASSERT_TRUE(app.Command(ID_SWAP_BUTTONS).Answer(IDOK, &text));
      EXPECT_EQ(text, swapped ? "鼠标左右键成功切换" : "鼠标左右键恢复原来") << system;
      EXPECT_EQ(ButtonsSwappedForNewProcess(), swapped) << system;
    }
  }
  ASSERT_TRUE(app.Command(ID_SWAP_BUTTONS).Answer(IDOK));
  ASSERT_TRUE(app.Quit());
  EXPECT_TRUE(ButtonsSwappedForNewProcess()) << "restored at exit";
}

// Waits more than ten minutes without any input in the session, so it is registered only on request (see
// tests/e2e/CMakeLists.txt). The session-end request of the real ExitWindowsEx reaches the watcher, which refuses it.
TEST(IdleShutdownLong, RequestsTheShutdownOnceTenIdleMinutesHavePassed) {
  ResetProfile();
  SessionEndWatcher watcher;
  App app;
  ASSERT_TRUE(app.Start());
  HWND dlg = app.Command(ID_IDLE_SHUTDOWN).FindDialog("设置空等待关机");
  ASSERT_TRUE(dlg);
  SetWindowTextW(GetDlgItem(dlg, IDC_IDLE_MINUTES), L"10");
  ASSERT_TRUE(MoveCursor(1020, 760));  // the last input; from here on the test sends none
  LASTINPUTINFO last = {sizeof last}, now = {sizeof now};
  ASSERT_TRUE(GetLastInputInfo(&last));
  PressButton(dlg, IDC_IDLE_ON);
  ASSERT_EQ(AnswerAppBox(app, 5000, "提示"), "成功开启空等待关机,键鼠空等待10分钟后自动关机！");
  CloseDialog(dlg);
  ASSERT_TRUE(WaitUntil([&] { return watcher.Requests() > 0; }, 13 * 60000));
  const DWORD idle = GetTickCount() - last.dwTime;
  ASSERT_TRUE(GetLastInputInfo(&now) && now.dwTime == last.dwTime) << "some input reached the session meanwhile";
  EXPECT_TRUE(idle >= 600000u && idle < 603000u) << idle << " ms idle at the request";
  EXPECT_EQ(watcher.LastFlags(), 0) << "a shutdown, not a log-off";
}

}  // namespace
