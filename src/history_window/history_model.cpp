#include "history_window/history_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>

namespace tallivo::history {

namespace {

// Days since 1970-01-01 of a civil date and back (proleptic Gregorian), so
// no time zone or C library clock takes part.
int64_t DayNumber(const Date& d) {
  const int64_t y = d.year - (d.month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t mp = (d.month + 9) % 12;
  const int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Date DateOfNumber(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  Date d;
  d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2 ? 1 : 0));
  return d;
}

constexpr Date kFirstDate{1970, 1, 1};
constexpr Date kLastDate{9999, 12, 31};

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

bool IsValid(const Date& d) {
  return d.year >= kFirstDate.year && d.year <= kLastDate.year && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
         d.day <= DaysInMonth(d.year, d.month);
}

// The nearest end of the calendar for a date outside it (and its first day
// for a date that does not exist): the range code never hands out a day it
// cannot print or count.
Date Clamp(const Date& d) {
  if (IsValid(d)) return d;
  return d > kLastDate ? kLastDate : kFirstDate;
}

std::string Number(uint64_t n) {
  char buf[24];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, n);
  (void)ec;
  return std::string(buf, end);
}

uint64_t Clicks(const EventCounts& c) { return c.left + c.right + c.middle; }

// The shortest text that reads back as the same double, never in exponent
// form and always with a dot: the CSV keeps the stored metres exactly.
std::string ExactDecimal(double v) {
  if (!std::isfinite(v)) return "0";
  if (v == 0) v = 0;  // no "-0"
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (ec != std::errc()) return "0";
  return std::string(buf, end);
}

}  // namespace

// ---------------------------------------------------------------- dates

std::string DateText(const Date& d) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
  return buf;
}

bool ParseDate(const std::string& text, Date* d) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  int v[3] = {0, 0, 0};
  const int start[3] = {0, 5, 8}, len[3] = {4, 2, 2};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < len[i]; ++j) {
      const char c = text[start[i] + j];
      if (c < '0' || c > '9') return false;
      v[i] = v[i] * 10 + (c - '0');
    }
  }
  const Date parsed{v[0], v[1], v[2]};
  if (!IsValid(parsed)) return false;
  if (d) *d = parsed;
  return true;
}

// Clamped to 1970-01-01 .. 9999-12-31: "a year back" from early 1970 stays
// a date the file can hold.
Date AddDays(const Date& d, int days) {
  const int64_t n = DayNumber(Clamp(d)) + days;
  return Clamp(DateOfNumber(std::clamp<int64_t>(n, DayNumber(kFirstDate), DayNumber(kLastDate))));
}

int Weekday(const Date& d) {
  // 1970-01-01 was a Thursday.
  const int64_t w = (DayNumber(d) + 3) % 7;
  return static_cast<int>(w < 0 ? w + 7 : w);
}

// ---------------------------------------------------------------- range

int Range::Days() const {
  const int64_t n = DayNumber(to) - DayNumber(from) + 1;
  return n < 1 ? 1 : static_cast<int>(n);
}

Range RangeFor(RangeKind kind, const Date& today, const Date& firstInFile) {
  const Date t = Clamp(today);
  switch (kind) {
    case RangeKind::Today: return {t, t};
    case RangeKind::Last7Days: return {AddDays(t, -6), t};
    case RangeKind::Last30Days: return {AddDays(t, -29), t};
    case RangeKind::LastYear: return {AddDays(t, -364), t};
    case RangeKind::All: return {IsValid(firstInFile) && firstInFile <= t ? firstInFile : t, t};
    case RangeKind::Custom: break;
  }
  return {t, t};
}

Range CustomRange(Date from, Date to) {
  from = Clamp(from);
  to = Clamp(to);
  if (to < from) std::swap(from, to);
  return {from, to};
}

// ---------------------------------------------------------------- days

