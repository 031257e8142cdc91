#include "update/update_check.h"

#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>
#include <shellapi.h>
#include <wininet.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "base/text_format.h"
#include "ui/dialog.h"
#include "update/update_logic.h"

using namespace tallivo;

namespace {

constexpr char kNetworkFailed[] = "更新失败,请检测网络是否正常!";
constexpr char kUpgrade[] = "升级!";
constexpr char kCurrent[] = "您的程序已经是最新版本!";
constexpr wchar_t kExtraHeaders[] = L"Accept: */*\r\n\r\n";
constexpr DWORD kReadChunk = 0x4000;
// A server that accepts and then says nothing must not hold a check for
// ever: connecting, sending and each wait for data give up after this long,
// and the whole body must have come within kWholeBodyMs (a server may
// trickle a byte at a time).
constexpr DWORD kNetTimeoutMs = 15000;
constexpr ULONGLONG kWholeBodyMs = 60000;
constexpr int kMaxWorkers = 2;

// One check as a worker runs it; on the worker's stack.
struct Job {
  uint64_t generation = 0;
  HWND box = nullptr;  // its result box while it shows one
};

class Checks {
 public:
  void Start();
  void AbandonAll();

 private:
  static DWORD WINAPI WorkerMain(LPVOID param);
  static LRESULT CALLBACK BoxHook(int code, WPARAM wp, LPARAM lp);
  bool Take(Job* job);
  bool Live(const Job& job);
  void Run(Job& job);
  std::string Fetch(const Job& job);
  std::string ReadBody(const Job& job, HINTERNET request);
  bool ShowBox(Job& job, HWND owner, const char* text);
  void CloseStaleBoxes();

