// Figures and texts of the per-process panel and the process picker.
#pragma once

#include <cstdint>
#include <string>

namespace tallivo {

// The chosen process's share of all input counted today, in whole percent
// (truncated). Both totals are the 32-bit float values the panel keeps.
// Every input going to the process (equal totals above 0) is 100 %; a
// process total above the global one (the main counters were cleared while
// the process kept counting) gives 0 %.
int SharePercent(float processTotal, float globalTotal);

// Panel labels, in the order of its controls 1025-1030.
std::string PanelLeftLabel(uint32_t v);    // "左键点击:  %u次"
std::string PanelRightLabel(uint32_t v);   // "右键点击:  %u次"
std::string PanelMiddleLabel(uint32_t v);  // "中键点击:  %u次"
std::string PanelWheelLabel(uint32_t v);   // "中键滚动:  %u次"
std::string PanelMouseLabel(uint32_t v);   // "鼠标共点击:%u次"
std::string PanelKeysLabel(uint32_t v);    // "键盘共敲击:%u次"
// "<name> 进程占全局比:<percent>%"
std::string ShareLine(const std::string& name, int percent);

// The process name shown in the panel: the executable name without a
// three-letter extension ("notepad.exe" -> "notepad"). A name that does not
// end in a dot and three characters is kept whole.
std::string ProcessNameFromExe(const std::string& exeName);

// Column 0 of a picker row: the process id right-aligned in five places.
std::string ProcessIdText(uint32_t pid);

}  // namespace tallivo
