#include "update/update_logic.h"

#include <clocale>
#include <cstdlib>
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
  // strtod follows the C locale's decimal point; the program never changes
  // it, so "4.04" always reads with '.'.
  return std::strtod(text.c_str(), nullptr);
}

bool ReadsAsPlainDecimal(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  std::strtod(begin, &end);
  if (end == begin) return true;  // no number at all: reads as 0
  auto digit = [&](size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
  size_t plain = 0;
  while (digit(plain)) ++plain;
  if (plain > 0 && text[plain] == '.' && digit(plain + 1)) {
    for (++plain; digit(plain);) ++plain;
  }
  return plain > 0 && static_cast<size_t>(end - begin) == plain;
}

CheckOutcome EvaluateResponse(const std::string& response) {
  if (response == kFetchFailed) return CheckOutcome::NetworkFailed;
  const std::optional<std::string> remote = RemoteVersionText(response);
  if (!remote) return CheckOutcome::Current;
  if (!ReadsAsPlainDecimal(*remote)) return CheckOutcome::Unreadable;
  return VersionNumber(*remote) > VersionNumber(kOwnVersion) ? CheckOutcome::Upgrade : CheckOutcome::Current;
}

bool ResponseBody::Append(const char* data, size_t size) {
  const size_t text = strnlen(data, size);
  const size_t room = kCap - m_text.size();
  m_text.append(data, text < room ? text : room);
  return !Full();
}

}  // namespace tallivo
