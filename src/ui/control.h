// Binds a control of a dialog template to a C++ object by subclassing it,
// so the template keeps the control's text and position.
#pragma once

#include <windows.h>

namespace ui {

class CControl {
 public:
  CControl() = default;
  virtual ~CControl();
  CControl(const CControl&) = delete;
  CControl& operator=(const CControl&) = delete;

  // Subclasses control id of the dialog; PreSubclass runs first.
  bool Attach(HWND dialog, int id);
  void Detach();
  HWND Hwnd() const { return m_hwnd; }

 protected:
  virtual void PreSubclass() {}
  // Every message of the control goes here first. Return true with
  // *result set to stop default processing.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
  // The control's own processing of a message.
  LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
  HWND m_hwnd = nullptr;
};

}  // namespace ui