std::vector<DayRow> FillDays(const std::vector<DayRow>& stored, const Range& range) {
  const Date from = Clamp(range.from);
  const Range r{from, std::max(from, Clamp(range.to))};
  const int64_t first = DayNumber(r.from);
  std::vector<DayRow> rows(static_cast<size_t>(r.Days()));
  Date d = r.from;
  for (auto& row : rows) {
    row.date = DateText(d);
    d = AddDays(d, 1);
  }
  for (const auto& s : stored) {
    Date sd;
    if (!ParseDate(s.date, &sd) || !r.Contains(sd)) continue;
    DayRow& row = rows[static_cast<size_t>(DayNumber(sd) - first)];
    row.counts.AddAll(s.counts);
    row.moveMetres += s.moveMetres;
    row.activeSeconds += s.activeSeconds;
    row.breaksDue += s.breaksDue;
    row.breaksTaken += s.breaksTaken;
  }
  return rows;
}

DayRow TotalOf(const std::vector<DayRow>& rows) {
  DayRow total;
  for (const auto& r : rows) {
    total.counts.AddAll(r.counts);
    total.moveMetres += r.moveMetres;
    total.activeSeconds += r.activeSeconds;
    total.breaksDue += r.breaksDue;
    total.breaksTaken += r.breaksTaken;
  }
  return total;
}

const char* DayFigureName(DayFigure f) {
  switch (f) {
    case DayFigure::Clicks: return "鼠标点击";
    case DayFigure::Keys: return "键盘敲击";
    case DayFigure::Wheel: return "中键滚动";
    case DayFigure::Metres: return "鼠标移动(米)";
    case DayFigure::ActiveTime: return "活跃时间";
  }
  return "";
}

double FigureOf(const DayRow& row, DayFigure f) {
  switch (f) {
    case DayFigure::Clicks: return static_cast<double>(Clicks(row.counts));
    case DayFigure::Keys: return static_cast<double>(row.counts.keys);
    case DayFigure::Wheel: return static_cast<double>(row.counts.wheel);
    case DayFigure::Metres: return row.moveMetres;
    case DayFigure::ActiveTime: return static_cast<double>(row.activeSeconds);
  }
  return 0;
}

const char* DayColumnName(DayColumn c) {
  switch (c) {
    case DayColumn::Date: return "日期";
    case DayColumn::Left: return "左键";
    case DayColumn::Right: return "右键";
    case DayColumn::Middle: return "中键";
    case DayColumn::Wheel: return "滚动";
    case DayColumn::Keys: return "键盘";
    case DayColumn::Metres: return "移动(米)";
    case DayColumn::Active: return "活跃时间";
    case DayColumn::Breaks: return "休息";
  }
  return "";
}

std::string DayCellText(const DayRow& row, DayColumn c) {
  switch (c) {
    case DayColumn::Date: return row.date;
    case DayColumn::Left: return Number(row.counts.left);
    case DayColumn::Right: return Number(row.counts.right);
    case DayColumn::Middle: return Number(row.counts.middle);
    case DayColumn::Wheel: return Number(row.counts.wheel);
    case DayColumn::Keys: return Number(row.counts.keys);
    case DayColumn::Metres: return MetresText(row.moveMetres);
    case DayColumn::Active: return ActiveTimeText(row.activeSeconds);
    case DayColumn::Breaks: return Number(row.breaksTaken) + "/" + Number(row.breaksDue);
  }
  return "";
}

