#include "update/update_logic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tallivo {

std::string VersionQueryUrl() { return std::string("http://") + kUpdateHost + kVersionQueryPath; }
std::string DownloadPageUrl() { return std::string(kHomePage) + kDownloadPath; }

std::optional<std::string> RemoteVersionText(const std::string& body) {
  const size_t first = body.find('#');
  if (first == std::string::npos) return std::nullopt;
  const size_t second = body.find('#', first + 1);
  if (second == std::string::npos) return std::nullopt;
  return body.substr(first + 1, second - first - 1);
}

double VersionNumber(const std::string& text) {
  // Read over the characters, not with the C library: strtod also takes
  // "inf", "nan" and hexadecimal, and follows the locale's decimal point.
  size_t i = 0;
  const size_t n = text.size();
  auto digit = [&](size_t at) { return at < n && text[at] >= '0' && text[at] <= '9'; };
  while (i < n && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  const bool negative = i < n && text[i] == '-';
  if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
  // Up to 19 significant digits in an integer; the rest only move the
  // decimal exponent.
  uint64_t mantissa = 0;
  int significant = 0;
  long exponent = 0;
  bool any = false;
  auto take = [&](bool fraction) {
    for (; digit(i); ++i, any = true) {
      if (significant < 19) {
        mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
        if (mantissa != 0) ++significant;
        if (fraction) --exponent;
      } else if (!fraction) {
        ++exponent;
      }
    }
  };
  take(false);
  if (i < n && text[i] == '.') {
    ++i;
    take(true);
  }
  if (!any) return 0;
  // An exponent counts only with at least one digit: "4.05e" reads 4.05.
  size_t e = i;
  if (e < n && (text[e] == 'e' || text[e] == 'E')) {
    ++e;
    const bool down = e < n && text[e] == '-';
    if (e < n && (text[e] == '-' || text[e] == '+')) ++e;
    if (digit(e)) {
      long written = 0;
      for (; digit(e); ++e) written = std::min(written * 10 + (text[e] - '0'), 100000L);
      exponent += down ? -written : written;
    }
  }
  double value = 0;
  if (mantissa != 0) {
    // Powers of ten up to 1e22 are exact, so a short decimal such as "4.04"
    // or "4.040" comes out correctly rounded, and both read the same.
    static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double m = static_cast<double>(mantissa);
    if (exponent >= 0) {
      value = exponent <= 22 ? m * kExact[exponent] : m * std::pow(10.0, static_cast<double>(exponent));
    } else {
      value = exponent >= -22 ? m / kExact[-exponent] : m * std::pow(10.0, static_cast<double>(exponent));
    }
  }
  return negative ? -value : value;
}

CheckOutcome EvaluateResponse(const std::string& response) {
  if (response == kFetchFailed) return CheckOutcome::NetworkFailed;
  const std::optional<std::string> remote = RemoteVersionText(response);
  if (!remote) return CheckOutcome::Current;
  return VersionNumber(*remote) > VersionNumber(kOwnVersion) ? CheckOutcome::Upgrade : CheckOutcome::Current;
}

bool ResponseBody::Append(const char* data, size_t size) {
  const size_t text = strnlen(data, size);
  const size_t room = kCap - m_text.size();
  m_text.append(data, text < room ? text : room);
  return !Full();
}

}  // namespace tallivo
