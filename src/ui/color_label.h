// A static text of a dialog template turned into a link-like label: drawn
// in its own colour, blue under the pointer, a click reported to the
// dialog as WM_COMMAND with the label's id.
#pragma once

#include <windows.h>

#include "ui/color_label_state.h"
#include "ui/control.h"

class CColorLabel : public ui::CControl {
 public:
  void SetTextColour(COLORREF colour);
  void SetUnderline(bool on, COLORREF colour);
  void SetUnderlineOnHover(bool on);

 protected:
  void OnAttach() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool* handled) override;

 private:
  void OnPaint();
  bool OnMouseMove(LPARAM lp);
  void Redraw();

  tallivo::ColorLabelState m_state;
};
