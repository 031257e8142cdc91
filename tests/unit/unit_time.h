// Moments for the tests of local days and hours, given in UTC, and the time zone they are seen in.
#pragma once

#include <cstdlib>
#include <ctime>

inline time_t Utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  std::tm t{.tm_sec = s, .tm_min = mi, .tm_hour = h, .tm_mday = d, .tm_mon = mo - 1, .tm_year = y - 1900};
  return timegm(&t);
}

// The process's time zone for one scope; no test depends on the zone it runs in.
struct ZoneScope {
  explicit ZoneScope(const char* zone) { Set(zone); }
  ~ZoneScope() { Set(nullptr); }
  static void Set(const char* zone) {
    zone ? setenv("TZ", zone, 1) : unsetenv("TZ");
    tzset();
  }
};
