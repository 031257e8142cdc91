// A small dialog framework: one C++ object per dialog window, messages
// dispatched to virtual handlers, modal runs with our own message loop.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class CDialog {
 public:
  explicit CDialog(UINT templateId);
  virtual ~CDialog();
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally with our own loop, the way a class framework
  // does: the window is created modeless, the owner disabled, and the loop
  // runs until EndDialog. Without an owner the application's main window
  // (if any) owns it. Returns the EndDialog result, or -1 on failure.
  INT_PTR DoModal(HWND owner = nullptr);
  // Creates the dialog modeless as a child or owned window of parent.
  bool Create(HWND parent);
  // The same from another template, which becomes the dialog's own.
  bool Create(HWND parent, UINT templateId);

  HWND Hwnd() const { return m_hwnd; }
  UINT TemplateId() const { return m_templateId; }
  void EndDialog(INT_PTR result);
  bool IsModalRunning() const { return m_modal && !m_endRequested; }

  void SetItemText(int id, const std::string& text);
  std::string ItemText(int id) const;

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  // Commands (menus, buttons, accelerators). Return true when handled.
  virtual bool OnCommand(WORD id, WORD code, HWND control);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Every message goes here first. Set *handled = true and return the
  // result to stop default processing.
  virtual INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled);
  // Called once after WM_NCDESTROY; the object may be reused afterwards.
  virtual void OnFinalDestroy() {}

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);

  UINT m_templateId;
  HWND m_hwnd = nullptr;
  bool m_modal = false;
  bool m_endRequested = false;
  INT_PTR m_result = -1;
};

// The application's main window: owner of message boxes and tool dialogs.
HWND MainWindow();
void SetMainWindow(HWND hwnd);

// The application name as the message boxes' caption.
const wchar_t* AppCaption();
// Message box captioned with the application name, owned by the main window.
int AppMessageBox(const std::string& text, UINT flags = MB_OK | MB_ICONEXCLAMATION);
// The same, owned by the given window (a tool dialog checking its fields).
int AppMessageBox(HWND owner, const std::string& text, UINT flags);
// The program's questions and notices, captioned "提示".
int PromptBox(HWND owner, const std::string& text, UINT flags);

}  // namespace ui
