// printf-style formatting into a std::string, for the texts the windows show.
#pragma once

#include <string>

namespace tallivo {

// At most 511 bytes of output; longer results are cut.
std::string FormatText(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tallivo
