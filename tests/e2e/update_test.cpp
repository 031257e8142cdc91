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
#include "res/resource.h"
#include "update/update_logic.h"

using namespace e2e;

namespace {

std::string OpenedUrlsFile() { return BinDir() + "\\opened_urls.txt"; }

std::string OpenedUrls() {
  std::ifstream f(OpenedUrlsFile(), std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

class VersionCheck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The browser of the test prefix only records what it is asked to open.
    char old[1024] = {};
    DWORD size = sizeof old;
    if (RegGetValueA(HKEY_CLASSES_ROOT, kBrowserKey, nullptr, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS) {
      s_oldBrowser = old;
    }
    const std::string command = "\"" + BinDir() + "\\url_recorder.exe\" %1";
    RegSetKeyValueA(HKEY_CLASSES_ROOT, kBrowserKey, nullptr, REG_SZ, command.c_str(),
                    static_cast<DWORD>(command.size() + 1));
    ResetProfile();
    s_app = new App;
    ASSERT_TRUE(s_app->Start());
  }
  static void TearDownTestSuite() {
    delete s_app;
    s_app = nullptr;
    RegSetKeyValueA(HKEY_CLASSES_ROOT, kBrowserKey, nullptr, REG_SZ, s_oldBrowser.c_str(),
                    static_cast<DWORD>(s_oldBrowser.size() + 1));
  }
  void SetUp() override {
    ASSERT_TRUE(s_app && s_app->Running());
    DeleteFileA(OpenedUrlsFile().c_str());
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
  static constexpr char kBrowserKey[] = "http\\shell\\open\\command";
  static App* s_app;
  static std::string s_oldBrowser;
  HttpServer server;
  HWND dialog = nullptr;
};
App* VersionCheck::s_app = nullptr;
std::string VersionCheck::s_oldBrowser;

TEST_F(VersionCheck, NewerVersionOffersUpgradeAndOpensDownloadPage) {
  server.SetBody("<html>latest #4.05# released</html>");
  Press();
  EXPECT_EQ(TakeResult(), "升级!");
  const std::string expected = std::string("http://") + tallivo::kSiteHost + "/myupdate|3";
  EXPECT_TRUE(WaitUntil([&] { return OpenedUrls().find(expected) != std::string::npos; }, 10000))
      << OpenedUrls();
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
  EXPECT_EQ(OpenedUrls(), "");
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
  EXPECT_EQ(OpenedUrls(), "");
  EXPECT_TRUE(s_app->Running());
}

TEST_F(VersionCheck, NothingListeningIsANetworkFailure) {
  server.Stop();
  Press();
  EXPECT_EQ(TakeResult(), "更新失败,请检测网络是否正常!");
}

}  // namespace