void SortDays(std::vector<DayRow>* rows, DayColumn c, bool ascending) {
  // -1, 0 or 1 by the column alone.
  auto order = [c](const DayRow& a, const DayRow& b) -> int {
    auto cmp = [](auto x, auto y) { return x < y ? -1 : y < x ? 1 : 0; };
    switch (c) {
      case DayColumn::Date: return cmp(a.date, b.date);
      case DayColumn::Left: return cmp(a.counts.left, b.counts.left);
      case DayColumn::Right: return cmp(a.counts.right, b.counts.right);
      case DayColumn::Middle: return cmp(a.counts.middle, b.counts.middle);
      case DayColumn::Wheel: return cmp(a.counts.wheel, b.counts.wheel);
      case DayColumn::Keys: return cmp(a.counts.keys, b.counts.keys);
      case DayColumn::Metres: return cmp(a.moveMetres, b.moveMetres);
      case DayColumn::Active: return cmp(a.activeSeconds, b.activeSeconds);
      case DayColumn::Breaks: return cmp(std::pair(a.breaksTaken, a.breaksDue), std::pair(b.breaksTaken, b.breaksDue));
    }
    return 0;
  };
  // Ties go by date, oldest first, whichever way and whatever the list's
  // order was after an earlier sort.
  std::stable_sort(rows->begin(), rows->end(), [&](const DayRow& a, const DayRow& b) {
    const int o = order(a, b);
    if (o != 0) return ascending ? o < 0 : o > 0;
    return a.date < b.date;
  });
}

std::string ActiveTimeText(uint64_t seconds) {
  const uint64_t minutes = seconds / 60;
  if (minutes < 60) return Number(minutes) + "分";
  const uint64_t m = minutes % 60;
  return Number(minutes / 60) + "时" + (m < 10 ? "0" : "") + Number(m) + "分";
}

std::string MetresText(double metres) {
  if (!std::isfinite(metres)) metres = 0;
  char buf[400];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, metres, std::chars_format::fixed, 2);
  if (ec != std::errc()) return "0.00";
  std::string s(buf, end);
  return s == "-0.00" ? "0.00" : s;
}

// ---------------------------------------------------------------- hours

WeekHourGrid WeekHours(const std::vector<HourRow>& rows) {
  WeekHourGrid g;
  for (const auto& r : rows) {
    Date d;
    if (!ParseDate(r.date, &d) || r.hour < 0 || r.hour > 23) continue;
    const uint64_t events = Clicks(r.counts) + r.counts.wheel + r.counts.keys;
    g.cells[static_cast<size_t>(Weekday(d))][static_cast<size_t>(r.hour)] += events;
    g.total += events;
  }
  for (const auto& day : g.cells)
    for (uint64_t v : day) g.max = std::max(g.max, v);
  return g;
}

