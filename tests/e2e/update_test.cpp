// The version check against a local server standing in for the update
// server; the program's requests reach it by name resolution only.
#include <windows.h>
#include <tlhelp32.h>
#include <winsock2.h>

#include "http_server.h"
#include "res/resource.h"
#include "tools_harness.h"
#include "update/update_logic.h"

using namespace e2e;

namespace {

constexpr char kFailed[] = "更新失败,请检测网络是否正常!";
constexpr char kCurrent[] = "您的程序已经是最新版本!";

size_t ThreadsOf(DWORD pid) {
  size_t n = 0;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 te = {sizeof te};
  for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te)) n += te.th32OwnerProcessID == pid;
  CloseHandle(snap);
  return n;
}

// On an empty profile, with pages opening in a recorder, not a browser.
class VersionCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProfile();
    ASSERT_TRUE(server.Start()) << "cannot listen on 127.0.0.1:80";
  }
  BrowserStandIn browser;
  HttpServer server;
};

// A copy of the program with libraries the check uses planted beside it:
// it works with the system's own and never loads those.
TEST_F(VersionCheck, NewerSameNoNumberAndUnreachableServer) {
  PlantedCopy copy("Update Copy", {"Update Copy\\wininet.dll", "Update Copy\\winmm.dll", "Update Copy\\shell32.dll"});
  ASSERT_TRUE(copy.Ready());
  App app;
  ASSERT_TRUE(copy.Start(app, copy.Dir()));
  const HWND dialog = app.Command(ID_VERSION_CHECK).FindDialog("版本更新");
  ASSERT_TRUE(dialog);
  const struct {
    const char* what;
    std::string body;
    const char* result;  // 升级! opens the download page
  } cases[] = {
      {"newer", "<html>latest #4.05# released</html>", "升级!"},
      {"same", "#4.04#", kCurrent},
      // The second marker stands after 64 KiB: only a body gathered in full
      // (and without overrunning a fixed buffer) sees it.
      {"newer after 64 KiB", "#4.05" + std::string(70000, 'x') + "#", "升级!"},
      // Read as decimal numbers only: the network did not fail.
      {"infinite", "#inf#", kCurrent},
      {"not a number", "#nan#", kCurrent},
      {"hexadecimal", "<b>#0x10#</b>", kCurrent},
      {"letters", "#abc#", kCurrent},
      {"leading spaces", "#  5#", "升级!"},
      {"plus sign", "#+5#", "升级!"},
      {"trailing point", "#5.#", "升级!"},
      {"leading point", "#.5#", kCurrent},
      {"exponent", "#4.05e0#", "升级!"},
      {"beyond any double", "#1e999#", "升级!"},
      {"unreachable", "", kFailed},  // nothing listens
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const size_t asked = server.Requests().size(), opened = browser.Requests().size();
    const bool opensDownload = c.result == std::string("升级!");
    const std::string download = opensDownload ? tallivo::kHomePage + std::string("/myupdate|3\n") : "";
    if (c.body.empty()) server.Stop();
    server.SetBody(c.body);
    PressButton(dialog, IDC_UPDATE_CHECK);
    const HWND box = app.FindDialog("提示", 10000);
    EXPECT_TRUE(box && GetWindow(box, GW_OWNER) == app.Main()) << "no result box owned by the main window";
    EXPECT_EQ(AnswerAppBox(app, 0, "提示"), c.result);
    if (!opensDownload) Pump(500);
    EXPECT_TRUE(WaitUntil([&] { return browser.Requests().substr(opened) == download; })) << browser.Requests();
    if (c.body.empty()) continue;
    ASSERT_EQ(server.Requests().size(), asked + 1);
    const std::string r = server.Requests().back();
    EXPECT_EQ(r.rfind("GET /update/index.php?action=Auto HTTP/1.1\r\n", 0), 0u) << r;
    EXPECT_NE(r.find(std::string("Host: ") + tallivo::kUpdateHost), std::string::npos) << r;
  }
  EXPECT_EQ(copy.Loaded(), "");
}

// Each press abandons every earlier check: two presses and a close leave nothing behind, a server that accepts and then
// says nothing ends in the failure box by the time-out, and presses at a hung server start no more than two workers.
TEST_F(VersionCheck, PressesAbandonEarlierChecksAndAHungServerTimesOut) {
  App app;
  ASSERT_TRUE(app.Start());
  HWND dialog = app.Command(ID_VERSION_CHECK).FindDialog("版本更新");
  ASSERT_TRUE(dialog);

  server.SetBody("#4.05#", 2000);
  PressButton(dialog, IDC_UPDATE_CHECK);
  PressButton(dialog, IDC_UPDATE_CHECK);
  // The first press may never have asked: the second abandoned it first.
  ASSERT_TRUE(WaitUntil([&] { return !server.Requests().empty(); }));
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  EXPECT_FALSE(app.FindDialog("提示", 4000)) << "a result after the dialog was closed";
  EXPECT_EQ(browser.Requests(), "");

  server.SetBody("#4.05#", HttpServer::kNever);
  dialog = app.Command(ID_VERSION_CHECK).FindDialog("版本更新");
  ASSERT_TRUE(dialog);
  const DWORD pressed = GetTickCount();
  PressButton(dialog, IDC_UPDATE_CHECK);
  std::string text = "<no box>";
  EXPECT_TRUE(app.Answer(IDOK, &text, 30000));
  const DWORD took = GetTickCount() - pressed;
  EXPECT_EQ(text, kFailed);
  EXPECT_TRUE(took > 12000 && took < 25000) << took << " ms, for a time-out of 15 s";

  Pump(1000);  // the worker of that check ends
  const size_t threads = ThreadsOf(app.Pid());
  for (int i = 0; i < 12; ++i) PressButton(dialog, IDC_UPDATE_CHECK);
  Pump(1500);
  EXPECT_LE(ThreadsOf(app.Pid()), threads + 2);
  EXPECT_TRUE(app.Running());
}

}  // namespace
