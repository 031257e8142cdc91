#include "stats/day_store.h"

namespace tallivo {

namespace {
constexpr char kDate[] = "DateCur";
constexpr char kData[] = "DataSetting";
}  // namespace

DayFigures LoadDayFigures(ProfileStore& store, StartDate today) {
  DayFigures f;
  const uint32_t month = store.ReadInt(kDate, "Month", 0);
  const uint32_t day = store.ReadInt(kDate, "Day", 0);
  if (month != static_cast<uint32_t>(today.month) || day != static_cast<uint32_t>(today.day)) return f;
  f.counters.left = store.ReadInt(kData, "MouseLeft", 0);
  f.counters.right = store.ReadInt(kData, "MouseRight", 0);
  f.counters.middle = store.ReadInt(kData, "MouseMiddle", 0);
  f.counters.wheel = store.ReadInt(kData, "MouseRoll", 0);
  f.counters.keys = store.ReadInt(kData, "KeyBoard", 0);
  f.movePixels = store.ReadInt(kData, "MouseMove", 0);
  f.runSeconds = store.ReadInt(kData, "TimeCount", 0);
  return f;
}

void SaveDayFigures(ProfileStore& store, StartDate today, const DayFigures& f) {
  store.WriteInt(kDate, "Month", static_cast<uint32_t>(today.month));
  store.WriteInt(kDate, "Day", static_cast<uint32_t>(today.day));
  store.WriteInt(kData, "MouseLeft", f.counters.left);
  store.WriteInt(kData, "MouseRight", f.counters.right);
  store.WriteInt(kData, "MouseMiddle", f.counters.middle);
  store.WriteInt(kData, "MouseRoll", f.counters.wheel);
  store.WriteInt(kData, "KeyBoard", f.counters.keys);
  store.WriteInt(kData, "MouseMove", f.movePixels);
  store.WriteInt(kData, "TimeCount", f.runSeconds);
}

}  // namespace tallivo
