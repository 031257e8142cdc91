// The day's figures in the profile store: loaded at start when the stored
// date is today's, written every second and on the way out.
#pragma once

#include <cstdint>

#include "base/counters.h"
#include "base/profile_store.h"

namespace tallivo {

struct DayFigures {
  InputCounters counters;
  uint32_t movePixels = 0;
  uint32_t runSeconds = 0;
};

struct StartDate {
  int month = 0;  // 1-12
  int day = 0;    // 1-31
};

// Reads the figures stored under the given start date. A store of another
// date (or none at all) gives zeroes; nothing is written.
DayFigures LoadDayFigures(ProfileStore& store, StartDate today);
// Writes the date and the seven figures, nine entries in a fixed order.
void SaveDayFigures(ProfileStore& store, StartDate today, const DayFigures& figures);

}  // namespace tallivo
