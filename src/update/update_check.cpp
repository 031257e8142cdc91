#include "update/update_check.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>

#include "ui/dialog.h"
#include "update/update_logic.h"

using namespace tallivo;

namespace {

constexpr char kNetworkFailed[] = "更新失败,请检测网络是否正常!";
constexpr char kUpgrade[] = "升级!";
constexpr char kCurrent[] = "您的程序已经是最新版本!";
constexpr char kExtraHeaders[] = "Accept: */*\r\n\r\n";
constexpr DWORD kReadChunk = 0x4000;

struct WorkerArg {
  std::shared_ptr<UpdateCheck> check;
};

void CloseHandles(UpdateCheck& check) {
  std::lock_guard<std::mutex> guard(check.lock);
  if (check.request) InternetCloseHandle(check.request);
  if (check.session) InternetCloseHandle(check.session);
  check.request = nullptr;
  check.session = nullptr;
}

DWORD WINAPI CheckThread(LPVOID param) {
  std::unique_ptr<WorkerArg> arg(static_cast<WorkerArg*>(param));
  UpdateCheck& check = *arg->check;
  HWND owner = ui::MainWindow();
  const std::string response = FetchText(check, VersionQueryUrl());
  if (check.Abandoned()) return 0;
  switch (EvaluateResponse(response)) {
    case CheckOutcome::NetworkFailed:
      MessageBoxA(owner, kNetworkFailed, ui::kPromptCaption, MB_OK);
      break;
    case CheckOutcome::Current:
      MessageBoxA(owner, kCurrent, ui::kPromptCaption, MB_OK);
      break;
    case CheckOutcome::Upgrade:
      if (MessageBoxA(owner, kUpgrade, ui::kPromptCaption, MB_OK) == IDOK && !check.Abandoned()) {
        ShellExecuteA(owner, nullptr, DownloadPageUrl().c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
      }
      break;
  }
  return 0;
}

}  // namespace

void UpdateCheck::Abandon() {
  {
    std::lock_guard<std::mutex> guard(lock);
    abandoned = true;
  }
  // Closing the handles makes a call blocked on the network return at once.
  CloseHandles(*this);
}

bool UpdateCheck::Abandoned() {
  std::lock_guard<std::mutex> guard(lock);
  return abandoned;
}

std::string FetchText(UpdateCheck& check, const std::string& url) {
  DWORD flags = 0;
  InternetGetConnectedState(&flags, 0);
  char agent[64];
  snprintf(agent, sizeof agent, "Agent%ld", static_cast<long>(timeGetTime()));
  const DWORD access = (flags & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                           : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
  HINTERNET session = InternetOpenA(agent, access, nullptr, nullptr, 0);
  if (!session) return kFetchFailed;
  {
    std::lock_guard<std::mutex> guard(check.lock);
    if (check.abandoned) {
      InternetCloseHandle(session);
      return kFetchFailed;
    }
    check.session = session;
  }
  HINTERNET request = InternetOpenUrlA(session, url.c_str(), kExtraHeaders, 15,
                                       INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                           INTERNET_FLAG_PRAGMA_NOCACHE,
                                       0);
  {
    std::lock_guard<std::mutex> guard(check.lock);
    if (check.abandoned || !request) {
      if (request) InternetCloseHandle(request);
      if (check.session) InternetCloseHandle(check.session);
      check.session = nullptr;
      return kFetchFailed;
    }
    check.request = request;
  }
  // The body grows as it comes, up to a cap, instead of filling a fixed
  // buffer that a longer answer would overrun.
  ResponseBody body;
  char chunk[kReadChunk];
  for (;;) {
    DWORD read = 0;
    if (!InternetReadFile(request, chunk, sizeof chunk, &read)) {
      CloseHandles(check);
      return kFetchFailed;
    }
    if (read == 0 || !body.Append(chunk, read)) break;
  }
  CloseHandles(check);
  return body.Text();
}

std::shared_ptr<UpdateCheck> StartUpdateCheck() {
  auto check = std::make_shared<UpdateCheck>();
  auto* arg = new WorkerArg{check};
  HANDLE thread = CreateThread(nullptr, 0, CheckThread, arg, 0, nullptr);
  if (!thread) {
    delete arg;
    return nullptr;
  }
  CloseHandle(thread);
  return check;
}
