// A dialog that carries other top-level dialogs (its magnetic children)
// along its edges, and that can itself dock to an owner. The rules live in
// ui/mag_rules.h; this class reads window rectangles and applies moves.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/dialog.h"
#include "ui/mag_rules.h"

class CMagDialog;

// The owner's entry for one child.
struct MagChildInfo {
  CMagDialog* childDlg;  // not owned
  BOOL isDocked;         // only docked children are carried
  int dockSide;          // side code, 0 when not docked
  int allowSides;        // handed to the child when it is added
  int edgeOffset;        // place along the edge while carrying; 0 = not recorded
};

class CMagDialog : public ui::CDialog {
 public:
  explicit CMagDialog(UINT templateId);

  // Owner side. Every operation acts on all entries of the given child.
  void AddMagChild(CMagDialog* child, BOOL docked, int side);
  void DockChild(CMagDialog* child, int side);
  void UndockChild(CMagDialog* child);
  void ResetChildOffset(CMagDialog* child);

  // Child side. SetMagParent does not register the child with the owner.
  void SetMagParent(int allowSides, CMagDialog* owner);
  void SetMagState(MagChildInfo info);
  void MoveByParent(const RECT& rc, BOOL repaint, BOOL byParent);

 protected:
  // Derived classes pass the messages they do not handle on to this one.
  INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  void OnMoving(const RECT* proposed);
  void OnWindowPosChanging(WINDOWPOS* pos);
  void OnShowWindow(BOOL shown);

  CMagDialog* m_magParent = nullptr;
  int m_magAllow = 0;
  int m_magSide = 0;
  BOOL m_magDocked = FALSE;
  BOOL m_movedByParent = FALSE;
  int m_magOffset = 0;
  std::vector<MagChildInfo> m_magChildren;
  // Minimised now: the next placement request restores it, and its window
  // rectangle is the icon's, not its own size.
  bool m_minimised = false;
};
