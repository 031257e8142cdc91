// The maker's home page: shown and opened by the contact dialog and the
// version check. Change it here only.
#pragma once

#include <cstring>

namespace tallivo {

constexpr char kHomePage[] = "https://tallivo.app";

// The address as a label shows it, without its scheme (the labels are
// narrow).
inline const char* HomePageText() {
  const char* rest = std::strstr(kHomePage, "://");
  return rest ? rest + 3 : kHomePage;
}

}  // namespace tallivo
