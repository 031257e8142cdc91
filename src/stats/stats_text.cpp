#include "stats/stats_text.h"

#include <cstdio>

#include "base/text_format.h"

namespace tallivo {

std::string CursorText(int32_t x, int32_t y) {
  return FormatText("当前鼠标的位置:%d,%d", static_cast<int>(x), static_cast<int>(y));
}

std::string CounterLabel(InputKind kind, uint32_t value) {
  const char* fmt = "";
  switch (kind) {
    case InputKind::Left: fmt = "左键点击:   %u次"; break;
    case InputKind::Right: fmt = "右键点击:   %u次"; break;
    case InputKind::Middle: fmt = "中键点击:   %u次"; break;
    case InputKind::Wheel: fmt = "中键滚动:   %u次"; break;
    case InputKind::Key: fmt = "键盘共敲击: %u次"; break;
  }
  return FormatText(fmt, static_cast<unsigned>(value));
}

std::string TotalClicksLabel(uint32_t totalClicks) {
  return FormatText("鼠标共点击: %u次", static_cast<unsigned>(totalClicks));
}

std::string MetresLabel(float metres) { return FormatText("鼠标运行:   %.2f米", static_cast<double>(metres)); }

std::string TrayTip(uint32_t totalClicks, uint32_t keyStrokes, float metres) {
  const std::string tip =
      FormatText("当前统计:鼠标点击%u次,键盘敲击%u次,鼠标移动%.2f米", static_cast<unsigned>(totalClicks),
                 static_cast<unsigned>(keyStrokes), static_cast<double>(metres));
  return CutToUtf16Units(tip, kTrayTipSize - 1);
}

}  // namespace tallivo
