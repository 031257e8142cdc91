#include "ui/control.h"

#include <exception>

#include "ui/data_exchange.h"

namespace ui {

namespace {
constexpr wchar_t kObjectProp[] = L"TallivoControlObject";

CControl* BoundObject(HWND hwnd) { return hwnd ? static_cast<CControl*>(GetPropW(hwnd, kObjectProp)) : nullptr; }
}  // namespace

CControl::~CControl() { Detach(); }

bool CControl::Attach(HWND hwnd) {
  if (m_hwnd || !hwnd || !IsWindow(hwnd) || BoundObject(hwnd)) return false;
  if (!SetPropW(hwnd, kObjectProp, this)) return false;
  m_hwnd = hwnd;
  m_oldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CControl::SubclassProc)));
  OnAttach();
  return true;
}

void CControl::Detach() {
  if (!m_hwnd) return;
  HWND h = m_hwnd;
  m_hwnd = nullptr;
  if (IsWindow(h)) {
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_oldProc));
    RemovePropW(h, kObjectProp);
  }
}

LRESULT CControl::OnMessage(UINT, WPARAM, LPARAM, bool*) { return 0; }

bool CControl::OnReflectedNotify(const NMHDR*, LRESULT*) { return false; }

LRESULT CControl::CallDefault(UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(m_oldProc, m_hwnd, msg, wp, lp);
}

LRESULT CALLBACK CControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  CControl* self = BoundObject(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  bool handled = false;
  LRESULT r = 0;
  // As in the dialogs: reported, never unwound through the system.
  try {
    r = self->OnMessage(msg, wp, lp, &handled);
  } catch (...) {
    ShowExceptionError(std::current_exception());
    handled = false;
  }
  if (!handled) r = self->CallDefault(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    // The window is gone; the object may outlive it.
    self->Detach();
  }
  return r;
}

bool ReflectNotify(LPARAM lp, LRESULT* result) {
  const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
  if (!hdr) return false;
  CControl* obj = BoundObject(hdr->hwndFrom);
  return obj && obj->OnReflectedNotify(hdr, result);
}

}  // namespace ui
