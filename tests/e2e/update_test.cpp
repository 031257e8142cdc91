// The version check against a local server standing in for the update
// server; the program's requests reach it by name resolution only.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "harness.h"
#include "http_server.h"
#include "tools_harness.h"
#include "res/resource.h"
#include "update/update_logic.h"

using namespace e2e;

namespace {

class VersionCheck : public SharedApp<VersionCheck> {
 protected:
  void SetUp() override {
    SharedApp::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(server.Start()) << "cannot listen on 127.0.0.1:80";
    s_app->Command(ID_VERSION_CHECK);
    dialog = s_app->FindDialog("版本更新");
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override {
    if (dialog && IsWindow(dialog)) PostMessageA(dialog, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !IsWindow(dialog); });
    server.Stop();
  }
  void Press() { PressButton(dialog, IDC_UPDATE_CHECK); }
  std::vector<HWND> Boxes() const {
    std::vector<HWND> boxes;
    for (HWND w : s_app->TopLevelWindows()) {
      if (IsWindowVisible(w) && WindowText(w) == "提示") boxes.push_back(w);
    }
    return boxes;
  }
  // Waits for one result box, checks its owner, answers OK, returns its text.
  std::string TakeResult() {
    HWND box = nullptr;
    if (!WaitUntil([&] { return !Boxes().empty(); }, 10000)) return "<no box>";
    box = Boxes().front();
    EXPECT_EQ(GetWindow(box, GW_OWNER), s_app->Main());
    std::string text = DialogStaticText(box);
    PressButton(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
  }
  BrowserStandIn browser;  // pages open in a recorder, not a browser
  HttpServer server;
  HWND dialog = nullptr;
};

TEST_F(VersionCheck, NewerVersionOffersUpgradeAndOpensDownloadPage) {
  server.SetBody("<html>latest #4.05# released</html>");
  Press();
  EXPECT_EQ(TakeResult(), "升级!");
  const std::string expected = std::string(tallivo::kHomePage) + "/myupdate|3";
  EXPECT_TRUE(WaitUntil([&] { return browser.Requests().find(expected) != std::string::npos; }, 10000))
      << browser.Requests();
  auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::string& r = requests[0];
  EXPECT_EQ(r.rfind("GET /update/index.php?action=Auto HTTP/1.1\r\n", 0), 0u) << r;
  EXPECT_NE(r.find(std::string("Host: ") + tallivo::kUpdateHost), std::string::npos) << r;
  EXPECT_NE(r.find("Accept: */*"), std::string::npos) << r;
  EXPECT_NE(r.find("User-Agent: Agent"), std::string::npos) << r;
}

TEST_F(VersionCheck, SameVersionIsCurrentAndOpensNothing) {
  server.SetBody("#4.04#");
  Press();
  EXPECT_EQ(TakeResult(), "您的程序已经是最新版本!");
  Pump(500);
  EXPECT_EQ(browser.Requests(), "");
}

TEST_F(VersionCheck, BodyOver64KiBWithMarkersAtStartAndEnd) {
  // The second marker stands after 64 KiB: only a body gathered in full
  // (and without overrunning a fixed buffer) sees it.
  server.SetBody("#4.05" + std::string(70000, 'x') + "#");
  Press();
  EXPECT_EQ(TakeResult(), "升级!");
  EXPECT_TRUE(s_app->Running());
}

TEST_F(VersionCheck, TwoPressesGiveTwoIndependentBoxes) {
  server.SetBody("#4.039#");
  server.SetDelayMs(1500);
  Press();
  Press();
  ASSERT_TRUE(WaitUntil([&] { return Boxes().size() == 2; }, 15000)) << Boxes().size();
  EXPECT_EQ(TakeResult(), "您的程序已经是最新版本!");
  EXPECT_EQ(TakeResult(), "您的程序已经是最新版本!");
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(VersionCheck, ClosingTheDialogWhileTheAnswerIsHeldBackShowsNothing) {
  server.SetBody("#9.99#");
  server.SetDelayMs(3000);
  Press();
  ASSERT_TRUE(WaitUntil([&] { return server.Requests().size() == 1; }, 10000));
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  Pump(5000);
  EXPECT_TRUE(Boxes().empty());
  EXPECT_EQ(browser.Requests(), "");
  EXPECT_TRUE(s_app->Running());
}

TEST_F(VersionCheck, MakerLinkIsRedAndOpensTheHomePage) {
  HWND link = GetDlgItem(dialog, IDC_UPDATE_LINK);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(WindowText(link), std::string("Tallivo  ") + tallivo::HomePageText());
  RECT rc;
  GetWindowRect(link, &rc);
  EXPECT_GT(CountColours(rc).red, 0);
  // A click on the label asks the shell for the home page.
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_UPDATE_LINK, STN_CLICKED), reinterpret_cast<LPARAM>(link));
  EXPECT_TRUE(WaitUntil([&] { return browser.Requests().find(std::string(tallivo::kHomePage) + "|3") !=
                                     std::string::npos; }, 10000))
      << browser.Requests();
}

TEST_F(VersionCheck, NothingListeningIsANetworkFailure) {
  server.Stop();
  Press();
  EXPECT_EQ(TakeResult(), "更新失败,请检测网络是否正常!");
}

}  // namespace
