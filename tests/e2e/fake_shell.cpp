#include "fake_shell.h"

#include <cwchar>

#include "harness.h"

namespace e2e {

namespace {
// Wine's platform-independent form of NOTIFYICONDATA, as shell32 sends it.
struct NotifyData {
  LONG hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  WCHAR szTip[128];
  DWORD dwState;
  DWORD dwStateMask;
  WCHAR szInfo[256];
  UINT uTimeout;
  WCHAR szInfoTitle[64];
  DWORD dwInfoFlags;
};

std::string Text(const WCHAR* w, size_t max) { return Utf8(std::wstring(w, wcsnlen(w, max))); }
}  // namespace

FakeShell::FakeShell()
    : m_hwnd(TestWindow("Shell_TrayWnd", Proc, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP, {0, 0, 1, 1}, this)) {}

FakeShell::~FakeShell() {
  if (m_hwnd) DestroyWindow(m_hwnd);
  UnregisterClassA("Shell_TrayWnd", GetModuleHandleA(nullptr));
}

bool FakeShell::Active() const { return m_hwnd && FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr) == m_hwnd; }

std::string FakeShell::LastTip() const {
  for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it)
    if (it->flags & NIF_TIP) return it->tip;
  return std::string();
}

std::string FakeShell::Balloon() const {
  for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it)
    if (it->message == NIM_ADD) return it->flags & NIF_INFO ? it->info : "<no balloon>";
  return "<no add>";
}

std::string FakeShell::LastInfo() const {
  for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it)
    if (it->flags & NIF_INFO) return it->info;
  return std::string();
}

LRESULT CALLBACK FakeShell::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<FakeShell*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (msg == WM_COPYDATA && self) {
    auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lp);
    if (!cds || cds->cbData < sizeof(NotifyData)) return FALSE;
    const auto* d = static_cast<const NotifyData*>(cds->lpData);
    const TrayCall call{static_cast<DWORD>(cds->dwData), d->uFlags, d->uFlags & NIF_TIP ? Text(d->szTip, 128) : "",
                        d->uFlags & NIF_INFO ? Text(d->szInfo, 256) : ""};
    // What the shell answers: an add needs no icon yet, the others one.
    const bool existed = self->m_exists;
    if (call.message == NIM_ADD) self->m_exists = true;
    if (call.message == NIM_DELETE) self->m_exists = false;
    self->m_calls.push_back(call);
    return call.message == NIM_ADD ? !existed : existed;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace e2e
