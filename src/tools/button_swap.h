// The mouse-button swap command: swaps the buttons system-wide, and
// restores them on the next use.
#pragma once

#include <windows.h>

namespace tools {

class ButtonSwap {
 public:
  // Swaps or restores, then says which in a box owned by the window.
  void Toggle(HWND owner);

 private:
  // On: the next use swaps. Not stored, not read from the system.
  int m_swapNext = 1;
};

}  // namespace tools
