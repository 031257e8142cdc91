// Labels rewritten several times a second, painted together. Each label
// keeps its text (WM_GETTEXT reads it as always) but does not paint itself
// at once as a static control does; what changed is drawn in one go
// through one device context of the dialog, as the label draws itself:
// its font, its alignment, the dialog's label colours. Under Wine every
// device context is a call to its server, and a label's own paint takes
// one for each write.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace ui {

class LabelPainter {
 public:
  // Stores the text; drawn at the next Paint.
  void Set(HWND label, const std::wstring& text);
  // Draws the labels set since the last call.
  void Paint(HWND dialog);

 private:
  std::vector<HWND> m_marked;
};

}  // namespace ui
