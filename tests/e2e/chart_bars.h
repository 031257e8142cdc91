// The bars of a chart control, read back from the screen.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace e2e {

// Waits until a chart control shows these bar heights, newest first: the black pixels of each slot's last column (step
// pixels a slot), counted up from the bottom edge. The chart must be on screen.
testing::AssertionResult ChartBarsAre(HWND chart, int step, const std::vector<int>& want);

}  // namespace e2e