  std::mutex m_lock;
  uint64_t m_latest = 0;   // the newest press: the only check that may show anything
  bool m_pending = false;  // the newest press waits for a worker
  int m_workers = 0;
  std::vector<Job*> m_jobs;  // of the running workers
};

// Never destroyed: workers may still run while the process ends.
Checks& TheChecks() {
  static Checks* checks = new Checks;
  return *checks;
}

// The job whose box this worker thread is opening.
thread_local Job* t_boxJob = nullptr;

void Checks::Start() {
  std::lock_guard<std::mutex> guard(m_lock);
  ++m_latest;
  m_pending = true;
  CloseStaleBoxes();
  if (m_workers >= kMaxWorkers) return;  // the first to come free takes it
  if (HANDLE thread = CreateThread(nullptr, 0, WorkerMain, this, 0, nullptr)) {
    ++m_workers;
    CloseHandle(thread);
  }
}

void Checks::AbandonAll() {
  std::lock_guard<std::mutex> guard(m_lock);
  ++m_latest;
  m_pending = false;
  CloseStaleBoxes();
}

// With the lock held.
void Checks::CloseStaleBoxes() {
  for (Job* job : m_jobs) {
    if (job->box && job->generation != m_latest) PostMessageW(job->box, WM_COMMAND, IDOK, 0);
  }
}

bool Checks::Take(Job* job) {
  std::lock_guard<std::mutex> guard(m_lock);
  if (!m_pending) {
    m_jobs.erase(std::remove(m_jobs.begin(), m_jobs.end(), job), m_jobs.end());
    --m_workers;
    return false;
  }
  m_pending = false;
  job->generation = m_latest;
  if (std::find(m_jobs.begin(), m_jobs.end(), job) == m_jobs.end()) m_jobs.push_back(job);
  return true;
}

bool Checks::Live(const Job& job) {
  std::lock_guard<std::mutex> guard(m_lock);
  return job.generation == m_latest;
}

DWORD WINAPI Checks::WorkerMain(LPVOID param) {
  auto* self = static_cast<Checks*>(param);
  // ShellExecuteW may hand the page to the browser through COM.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  Job job;
  while (self->Take(&job)) self->Run(job);
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

void Checks::Run(Job& job) {
  // Everything the check shows or opens belongs to the main window.
  HWND owner = ui::MainWindow();
  const std::string response = Fetch(job);
  if (!Live(job)) return;
  switch (EvaluateResponse(response)) {
    case CheckOutcome::NetworkFailed: ShowBox(job, owner, kNetworkFailed); break;
    case CheckOutcome::Current: ShowBox(job, owner, kCurrent); break;
    case CheckOutcome::Upgrade:
      if (ShowBox(job, owner, kUpgrade)) {
        ShellExecuteW(owner, nullptr, tallivo::Wide(DownloadPageUrl()).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
      }
      break;
  }
}

// Notes the box as it is created, so that a later press can close it; one
// created for a check abandoned meanwhile is closed at once.
bool IsDialogClass(LPCWSTR name) {
  return IS_INTRESOURCE(name) ? LOWORD(reinterpret_cast<ULONG_PTR>(name)) == 0x8002 : lstrcmpW(name, L"#32770") == 0;
}

LRESULT CALLBACK Checks::BoxHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND && t_boxJob && !t_boxJob->box &&
      IsDialogClass(reinterpret_cast<CBT_CREATEWNDW*>(lp)->lpcs->lpszClass)) {
    Checks& self = TheChecks();
    std::lock_guard<std::mutex> guard(self.m_lock);
    t_boxJob->box = reinterpret_cast<HWND>(wp);
    if (t_boxJob->generation != self.m_latest) PostMessageW(t_boxJob->box, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

// True when the box was acknowledged and the check is still the newest.
bool Checks::ShowBox(Job& job, HWND owner, const char* text) {
  t_boxJob = &job;
  HHOOK hook = SetWindowsHookExW(WH_CBT, BoxHook, nullptr, GetCurrentThreadId());
  const int answer = ui::PromptBox(owner, text, MB_OK);
  if (hook) UnhookWindowsHookEx(hook);
  t_boxJob = nullptr;
  std::lock_guard<std::mutex> guard(m_lock);
  job.box = nullptr;
  return answer == IDOK && job.generation == m_latest;
}

// Time-outs of every handle: Wine's WinINet gives the handles below a
// session none of the session's.
void SetTimeouts(HINTERNET handle) {
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    DWORD ms = kNetTimeoutMs;
    InternetSetOptionW(handle, option, &ms, sizeof ms);
  }
}

// The whole body of the answer, up to a cap, or "Error". The body grows as
// it comes instead of filling a fixed buffer that a longer one would overrun.
std::string Checks::ReadBody(const Job& job, HINTERNET request) {
  ResponseBody body;
  std::vector<char> chunk(kReadChunk);
  const ULONGLONG until = GetTickCount64() + kWholeBodyMs;
  for (;;) {
    DWORD read = 0;
    if (!Live(job) || GetTickCount64() > until || !InternetReadFile(request, chunk.data(), kReadChunk, &read)) {
      return kFetchFailed;
    }
    if (read == 0 || !body.Append(chunk.data(), read)) return body.Text();
  }
}

// The body of the version query, or "Error" on any failure. An abandoned
// check stops before its next network call. The request is opened and sent
// in two steps, so that its time-outs are set before it waits for anything.
std::string Checks::Fetch(const Job& job) {
  DWORD flags = 0;
  InternetGetConnectedState(&flags, 0);
  wchar_t agent[64];
  swprintf(agent, 64, L"Agent%ld", static_cast<long>(timeGetTime()));
  const DWORD access = (flags & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                           : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
  HINTERNET session = InternetOpenW(agent, access, nullptr, nullptr, 0);
  if (!session) return kFetchFailed;
  SetTimeouts(session);
  std::string result = kFetchFailed;
  HINTERNET connection = InternetConnectW(session, tallivo::Wide(kUpdateHost).c_str(), INTERNET_DEFAULT_HTTP_PORT,
                                          nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
  if (connection) {
    SetTimeouts(connection);
    HINTERNET request =
        HttpOpenRequestW(connection, L"GET", tallivo::Wide(kVersionQueryPath).c_str(), nullptr, nullptr, nullptr,
                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE, 0);
    if (request) {
      SetTimeouts(request);
      if (Live(job) && HttpSendRequestW(request, kExtraHeaders, 15, nullptr, 0)) result = ReadBody(job, request);
      InternetCloseHandle(request);
    }
    InternetCloseHandle(connection);
  }
  InternetCloseHandle(session);
  return result;
}

}  // namespace

namespace update {

void StartCheck() { TheChecks().Start(); }
void AbandonChecks() { TheChecks().AbandonAll(); }

}  // namespace update