const char* WeekdayName(int weekday) {
  static const char* const kNames[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
  return weekday >= 0 && weekday < 7 ? kNames[weekday] : "";
}

// ---------------------------------------------------------------- keys

std::vector<KeyTotal> KeyTotals(const std::vector<KeyRow>& rows) {
  std::array<uint64_t, 255> sums{};
  for (const auto& r : rows)
    if (r.vk >= 1 && r.vk <= 254) sums[r.vk] += r.strokes;
  std::vector<KeyTotal> out;
  for (unsigned vk = 1; vk <= 254; ++vk)
    if (sums[vk] > 0) out.push_back({vk, sums[vk]});
  std::stable_sort(out.begin(), out.end(), [](const KeyTotal& a, const KeyTotal& b) { return a.strokes > b.strokes; });
  return out;
}

std::string KeyName(unsigned vk) {
  if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, static_cast<char>(vk));
  // Appended, not added: GCC 12 warns falsely about "literal" + std::string.
  std::string name;
  if (vk >= 0x60 && vk <= 0x69) return name.append("Num ").append(1, static_cast<char>('0' + vk - 0x60));
  if (vk >= 0x70 && vk <= 0x87) return name.append("F").append(Number(vk - 0x6F));
  switch (vk) {
    case 0x03: return "Break";
    case 0x08: return "Backspace";
    case 0x09: return "Tab";
    case 0x0C: return "Clear";  // numpad 5 with Num Lock off
    case 0x0D: return "Enter";
    case 0x10: return "Shift";
    case 0x11: return "Ctrl";
    case 0x12: return "Alt";
    case 0x13: return "Pause";
    case 0x14: return "Caps Lock";
    case 0x1B: return "Esc";
    case 0x20: return "Space";
    case 0x21: return "Page Up";
    case 0x22: return "Page Down";
    case 0x23: return "End";
    case 0x24: return "Home";
    case 0x25: return "Left";
    case 0x26: return "Up";
    case 0x27: return "Right";
    case 0x28: return "Down";
    case 0x2C: return "Print Screen";
    case 0x2D: return "Insert";
    case 0x2E: return "Delete";
    case 0x2F: return "Help";
    case 0x5B: return "Left Win";
    case 0x5C: return "Right Win";
    case 0x5D: return "Menu";
    case 0x5F: return "Sleep";
    case 0x6A: return "Num *";
    case 0x6B: return "Num +";
    case 0x6C: return "Num ,";
    case 0x6D: return "Num -";
    case 0x6E: return "Num .";
    case 0x6F: return "Num /";
    case 0x90: return "Num Lock";
    case 0x91: return "Scroll Lock";
    case 0xA0: return "Left Shift";
    case 0xA1: return "Right Shift";
    case 0xA2: return "Left Ctrl";
    case 0xA3: return "Right Ctrl";
    case 0xA4: return "Left Alt";
    case 0xA5: return "Right Alt";
    case 0xAD: return "Mute";
    case 0xAE: return "Volume Down";
    case 0xAF: return "Volume Up";
    case 0xB0: return "Next Track";
    case 0xB1: return "Previous Track";
    case 0xB2: return "Stop";
    case 0xB3: return "Play/Pause";
    case 0xBA: return ";";
    case 0xBB: return "=";
    case 0xBC: return ",";
    case 0xBD: return "-";
    case 0xBE: return ".";
    case 0xBF: return "/";
    case 0xC0: return "`";
    case 0xDB: return "[";
    case 0xDC: return "\\";
    case 0xDD: return "]";
    case 0xDE: return "'";
  }
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X", vk);
  return buf;
}

