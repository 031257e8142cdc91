// The mouse-button swap and the about and contact dialogs, on the real
// program.
#include <gtest/gtest.h>
#include <windows.h>

#include "harness.h"
#include "res/resource.h"
#include "tools_harness.h"

using namespace e2e;

namespace {

TEST(SwapButtons, SwapsAndRestoresWhateverTheSystemHadAndLeavesThemSwappedOnExit) {
  struct Plain {  // as the other groups need them, whatever happens here
    ~Plain() { SwapMouseButton(FALSE); }
  } plain;
  ResetProfile();
  App app;
  ASSERT_TRUE(app.Start());
  // Swapped already in the system settings: the first use swaps (they stay
  // swapped), the next one restores the normal assignment.
  for (BOOL system : {FALSE, TRUE}) {
    SwapMouseButton(system);
    for (bool swapped : {true, false}) {
      std::string text;
      app.Command(ID_SWAP_BUTTONS);
      ASSERT_TRUE(app.Answer(IDOK, &text));
      EXPECT_EQ(text, swapped ? "鼠标左右键成功切换" : "鼠标左右键恢复原来") << system;
      EXPECT_EQ(ButtonsSwappedForNewProcess(), swapped) << system;
    }
  }
  app.Command(ID_SWAP_BUTTONS);
  ASSERT_TRUE(app.Answer(IDOK));
  app.Command(ID_EXIT);
  ASSERT_TRUE(app.Answer(IDYES));
  ASSERT_TRUE(app.WaitExit(10000));
  EXPECT_TRUE(ButtonsSwappedForNewProcess()) << "restored at exit";
}

class InfoDialogs : public SharedApp<InfoDialogs> {
 public:
  static void BeforeStart() { MoveCursor(1000, 740); }  // out of the dialogs' way
};

TEST_F(InfoDialogs, AboutOpensModalFromTheSystemAndHelpMenus) {
  for (bool systemMenu : {true, false}) {
    SCOPED_TRACE(systemMenu ? "system menu" : "help menu");
    if (systemMenu) PostMessageA(s_app->Main(), WM_SYSCOMMAND, IDM_ABOUT, 0);
    if (!systemMenu) s_app->Command(ID_HELP_INFO);
    HWND dlg = s_app->FindDialog("关于 Tallivo");
    ASSERT_TRUE(dlg);
    EXPECT_NE(DialogStaticText(dlg).find("泰利沃 4.04 版"), std::string::npos) << DialogStaticText(dlg);
    EXPECT_FALSE(IsWindowEnabled(s_app->Main())) << "not modal";
    PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dlg) && IsWindowEnabled(s_app->Main()); }));
  }
}

TEST_F(InfoDialogs, AClickOnTheContactAddressOpensTheHomePage) {
  BrowserStandIn browser;
  s_app->Command(ID_CONTACT);
  HWND dlg = s_app->FindDialog("联系作者");
  ASSERT_TRUE(dlg);
  RECT rc;
  GetWindowRect(GetDlgItem(dlg, IDC_HOME_PAGE), &rc);
  ClickAt({(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 1);
  EXPECT_TRUE(WaitUntil([&] { return !browser.Requests().empty(); }, 10000));
  EXPECT_EQ(browser.Requests(), "https://tallivo.app|3\n") << "once, maximised";
  EXPECT_TRUE(IsWindowVisible(dlg)) << "the click closed the dialog";
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  WaitUntil([&] { return !IsWindow(dlg); });
}

}  // namespace
