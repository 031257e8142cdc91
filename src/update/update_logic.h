// The version check without the network: what the server's answer means,
// and how its body is gathered.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "base/maker.h"
#include "base/version.h"

namespace tallivo {

constexpr char kOwnVersion[] = TALLIVO_VERSION_TEXT;
constexpr char kVersionQueryPath[] = "/update/index.php?action=Auto";
constexpr char kDownloadPath[] = "/myupdate";
// What a failed fetch returns in place of a body.
constexpr char kFetchFailed[] = "Error";

std::string VersionQueryUrl();
std::string DownloadPageUrl();

enum class CheckOutcome { NetworkFailed, Current, Upgrade };

// The text strictly between the first two '#' of the body; none with fewer
// than two (an error page: no version at all).
std::optional<std::string> RemoteVersionText(const std::string& body);
// Decimal text to number: leading white space, an optional sign, digits
// with an optional decimal point and an optional exponent, stopping at the
// first character that does not fit; 0 when there is no number at all. Only
// these: no "inf", "nan" or hexadecimal, whatever the C library reads.
double VersionNumber(const std::string& text);
CheckOutcome EvaluateResponse(const std::string& response);

// Gathers a response body chunk by chunk. Each chunk is text up to its first
// zero byte; the whole body is capped so a hostile or broken server cannot
// exhaust memory.
class ResponseBody {
 public:
  static constexpr size_t kCap = 1024 * 1024;
  // Returns false once the cap is reached (the caller stops reading).
  bool Append(const char* data, size_t size);
  const std::string& Text() const { return m_text; }
  bool Full() const { return m_text.size() >= kCap; }

 private:
  std::string m_text;
};

}  // namespace tallivo