namespace {

// The ANSI 104-key board. Units: a letter key is 1x1. Half a unit between
// the function row and the digit row, a quarter between the main block, the
// navigation block and the numpad.
constexpr float kNavX = 15.25f;  // Insert, Home, ..., the arrows
constexpr float kPadX = 18.5f;   // the numpad
constexpr float kRow1 = 1.5f;    // the digit row, below the function row's gap

std::vector<KeyCap> MakeKeyboard() {
  std::vector<KeyCap> k;
  auto add = [&k](unsigned vk, const char* label, float x, float y, float w = 1, float h = 1, unsigned scan = 0) {
    k.push_back({vk, label, x, y, w, h, scan});
  };
  // A row of letters or digits from the scan code of its first key on.
  auto row = [&](const char* chars, float x, float y, unsigned scan) {
    // Letters and digits: the vk is the character itself. Others by table.
    static const char* const kCaps[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "B",
                                        "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N",
                                        "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};
    for (const char* p = chars; *p; ++p, x += 1) {
      const char c = *p;
      const char* cap = c <= '9' ? kCaps[c - '0'] : kCaps[10 + c - 'A'];
      add(static_cast<unsigned>(c), cap, x, y, 1, 1, scan++);
    }
  };
  // Function row.
  add(0x1B, "Esc", 0, 0);
  static const char* const kF[] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12"};
  for (int i = 0; i < 12; ++i)
    add(0x70u + static_cast<unsigned>(i), kF[i], 2.0f + static_cast<float>(i) + (i / 4) * 0.5f, 0);
  add(0x2C, "PrtSc", kNavX, 0);
  add(0x91, "ScrLk", kNavX + 1, 0);
  add(0x13, "Pause", kNavX + 2, 0);
  // Digit row.
  float y = kRow1;
  add(0xC0, "`", 0, y, 1, 1, 0x29);
  row("1234567890", 1, y, 0x02);
  add(0xBD, "-", 11, y, 1, 1, 0x0C);
  add(0xBB, "=", 12, y, 1, 1, 0x0D);
  add(0x08, "Bksp", 13, y, 2);
  add(0x2D, "Ins", kNavX, y);
  add(0x24, "Home", kNavX + 1, y);
  add(0x21, "PgUp", kNavX + 2, y);
  add(0x90, "Num", kPadX, y);
  add(0x6F, "/", kPadX + 1, y);
  add(0x6A, "*", kPadX + 2, y);
  add(0x6D, "-", kPadX + 3, y);
  // Top letter row.
  y += 1;
  add(0x09, "Tab", 0, y, 1.5f);
  row("QWERTYUIOP", 1.5f, y, 0x10);
  add(0xDB, "[", 11.5f, y, 1, 1, 0x1A);
  add(0xDD, "]", 12.5f, y, 1, 1, 0x1B);
  add(0xDC, "\\", 13.5f, y, 1.5f, 1, 0x2B);
  add(0x2E, "Del", kNavX, y);
  add(0x23, "End", kNavX + 1, y);
  add(0x22, "PgDn", kNavX + 2, y);
  add(0x67, "7", kPadX, y);
  add(0x68, "8", kPadX + 1, y);
  add(0x69, "9", kPadX + 2, y);
  add(0x6B, "+", kPadX + 3, y, 1, 2);
  // Home row.
  y += 1;
  add(0x14, "Caps", 0, y, 1.75f);
  row("ASDFGHJKL", 1.75f, y, 0x1E);
  add(0xBA, ";", 10.75f, y, 1, 1, 0x27);
  add(0xDE, "'", 11.75f, y, 1, 1, 0x28);
  add(0x0D, "Enter", 12.75f, y, 2.25f);
  add(0x64, "4", kPadX, y);
  add(0x65, "5", kPadX + 1, y);
  add(0x66, "6", kPadX + 2, y);
  // Bottom letter row: the hook tells the two Shift keys apart.
  y += 1;
  add(0xA0, "Shift", 0, y, 2.25f);
  row("ZXCVBNM", 2.25f, y, 0x2C);
  add(0xBC, ",", 9.25f, y, 1, 1, 0x33);
  add(0xBE, ".", 10.25f, y, 1, 1, 0x34);
  add(0xBF, "/", 11.25f, y, 1, 1, 0x35);
  add(0xA1, "Shift", 12.25f, y, 2.75f);
  add(0x26, "Up", kNavX + 1, y);
  add(0x61, "1", kPadX, y);
  add(0x62, "2", kPadX + 1, y);
  add(0x63, "3", kPadX + 2, y);
  // The numpad's Enter reaches the hook as VK_RETURN, like the main one.
  add(0x0D, "Enter", kPadX + 3, y, 1, 2);
  // Space row.
  y += 1;
  add(0xA2, "Ctrl", 0, y, 1.25f);
  add(0x5B, "Win", 1.25f, y, 1.25f);
  add(0xA4, "Alt", 2.5f, y, 1.25f);
  add(0x20, "Space", 3.75f, y, 6.25f);
  add(0xA5, "Alt", 10, y, 1.25f);
  add(0x5C, "Win", 11.25f, y, 1.25f);
  add(0x5D, "Menu", 12.5f, y, 1.25f);
  add(0xA3, "Ctrl", 13.75f, y, 1.25f);
  add(0x25, "Left", kNavX, y);
  add(0x28, "Down", kNavX + 1, y);
  add(0x27, "Right", kNavX + 2, y);
  add(0x60, "0", kPadX, y, 2);
  add(0x6E, ".", kPadX + 2, y);
  return k;
}

}  // namespace

const std::vector<KeyCap>& StandardKeyboard() {
  static const std::vector<KeyCap> keys = MakeKeyboard();
  return keys;
}

float KeyboardWidth() { return kPadX + 4; }
float KeyboardHeight() { return kRow1 + 5; }

unsigned LayoutVk(unsigned vk) {
  switch (vk) {
    case 0x10: return 0xA0;  // a Shift without its side: the left one
    case 0x11: return 0xA2;
    case 0x12: return 0xA4;
  }
  return vk;
}

std::vector<KeyCap> KeyboardIn(const KeyFaces& faces) {
  std::vector<KeyCap> caps = StandardKeyboard();
  for (KeyCap& c : caps) {
    if (!c.scan) continue;
    const auto face = std::find_if(faces.begin(), faces.end(), [&](const auto& f) { return f.first == c.scan; });
    if (face == faces.end() || !face->second.vk || face->second.vk > 0xFE) continue;
    // Without a character of its own (a dead key the system gives none for)
    // a key is named by the code it sends, which is what it counts.
    if (c.vk != face->second.vk) c.label = KeyName(face->second.vk);
    c.vk = face->second.vk;
    if (!face->second.label.empty()) c.label = face->second.label;
  }
  return caps;
}

std::vector<uint64_t> CapStrokes(const std::vector<KeyTotal>& totals) { return CapStrokes(totals, StandardKeyboard()); }

std::vector<uint64_t> CapStrokes(const std::vector<KeyTotal>& totals, const std::vector<KeyCap>& keys) {
  std::array<uint64_t, 256> byVk{};
  for (const auto& t : totals)
    if (t.vk < 256) byVk[LayoutVk(t.vk)] += t.strokes;
  std::vector<uint64_t> out(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) out[i] = byVk[keys[i].vk];
  return out;
}

// ---------------------------------------------------------------- heat

namespace {

struct Rgb {
  int r, g, b;
};
// Pale yellow to deep red. Green and blue never rise from one stop to the
// next (and one of them always falls), which is what "hotter" means here.
constexpr Rgb kStops[] = {{255, 255, 204}, {254, 217, 118}, {253, 141, 60}, {227, 26, 28}, {150, 0, 0}};
constexpr int kSegments = static_cast<int>(sizeof kStops / sizeof kStops[0]) - 1;

uint32_t Pack(const Rgb& c) {
  return static_cast<uint32_t>(c.r) | static_cast<uint32_t>(c.g) << 8 | static_cast<uint32_t>(c.b) << 16;
}

}  // namespace

uint32_t HeatColour(uint64_t value, uint64_t max) {
  if (value == 0) return kPlainColour;
  if (value >= max) return Pack(kStops[kSegments]);
  // Logarithmic: key and hour counts span orders of magnitude (Space against
  // F7), and on a linear scale one busy key would leave the rest pale.
  const double t = std::log1p(static_cast<double>(value)) / std::log1p(static_cast<double>(max));
  const double pos = std::clamp(t, 0.0, 1.0) * kSegments;
  const int i = std::min(static_cast<int>(pos), kSegments - 1);
  const double f = pos - i;
  auto mix = [f](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * f)); };
  const Rgb& a = kStops[i];
  const Rgb& b = kStops[i + 1];
  return Pack({mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)});
}

