#include "process/process_text.h"

#include "base/text_format.h"

namespace tallivo {

int SharePercent(float processTotal, float globalTotal) {
  if (globalTotal - processTotal > 0.0f) {
    // Quotient and product each rounded to double, also where the compiler
    // would keep them in wider x87 registers.
    volatile double quotient = static_cast<double>(processTotal) / static_cast<double>(globalTotal);
    volatile double percent = quotient * 100.0;
    return static_cast<int>(percent);
  }
  if (processTotal == globalTotal && globalTotal > 0.0f) return 100;
  return 0;
}

std::string PanelLeftLabel(uint32_t v) { return FormatText("左键点击:  %u次", static_cast<unsigned>(v)); }
std::string PanelRightLabel(uint32_t v) { return FormatText("右键点击:  %u次", static_cast<unsigned>(v)); }
std::string PanelMiddleLabel(uint32_t v) { return FormatText("中键点击:  %u次", static_cast<unsigned>(v)); }
std::string PanelWheelLabel(uint32_t v) { return FormatText("中键滚动:  %u次", static_cast<unsigned>(v)); }
std::string PanelMouseLabel(uint32_t v) { return FormatText("鼠标共点击:%u次", static_cast<unsigned>(v)); }
std::string PanelKeysLabel(uint32_t v) { return FormatText("键盘共敲击:%u次", static_cast<unsigned>(v)); }

std::string ShareLine(const std::string& name, int percent) {
  return FormatText("%s 进程占全局比:%d%s", name.c_str(), percent, "%");
}

std::string ProcessNameFromExe(const std::string& exeName) {
  const size_t dot = exeName.rfind('.');
  if (dot != std::string::npos && Utf16Length(exeName.substr(dot + 1)) == 3) return exeName.substr(0, dot);
  return exeName;
}

std::string ProcessIdText(uint32_t pid) { return FormatText("%5u", static_cast<unsigned>(pid)); }

}  // namespace tallivo
