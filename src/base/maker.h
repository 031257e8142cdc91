// The maker's home page, shown and opened by the contact dialog and the
// version check, and the update server: every address of ours, here only.
#pragma once

#include <cstring>

namespace tallivo {

constexpr char kHomePage[] = "https://tallivo.app";
// Answers the version query (plain HTTP on the default port).
constexpr char kUpdateHost[] = "update.tallivo.app";

// The address as a label shows it, without its scheme (the labels are
// narrow).
inline const char* HomePageText() {
  const char* rest = std::strstr(kHomePage, "://");
  return rest ? rest + 3 : kHomePage;
}

}  // namespace tallivo