// ---------------------------------------------------------------- programs

std::vector<ProgramShare> ProgramShares(const std::vector<ProgramRow>& rows) {
  std::map<std::string, ProgramShare> byExe;
  for (const auto& r : rows) {
    ProgramShare& p = byExe[r.exe];
    p.clicks += r.counts.clicks;
    p.wheel += r.counts.wheel;
    p.keys += r.counts.keys;
  }
  std::vector<ProgramShare> out;
  uint64_t total = 0;
  for (auto& [exe, p] : byExe) {
    p.exe = exe;
    p.events = p.clicks + p.wheel + p.keys;
    if (p.events == 0) continue;
    total += p.events;
    out.push_back(std::move(p));
  }
  // byExe is in name order, so a stable sort leaves equal counts by name.
  std::stable_sort(out.begin(), out.end(),
                   [](const ProgramShare& a, const ProgramShare& b) { return a.events > b.events; });
  if (out.empty()) return out;

  // Tenths of a percent: each gets its floor, and the tenths left over go to
  // the largest remainders, so the texts add up to exactly 100.0%.
  uint64_t t = total;
  int shift = 0;
  while (t > UINT64_MAX / 1000) t >>= 1, ++shift;  // unreachable by any real count
  std::vector<uint64_t> tenths(out.size()), rest(out.size());
  uint64_t given = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const uint64_t e = out[i].events >> shift;
    tenths[i] = e / t * 1000 + (e % t) * 1000 / t;
    rest[i] = (e % t) * 1000 % t;
    given += tenths[i];
    out[i].percent = static_cast<double>(out[i].events) * 100.0 / static_cast<double>(total);
  }
  std::vector<size_t> order(out.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return rest[a] > rest[b]; });
  for (size_t k = 0; given < 1000 && k < order.size(); ++k, ++given) ++tenths[order[k]];
  for (size_t i = 0; i < out.size(); ++i)
    out[i].percentText = Number(tenths[i] / 10) + "." + Number(tenths[i] % 10) + "%";
  return out;
}

