// The mouse-button swap, the about and contact dialogs and the colour label,
// on the real program.
#include <gtest/gtest.h>
#include <windows.h>

#include "harness.h"
#include "main/messages.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

// Whatever a case does, the session's buttons end up as the other groups
// need them.
struct ButtonsRestored {
  ~ButtonsRestored() { SwapMouseButton(FALSE); }
};

TEST(SwapButtons, SwapsAndRestoresWithTheirMessages) {
  ButtonsRestored restore;
  ResetProfile();
  SwapMouseButton(FALSE);
  ASSERT_FALSE(ButtonsSwappedForNewProcess());
  App app;
  ASSERT_TRUE(app.Start());
  std::string text;
  app.Command(ID_SWAP_BUTTONS);
  ASSERT_TRUE(app.Answer(IDOK, &text));
  EXPECT_EQ(text, "鼠标左右键成功切换");
  EXPECT_TRUE(ButtonsSwappedForNewProcess());
  app.Command(ID_SWAP_BUTTONS);
  ASSERT_TRUE(app.Answer(IDOK, &text));
  EXPECT_EQ(text, "鼠标左右键恢复原来");
  EXPECT_FALSE(ButtonsSwappedForNewProcess());

  // Swapped already in the system settings: the first use swaps (they stay
  // swapped), the next one restores the normal assignment.
  SwapMouseButton(TRUE);
  app.Command(ID_SWAP_BUTTONS);
  ASSERT_TRUE(app.Answer(IDOK, &text));
  EXPECT_EQ(text, "鼠标左右键成功切换");
  EXPECT_TRUE(ButtonsSwappedForNewProcess());
  app.Command(ID_SWAP_BUTTONS);
  ASSERT_TRUE(app.Answer(IDOK, &text));
  EXPECT_EQ(text, "鼠标左右键恢复原来");
  EXPECT_FALSE(ButtonsSwappedForNewProcess());

  // The program does not restore them when it ends.
  app.Command(ID_SWAP_BUTTONS);
  ASSERT_TRUE(app.Answer(IDOK));
  app.Command(ID_EXIT);
  ASSERT_TRUE(app.Answer(IDYES));
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_TRUE(ButtonsSwappedForNewProcess());
}

class InfoDialogs : public SharedApp<InfoDialogs> {
 public:
  // The pointer out of the way of the dialogs.
  static void BeforeStart() { MoveCursor(1000, 740); }

 protected:
  static void Close(HWND dlg) {
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return !IsWindow(dlg); });
  }
};

TEST_F(InfoDialogs, AboutOpensFromTheSystemMenuTheHelpMenuAndTheTrayMenu) {
  const std::string intro = "每天长时间对着电脑点着鼠标敲击着键盘，不知不觉的" + std::string(48, ' ') +
                            "就是一天，到底点了多少下呢，试试这个软件吧。";
  auto check = [&](const char* how) {
    HWND dlg = s_app->FindDialog("关于 Tallivo");
    ASSERT_TRUE(dlg) << how;
    const std::string texts = DialogStaticText(dlg);
    EXPECT_NE(texts.find("泰利沃 4.04 版"), std::string::npos) << how << ": " << texts;
    EXPECT_NE(texts.find(intro), std::string::npos) << how << ": " << texts;
    EXPECT_NE(texts.find("Tallivo"), std::string::npos) << how;
    EXPECT_FALSE(IsWindowEnabled(s_app->Main())) << how << ": not modal";
    Close(dlg);
  };
  PostMessageA(s_app->Main(), WM_SYSCOMMAND, IDM_ABOUT, 0);
  Screenshot("about_dialog");
  check("system menu");
  s_app->Command(ID_HELP_INFO);
  check("help menu");
  PostMessageA(s_app->Main(), tallivo::WM_TRAY_NOTIFY, 128, WM_RBUTTONUP);
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    menu = FindWindowA("#32768", nullptr);
    return menu && IsWindowVisible(menu);
  }));
  TapKey('I', 1);
  check("tray menu");
  // Other system commands keep their meaning.
  PostMessageA(s_app->Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(s_app->Main()); }));
  s_app->Command(ID_SHOW_WINDOW);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(s_app->Main()); }));
}

TEST_F(InfoDialogs, ContactAddressTurnsBlueUnderThePointerAndAClickOpensTheHomePage) {
  BrowserStandIn browser;
  s_app->Command(ID_CONTACT);
  HWND dlg = s_app->FindDialog("联系作者");
  ASSERT_TRUE(dlg);
  HWND label = GetDlgItem(dlg, IDC_HOME_PAGE);
  ASSERT_TRUE(label);
  EXPECT_EQ(WindowText(label), "tallivo.app");
  RECT rc;
  GetWindowRect(label, &rc);
  const POINT centre = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  auto red = [&] {
    const Colours c = CountColours(rc);
    return c.red > 10 && c.blue == 0;
  };
  auto blue = [&] {
    const Colours c = CountColours(rc);
    return c.blue > 10 && c.red == 0;
  };
  EXPECT_TRUE(WaitUntil(red)) << "not drawn red";
  Screenshot("contact_dialog");
  ASSERT_TRUE(MoveCursor(centre.x, centre.y));
  EXPECT_TRUE(WaitUntil(blue)) << "not blue under the pointer";
  Screenshot("contact_dialog_hover");
  ASSERT_TRUE(MoveCursor(rc.left - 30, rc.bottom + 25));  // still over the dialog, off the label
  EXPECT_TRUE(WaitUntil(red)) << "not red again after the pointer left";
  EXPECT_EQ(browser.Requests(), "");

  ASSERT_TRUE(MoveCursor(centre.x, centre.y));
  ASSERT_TRUE(WaitUntil(blue));
  Click(MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  EXPECT_TRUE(WaitUntil([&] { return !browser.Requests().empty(); }, 10000));
  // Maximised (SW_SHOWMAXIMIZED = 3), once.
  EXPECT_EQ(browser.Requests(), "https://tallivo.app|3\n");
  EXPECT_TRUE(IsWindow(dlg) && IsWindowVisible(dlg)) << "the click closed the dialog";
  ASSERT_TRUE(MoveCursor(1000, 740));
  Close(dlg);
}

}  // namespace
