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

// Unreadable: what stands between the markers reads as a number that is no
// version; the user is told the check failed.
enum class CheckOutcome { NetworkFailed, Unreadable, Current, Upgrade };

// The text strictly between the first two '#' of the body; none with fewer
// than two (an error page: no version at all).
std::optional<std::string> RemoteVersionText(const std::string& body);
// Decimal text to number as the C library reads it, stopping at the first
// character that does not fit; 0 when there is none.
double VersionNumber(const std::string& text);
// A version is a plain decimal number: digits, then optionally a point and
// more digits ("4", "4.05"), whatever follows. False when the C library
// would read more or other than that as the number: " 5", "+5", "inf",
// "nan", "0x10", "1e999", all newer than any version.
bool ReadsAsPlainDecimal(const std::string& text);
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
