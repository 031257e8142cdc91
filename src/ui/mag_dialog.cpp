#include "ui/mag_dialog.h"

#include "ui/dpi.h"

using tallivo::MagRect;

namespace {

MagRect ToMag(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const MagRect& r) { return {r.left, r.top, r.right, r.bottom}; }

MagRect WindowRect(HWND hwnd) {
  RECT r = {};
  GetWindowRect(hwnd, &r);
  return ToMag(r);
}

}  // namespace

CMagDialog::CMagDialog(UINT templateId) : ui::CDialog(templateId) {}

void CMagDialog::AddMagChild(CMagDialog* child, BOOL docked, int side) {
  MagChildInfo info = {child, docked, side, tallivo::MAG_ANY, 0};
  m_magChildren.push_back(info);
  child->SetMagState(info);
}

void CMagDialog::DockChild(CMagDialog* child, int side) {
  for (auto& e : m_magChildren) {
    if (e.childDlg != child) continue;
    e.dockSide = side;
    e.isDocked = TRUE;
  }
}

void CMagDialog::UndockChild(CMagDialog* child) {
  for (auto& e : m_magChildren) {
    if (e.childDlg != child) continue;
    e.dockSide = 0;
    e.isDocked = FALSE;
    e.edgeOffset = 0;
  }
}

void CMagDialog::ResetChildOffset(CMagDialog* child) {
  for (auto& e : m_magChildren) {
    if (e.childDlg == child) e.edgeOffset = 0;
  }
}

void CMagDialog::SetMagParent(int allowSides, CMagDialog* owner) {
  m_magAllow = allowSides;
  m_magParent = owner;
}

void CMagDialog::SetMagState(MagChildInfo info) {
  m_magAllow = info.allowSides;
  m_magSide = info.dockSide;
  m_magDocked = info.isDocked;
}

void CMagDialog::MoveByParent(const RECT& rc, BOOL repaint, BOOL byParent) {
  m_movedByParent = byParent;
  MoveWindow(Hwnd(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, repaint);
}

void CMagDialog::OnMoving(const RECT* proposed) {
  const MagRect p = ToMag(*proposed);
  // Carry the docked children. Each move reaches the child's placement
  // handler synchronously, so its by-owner flag is used up before the next.
  for (size_t i = 0; i < m_magChildren.size(); ++i) {
    MagChildInfo& e = m_magChildren[i];
    HWND child = e.childDlg->Hwnd();
    // A minimised child stays where the system keeps its icon.
    const bool shown = IsWindowVisible(child) && !IsIconic(child);
    if (!child || !tallivo::IsCarried(e.isDocked, shown)) continue;
    const MagRect moved = tallivo::CarryChild(e.dockSide, p, WindowRect(child), &e.edgeOffset);
    e.childDlg->MoveByParent(ToRect(moved), TRUE, TRUE);
  }

  // Capture or release; the snap itself follows in the placement request
  // of the same drag step.
  if (!m_magParent || !m_magParent->Hwnd()) return;
  const tallivo::DockDecision d =
      tallivo::DecideDock(m_magDocked != FALSE, m_magSide, m_magAllow, WindowRect(m_magParent->Hwnd()), p,
                          ui::WindowDpi(m_magParent->Hwnd()));
  if (d.kind == tallivo::DockDecision::Undock) {
    m_magParent->UndockChild(this);
    m_magSide = 0;
    m_magDocked = FALSE;
    m_magOffset = 0;
  } else if (d.kind == tallivo::DockDecision::Dock) {
    m_magParent->DockChild(this, d.side);
    m_magSide = d.side;
    m_magDocked = TRUE;
  }
}

void CMagDialog::OnWindowPosChanging(WINDOWPOS* pos) {
  // While minimised the system places the icon; the snap would give the
  // icon the window's size, or a restored window the icon's size.
  if (m_magDocked && m_magParent && m_magParent->Hwnd() && !m_movedByParent && IsWindowVisible(Hwnd()) &&
      !IsIconic(Hwnd())) {
    MagRect self = WindowRect(Hwnd());
    if (m_minimised && !(pos->flags & SWP_NOSIZE)) {
      self = {pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
    }
    const MagRect r =
        tallivo::SnapPlacement(m_magSide, WindowRect(m_magParent->Hwnd()), self, pos->x, pos->y, &m_magOffset);
    pos->x = r.left;
    pos->y = r.top;
    pos->cx = r.Width();
    pos->cy = r.Height();
    // The owner records the new place at its next drag step.
    m_magParent->ResetChildOffset(this);
  }
  m_movedByParent = FALSE;
}

void CMagDialog::OnShowWindow(BOOL shown) {
  if (!shown || !m_magDocked || !m_magParent || !m_magParent->Hwnd()) return;
  const MagRect r = tallivo::PlaceOnShow(m_magSide, WindowRect(m_magParent->Hwnd()), WindowRect(Hwnd()), m_magOffset);
  MoveWindow(Hwnd(), r.left, r.top, r.Width(), r.Height(), TRUE);
}

INT_PTR CMagDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool*) {
  // All three go on to the default processing afterwards.
  switch (msg) {
    case WM_MOVING: OnMoving(reinterpret_cast<const RECT*>(lp)); break;
    case WM_WINDOWPOSCHANGING: OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lp)); break;
    case WM_SHOWWINDOW: OnShowWindow(static_cast<BOOL>(wp)); break;
    case WM_SIZE: m_minimised = wp == SIZE_MINIMIZED; break;
    default: break;
  }
  return 0;
}
