// The version check against a local server standing in for the update
// server; the program's requests reach it by name resolution only.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>

#include "harness.h"
#include "http_server.h"
#include "res/resource.h"
#include "tools_harness.h"
#include "update/update_logic.h"

using namespace e2e;

namespace {

TEST(VersionCheck, NewerSameAndUnreachableServer) {
  ResetProfile();
  BrowserStandIn browser;  // pages open in a recorder, not a browser
  HttpServer server;
  ASSERT_TRUE(server.Start()) << "cannot listen on 127.0.0.1:80";
  App app;
  ASSERT_TRUE(app.Start());
  app.Command(ID_VERSION_CHECK);
  const HWND dialog = app.FindDialog("版本更新");
  ASSERT_TRUE(dialog);
  const struct { const char* what; std::string body; const char* result; bool opensDownload; } cases[] = {
      {"newer", "<html>latest #4.05# released</html>", "升级!", true},
      {"same", "#4.04#", "您的程序已经是最新版本!", false},
      // The second marker stands after 64 KiB: only a body gathered in full
      // (and without overrunning a fixed buffer) sees it.
      {"newer after 64 KiB", "#4.05" + std::string(70000, 'x') + "#", "升级!", true},
      {"unreachable", "", "更新失败,请检测网络是否正常!", false},  // nothing listens
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const size_t asked = server.Requests().size(), opened = browser.Requests().size();
    const std::string download = c.opensDownload ? tallivo::kHomePage + std::string("/myupdate|3\n") : "";
    if (c.body.empty()) server.Stop();
    server.SetBody(c.body);
    PressButton(dialog, IDC_UPDATE_CHECK);
    const HWND box = app.FindDialog("提示", 10000);
    EXPECT_TRUE(box && GetWindow(box, GW_OWNER) == app.Main()) << "no result box owned by the main window";
    std::string text = "<no box>";
    app.Answer(IDOK, &text, 0);
    EXPECT_EQ(text, c.result);
    if (!c.opensDownload) Pump(500);
    EXPECT_TRUE(WaitUntil([&] { return browser.Requests().substr(opened) == download; })) << browser.Requests();
    if (c.body.empty()) continue;
    ASSERT_EQ(server.Requests().size(), asked + 1);
    const std::string r = server.Requests().back();
    EXPECT_EQ(r.rfind("GET /update/index.php?action=Auto HTTP/1.1\r\n", 0), 0u) << r;
    EXPECT_NE(r.find(std::string("Host: ") + tallivo::kUpdateHost), std::string::npos) << r;
  }
}

}  // namespace
