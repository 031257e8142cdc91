#include "ui/dialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/module_path.h"
#include "base/text_format.h"
#include "ui/control.h"
#include "ui/data_exchange.h"

namespace ui {

namespace {
HWND g_mainWindow = nullptr;
// Modeless dialogs alive now: the modal loops give them their dialog keys
// (Esc, Enter, Tab) too.
std::vector<HWND> g_modeless;

void ForgetModeless(HWND hwnd) {
  g_modeless.erase(std::remove(g_modeless.begin(), g_modeless.end(), hwnd), g_modeless.end());
}

bool IsModelessDialogMessage(MSG* msg) {
  if (!msg->hwnd) return false;
  HWND root = GetAncestor(msg->hwnd, GA_ROOT);
  for (HWND dlg : g_modeless) {
    if (dlg == root) return IsDialogMessageW(dlg, msg) != FALSE;
  }
  return false;
}
}  // namespace

HWND MainWindow() { return g_mainWindow; }
// Made here once, so that a box shown for want of memory needs none.
void SetMainWindow(HWND hwnd) {
  g_mainWindow = hwnd;
  AppCaption();
}

const wchar_t* AppCaption() {
  static const std::wstring caption = tallivo::Wide(tallivo::AppName());
  return caption.c_str();
}

int AppMessageBox(const std::string& text, UINT flags) { return AppMessageBox(g_mainWindow, text, flags); }

int AppMessageBox(HWND owner, const std::string& text, UINT flags) {
  return MessageBoxW(owner, tallivo::Wide(text).c_str(), AppCaption(), flags);
}

int PromptBox(HWND owner, const std::string& text, UINT flags) {
  return MessageBoxW(owner, tallivo::Wide(text).c_str(), L"提示", flags);
}

CDialog::CDialog(UINT templateId) : m_templateId(templateId) {}

CDialog::~CDialog() {
  if (m_hwnd) {
    HWND h = m_hwnd;
    m_hwnd = nullptr;
    ForgetModeless(h);
    SetWindowLongPtrW(h, DWLP_USER, 0);
    DestroyWindow(h);
  }
}

bool CDialog::Create(HWND parent) {
  if (m_hwnd) return true;
  m_modal = false;
  HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), parent, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  if (hwnd) g_modeless.push_back(hwnd);
  return hwnd != nullptr;
}

bool CDialog::Create(HWND parent, UINT templateId) {
  if (m_hwnd) return true;
  m_templateId = templateId;
  return Create(parent);
}

INT_PTR CDialog::DoModal(HWND owner) {
  if (m_hwnd) return -1;
  if (!owner) owner = g_mainWindow;
  // The owner's top-level window is the one to disable, as DialogBox does.
  if (owner) owner = GetAncestor(owner, GA_ROOT);
  m_modal = true;
  m_endRequested = false;
  m_result = -1;
  HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_templateId), owner, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  if (!hwnd) {
    m_modal = false;
    return -1;
  }
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled && !m_endRequested) EnableWindow(owner, FALSE);
  if (!m_endRequested && !(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE)) {
    ShowWindow(hwnd, SW_SHOWNORMAL);
  }

  bool quit = false;
  WPARAM quitCode = 0;
  MSG msg;
  while (!m_endRequested) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quit = true;
      quitCode = msg.wParam;
      break;
    }
    if (got < 0) break;
    if (IsModelessDialogMessage(&msg)) continue;
    if (!m_hwnd || !IsDialogMessageW(m_hwnd, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (m_hwnd) {
    // Give activation back to the owner before the dialog goes away.
    if (owner && GetActiveWindow() == m_hwnd) SetActiveWindow(owner);
    DestroyWindow(m_hwnd);
  }
  m_modal = false;
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
  return m_result;
}

void CDialog::EndDialog(INT_PTR result) {
  m_result = result;
  if (m_modal) {
    m_endRequested = true;
    // Wake the loop in case the request came from outside a message.
    if (m_hwnd) PostMessageW(m_hwnd, WM_NULL, 0, 0);
  } else if (m_hwnd) {
    ShowWindow(m_hwnd, SW_HIDE);
  }
}

void CDialog::SetItemText(int id, const std::string& text) { SetDlgItemTextW(m_hwnd, id, tallivo::Wide(text).c_str()); }

std::string CDialog::ItemText(int id) const {
  HWND item = GetDlgItem(m_hwnd, id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return tallivo::Utf8(text);
}

bool CDialog::OnCommand(WORD id, WORD, HWND) {
  switch (id) {
    case IDOK: OnOK(); return true;
    case IDCANCEL: OnCancel(); return true;
    default: return false;
  }
}

INT_PTR CDialog::OnMessage(UINT, WPARAM, LPARAM, bool*) { return 0; }

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lp);
    self->m_hwnd = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR r = FALSE;
  // Nothing may unwind through the system's frames: an exception a handler
  // let out (out of memory, say) is reported here and the program goes on,
  // with the message left to default processing.
  try {
    r = self->Dispatch(msg, wp, lp);
  } catch (...) {
    ShowExceptionError(std::current_exception());
    r = FALSE;
  }
  if (msg == WM_NCDESTROY) {
    ForgetModeless(hwnd);
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->m_hwnd = nullptr;
    self->OnFinalDestroy();
  }
  return r;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  // Notifications of bound controls go back to their objects first.
  LRESULT reflected = 0;
  if (msg == WM_NOTIFY && ReflectNotify(lp, &reflected)) {
    SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, reflected);
    return TRUE;
  }
  bool handled = false;
  INT_PTR r = OnMessage(msg, wp, lp, &handled);
  if (handled) {
    // Messages whose result is not the dialog procedure's return value.
    switch (msg) {
      case WM_CTLCOLORMSGBOX:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSCROLLBAR:
      case WM_CTLCOLORSTATIC:
      case WM_COMPAREITEM:
      case WM_VKEYTOITEM:
      case WM_CHARTOITEM:
      case WM_QUERYDRAGICON:
      case WM_INITDIALOG: return r;
      default: SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, r); return TRUE;
    }
  }
  switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    default: return FALSE;
  }
}

}  // namespace ui
