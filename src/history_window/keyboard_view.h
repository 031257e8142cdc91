// The 按键 view: a standard 104-key keyboard in the user's keyboard layout
// (each key where it is on the keyboard, labelled with what it types), each
// key coloured by its strokes over the range (keys without strokes stay plain). The key under
// the pointer is named with its count; the same text is the window's text
// (WM_GETTEXT), "" when the pointer is over no key.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "history_window/history_model.h"
#include "history_window/history_view_geometry.h"
#include "history_window/view_canvas.h"

namespace tallivo::history {

class CKeyboardView : public CCanvasView {
 public:
  CKeyboardView() = default;
  ~CKeyboardView() override;

  // A hidden child window of parent with the given control id.
  bool Create(HWND parent, int id);
  void SetCounts(const std::vector<KeyTotal>& totals);
  // The keys as the thread's current keyboard layout has them (again after
  // the user switched layouts).
  void FollowLayout();

 private:
  void Relayout(int width, int height) override;
  void Draw(HDC dc) override;
  // Names the key under the pointer; redraws when it is another one.
  void UpdateHover() override;
  std::string HoverText() const;

  std::vector<KeyCap> m_caps = StandardKeyboard();
  std::vector<KeyTotal> m_totals;
  std::vector<uint64_t> m_strokes;  // per cap of the layout
  uint64_t m_max = 0;
  KeyboardLayout m_layout;
  int m_hover = -1;  // cap index
};

}  // namespace tallivo::history
