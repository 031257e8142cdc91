// The block shared between the test and menu_probe.dll.
#pragma once

#include <cstdint>

namespace e2e {

constexpr char kMenuProbeName[] = "TallivoTestMenuProbe";

struct MenuProbe {
  int64_t window;
  int32_t submenu;
  uint32_t command;
  uint32_t state;
  int32_t done;
};

}  // namespace e2e
