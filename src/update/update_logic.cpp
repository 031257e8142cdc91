#include "update/update_logic.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace tallivo {

std::string VersionQueryUrl() { return std::string("http://") + kUpdateHost + kVersionQueryPath; }
std::string DownloadPageUrl() { return std::string(kHomePage) + kDownloadPath; }

std::string RemoteVersionText(const std::string& body) {
  const size_t first = body.find('#');
  if (first == std::string::npos) return std::string();
  const size_t second = body.find('#', first + 1);
  if (second == std::string::npos) return std::string();
  return body.substr(first + 1, second - first - 1);
}

double VersionNumber(const std::string& text) {
  // strtod follows the C locale's decimal point; the program never changes
  // it, so "4.04" always reads with '.'.
  return std::strtod(text.c_str(), nullptr);
}

CheckOutcome EvaluateResponse(const std::string& response) {
  if (response == kFetchFailed) return CheckOutcome::NetworkFailed;
  const double remote = VersionNumber(RemoteVersionText(response));
  const double own = VersionNumber(kOwnVersion);
  return remote > own ? CheckOutcome::Upgrade : CheckOutcome::Current;
}

bool ResponseBody::Append(const char* data, size_t size) {
  const size_t text = strnlen(data, size);
  const size_t room = kCap - m_text.size();
  m_text.append(data, text < room ? text : room);
  return !Full();
}

}  // namespace tallivo
