#include "ui/control.h"

#include <commctrl.h>

namespace ui {

namespace {
constexpr UINT_PTR kSubclassId = 0x7A11;
}

CControl::~CControl() { Detach(); }

bool CControl::Attach(HWND dialog, int id) {
  Detach();
  HWND hwnd = GetDlgItem(dialog, id);
  if (!hwnd) return false;
  m_hwnd = hwnd;
  PreSubclass();
  if (!SetWindowSubclass(hwnd, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    m_hwnd = nullptr;
    return false;
  }
  return true;
}

void CControl::Detach() {
  if (!m_hwnd) return;
  RemoveWindowSubclass(m_hwnd, SubclassProc, kSubclassId);
  m_hwnd = nullptr;
}

bool CControl::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

LRESULT CControl::Default(UINT msg, WPARAM wp, LPARAM lp) { return DefSubclassProc(m_hwnd, msg, wp, lp); }

LRESULT CALLBACK CControl::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  auto* self = reinterpret_cast<CControl*>(ref);
  if (msg == WM_NCDESTROY) {
    // The window goes first; the object may live on.
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    if (self) self->m_hwnd = nullptr;
    return DefSubclassProc(hwnd, msg, wp, lp);
  }
  LRESULT result = 0;
  if (self && self->OnMessage(msg, wp, lp, &result)) return result;
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace ui
