// Texts the main window shows for the day's input figures.
#pragma once

#include <cstdint>
#include <string>

#include "base/counters.h"

namespace tallivo {

// Size of the tray record's tip field in UTF-16 units, terminating zero
// included.
constexpr size_t kTrayTipSize = 128;

std::string CursorText(int32_t x, int32_t y);
// Label for one counter ("左键点击:   %u次" and its siblings).
std::string CounterLabel(InputKind kind, uint32_t value);
std::string TotalClicksLabel(uint32_t totalClicks);
std::string MetresLabel(float metres);
// "当前统计:鼠标点击%u次,键盘敲击%u次,鼠标移动%.2f米", never longer than
// kTrayTipSize - 1 UTF-16 units.
std::string TrayTip(uint32_t totalClicks, uint32_t keyStrokes, float metres);

}  // namespace tallivo
