// The 按键 view: a standard 104-key keyboard with each key coloured by its
// strokes over the range (keys without strokes stay plain). The key under
// the pointer is named with its count; the same text is the window's text
// (WM_GETTEXT), "" when the pointer is over no key.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "history/history_model.h"
#include "history/history_view_geometry.h"
#include "history/view_canvas.h"

namespace tallivo::history {

class CKeyboardView {
 public:
  CKeyboardView() = default;
  ~CKeyboardView();
  CKeyboardView(const CKeyboardView&) = delete;
  CKeyboardView& operator=(const CKeyboardView&) = delete;

  // A hidden child window of parent with the given control id.
  bool Create(HWND parent, int id);
  HWND Hwnd() const { return m_hwnd; }
  void SetCounts(const std::vector<KeyTotal>& totals);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  void OnPaint();
  void Draw(HDC dc);
  // Names the key under the pointer; redraws when it is another one.
  void UpdateHover();
  std::string HoverText() const;
  void Redraw();

  HWND m_hwnd = nullptr;
  std::vector<KeyTotal> m_totals;
  std::vector<uint64_t> m_strokes;  // per cap of the layout
  uint64_t m_max = 0;
  KeyboardLayout m_layout;
  ViewCanvas m_canvas;
  bool m_stale = true;  // the canvas does not show the current picture
  PointerTracker m_pointer;
  int m_hover = -1;     // cap index
  HFONT m_font = nullptr;  // from WM_SETFONT, not owned
};

}  // namespace tallivo::history
