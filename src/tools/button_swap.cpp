#include "tools/button_swap.h"

#include "ui/dialog.h"

namespace tools {

namespace {
constexpr char kSwapped[] = "鼠标左右键成功切换";
constexpr char kRestored[] = "鼠标左右键恢复原来";
}  // namespace

void ButtonSwap::Toggle(HWND owner) {
  if (m_swapNext) {
    SwapMouseButton(TRUE);
    m_swapNext = 0;
    ui::PromptBox(owner, kSwapped, MB_OK);
  } else {
    SwapMouseButton(FALSE);
    m_swapNext = 1;
    ui::PromptBox(owner, kRestored, MB_OK);
  }
}

}  // namespace tools