// ---------------------------------------------------------------- CSV

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";

std::string Line(std::initializer_list<std::string> fields) {
  std::string s;
  bool first = true;
  for (const auto& f : fields) {
    if (!first) s += ',';
    s += f;
    first = false;
  }
  return s + "\r\n";
}

}  // namespace

std::string CsvField(const std::string& text) {
  std::string t = text;
  // A cell starting like a formula would be run by a spreadsheet (an exe
  // named "=HYPERLINK(...).exe"): a leading quote keeps it text.
  if (!t.empty() && (t[0] == '=' || t[0] == '+' || t[0] == '-' || t[0] == '@' || t[0] == '\t' || t[0] == '\r'))
    t.insert(t.begin(), '\'');
  const bool quote = t.find_first_of(",\"\r\n") != std::string::npos || (!t.empty() && t[0] == ' ');
  if (!quote) return t;
  std::string q = "\"";
  for (char c : t) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

std::string CsvDays(const std::vector<DayRow>& rows) {
  std::string s = kBom;
  s += "date,left_clicks,right_clicks,middle_clicks,wheel_steps,key_strokes,move_pixels,move_metres,active_seconds,"
       "breaks_taken,breaks_due\r\n";
  for (const auto& r : rows) {
    const EventCounts& c = r.counts;
    s += Line({CsvField(r.date), Number(c.left), Number(c.right), Number(c.middle), Number(c.wheel), Number(c.keys),
               Number(c.movePixels), ExactDecimal(r.moveMetres), Number(r.activeSeconds), Number(r.breaksTaken),
               Number(r.breaksDue)});
  }
  return s;
}

std::string CsvHours(const std::vector<HourRow>& rows) {
  std::string s = kBom;
  s += "date,hour,left_clicks,right_clicks,middle_clicks,wheel_steps,key_strokes,move_pixels\r\n";
  for (const auto& r : rows) {
    const EventCounts& c = r.counts;
    s += Line({CsvField(r.date), std::to_string(r.hour), Number(c.left), Number(c.right), Number(c.middle),
               Number(c.wheel), Number(c.keys), Number(c.movePixels)});
  }
  return s;
}

std::string CsvKeys(const std::vector<KeyRow>& rows) {
  std::string s = kBom;
  s += "date,vk,key,strokes\r\n";
  for (const auto& r : rows) s += Line({CsvField(r.date), Number(r.vk), CsvField(KeyName(r.vk)), Number(r.strokes)});
  return s;
}

std::string CsvPrograms(const std::vector<ProgramRow>& rows) {
  std::string s = kBom;
  s += "date,exe,clicks,wheel_steps,key_strokes\r\n";
  for (const auto& r : rows)
    s += Line(
        {CsvField(r.date), CsvField(r.exe), Number(r.counts.clicks), Number(r.counts.wheel), Number(r.counts.keys)});
  return s;
}

}  // namespace tallivo::history
