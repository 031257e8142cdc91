// Binds an existing control of a dialog template to a C++ object by
// subclassing it: the object then sees the control's messages first, and
// the notifications the control sends to its parent come back to it.
#pragma once

#include <windows.h>

namespace ui {

class CControl {
 public:
  CControl() = default;
  virtual ~CControl();
  CControl(const CControl&) = delete;
  CControl& operator=(const CControl&) = delete;

  // Takes the control over; runs OnAttach. False when hwnd is not a window
  // or the object is bound already.
  bool Attach(HWND hwnd);
  bool AttachItem(HWND dialog, int id) { return Attach(GetDlgItem(dialog, id)); }
  HWND Hwnd() const { return m_hwnd; }

 protected:
  virtual void OnAttach() {}
  // Every message of the control goes here first. Set *handled = true and
  // return the result to skip the control's own processing.
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled);
  // A WM_NOTIFY that the control sent to its parent. Return true when
  // handled; *result becomes the parent's answer.
  virtual bool OnReflectedNotify(const NMHDR* hdr, LRESULT* result);
  LRESULT CallDefault(UINT msg, WPARAM wp, LPARAM lp);

 private:
  friend bool ReflectNotify(LPARAM lp, LRESULT* result);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void Detach();

  HWND m_hwnd = nullptr;
  WNDPROC m_oldProc = nullptr;
};

// For a dialog's WM_NOTIFY: hands the notification to the bound object of
// the control that sent it. False when no bound object handled it.
bool ReflectNotify(LPARAM lp, LRESULT* result);

}  // namespace ui
