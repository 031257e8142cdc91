// What the history window shows, as data: the range of days, the rows of
// each view (gaps filled, totals, sorting, the weekday-by-hour grid, the
// keys and their layout, the programs' shares), the colours of the heat
// maps and the bytes of the CSV export. Everything comes from rows the
// store read; nothing here touches a window or a file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "history/history_delta.h"
#include "history/history_store.h"

namespace tallivo::history {

// ---------------------------------------------------------------- dates

struct Date {
  int year = 0;
  int month = 0;  // 1-12
  int day = 0;    // 1-31
  bool operator==(const Date&) const = default;
  auto operator<=>(const Date&) const = default;
};
// "YYYY-MM-DD" <-> Date; ParseDate is false for anything else (and for
// dates that do not exist, such as 2026-02-30, or lie outside 1970-9999).
// AddDays stays within 1970-01-01 .. 9999-12-31.
std::string DateText(const Date& d);
bool ParseDate(const std::string& text, Date* d);
Date AddDays(const Date& d, int days);
// 0 = Monday ... 6 = Sunday.
int Weekday(const Date& d);

// ---------------------------------------------------------------- range

enum class RangeKind { Today, Last7Days, Last30Days, LastYear, All, Custom };

struct Range {
  Date from;
  Date to;  // inclusive
  bool Contains(const Date& d) const { return from <= d && d <= to; }
  int Days() const;  // number of days, >= 1
};

// The range of a button. "All" starts at the first day in the file (today
// when the file is empty). The last year is the 365 days up to today.
// Custom ranges come from the date pickers: a from after the to is swapped.
Range RangeFor(RangeKind kind, const Date& today, const Date& firstInFile);
Range CustomRange(Date from, Date to);

// ---------------------------------------------------------------- days

// One row per day of the range, in date order; days without rows are zero.
std::vector<DayRow> FillDays(const std::vector<DayRow>& stored, const Range& range);
DayRow TotalOf(const std::vector<DayRow>& rows);  // date is left empty

enum class DayFigure { Clicks, Keys, Wheel, Metres, ActiveTime };
// The bar chart's figures: 鼠标点击, 键盘敲击, 中键滚动, 鼠标移动(米), 活跃时间.
const char* DayFigureName(DayFigure f);
double FigureOf(const DayRow& row, DayFigure f);  // clicks = left + right + middle

// The list view's columns: 日期, 左键, 右键, 中键, 滚动, 键盘, 移动(米), 活跃时间,
// 休息 (the breaks taken of those due, "2/3").
enum class DayColumn { Date, Left, Right, Middle, Wheel, Keys, Metres, Active, Breaks };
constexpr int kDayColumns = 9;
const char* DayColumnName(DayColumn c);
std::string DayCellText(const DayRow& row, DayColumn c);
// Stable sort by one column; equal values keep date order.
void SortDays(std::vector<DayRow>* rows, DayColumn c, bool ascending);

// "2时05分" style text of active seconds (and of totals beyond a day).
std::string ActiveTimeText(uint64_t seconds);
// Metres with two decimals, dot as the separator whatever the locale.
std::string MetresText(double metres);

// ---------------------------------------------------------------- hours

// Events (clicks + wheel + keys) by weekday (0 = Monday) and hour.
struct WeekHourGrid {
  std::array<std::array<uint64_t, 24>, 7> cells{};
  uint64_t max = 0;
  uint64_t total = 0;
};
WeekHourGrid WeekHours(const std::vector<HourRow>& rows);
const char* WeekdayName(int weekday);  // 周一 ... 周日

// ---------------------------------------------------------------- keys

struct KeyTotal {
  unsigned vk = 0;
  uint64_t strokes = 0;
};
// Strokes per key over the range, most first (equal counts by key code);
// codes outside 1-254 and keys without strokes are left out.
std::vector<KeyTotal> KeyTotals(const std::vector<KeyRow>& rows);
// The name of a key as its cap reads ("A", "Space", "F5", "Num 7", ...),
// plain ASCII: the arrows are "Left", "Up", "Right", "Down"; the hook's
// sided modifiers "Left Shift", "Right Ctrl", "Left Win", ...; others "0x%02X".
std::string KeyName(unsigned vk);

// One key of a standard 104-key keyboard, in key units (1 = a letter key)
// from the top left corner of Esc. Labels are short, ASCII on the US board,
// UTF-8 in another layout. Every vk appears
// once, but for VK_RETURN: the numpad's Enter reaches the hook as the main
// one does, so both caps carry 0x0D (and show the same count). With Num
// Lock off the numpad's keys arrive as the navigation keys' codes and are
// counted there.
struct KeyCap {
  unsigned vk;
  std::string label;
  float x, y, w, h;
  unsigned scan = 0;  // the key's place (set-1 scan code) for the keys a layout moves; 0 for the others
};
// The board as the US layout labels it.
const std::vector<KeyCap>& StandardKeyboard();

// What the key at a place types in a keyboard layout: the code it sends and
// what it types unshifted (a letter in capitals), by scan code.
struct KeyFace {
  unsigned vk;
  std::string label;
};
using KeyFaces = std::vector<std::pair<unsigned, KeyFace>>;
// The standard board in a layout: each key stays where it is on the
// keyboard and takes the code and label the layout gives its scan code;
// keys the layout does not name (or names with code 0) keep the US face.
// On AZERTY the key left of Z (scan 0x10) is A and holds the A strokes.
std::vector<KeyCap> KeyboardIn(const KeyFaces& faces);
// The size of the whole layout in key units.
float KeyboardWidth();
float KeyboardHeight();
// The cap a key code is drawn on: a Shift, Ctrl or Alt without its side is
// the left one; every other code is its own.
unsigned LayoutVk(unsigned vk);
// The strokes on each cap of the board (the US one unless given), in its order.
std::vector<uint64_t> CapStrokes(const std::vector<KeyTotal>& totals);
std::vector<uint64_t> CapStrokes(const std::vector<KeyTotal>& totals, const std::vector<KeyCap>& caps);

// ---------------------------------------------------------------- heat

// The colour of a count on the heat scale, 0x00BBGGRR: 0 is the plain
// colour (nothing), max (or more) the hottest. Pale yellow, orange, red,
// deep red on a logarithmic scale (log(1+value)/log(1+max)), so one busy
// key does not leave the rest pale. Monotonic: more is never cooler, i.e.
// green and blue never rise; any count above 0 differs from the plain one.
uint32_t HeatColour(uint64_t value, uint64_t max);
constexpr uint32_t kPlainColour = 0x00F0F0F0;

// ---------------------------------------------------------------- programs

struct ProgramShare {
  std::string exe;  // UTF-8, as stored
  uint64_t clicks = 0;
  uint64_t wheel = 0;
  uint64_t keys = 0;
  uint64_t events = 0;      // clicks + wheel + keys
  double percent = 0.0;     // of all the range's program events
  std::string percentText;  // one decimal; the texts add up to exactly 100.0%
};
// The range's programs, most events first (equal counts by name); those
// without events are left out.
std::vector<ProgramShare> ProgramShares(const std::vector<ProgramRow>& rows);

// ---------------------------------------------------------------- CSV

enum class CsvTable { Days, Hours, Keys, Programs };
// The bytes of one table's file: UTF-8 with a byte-order mark, a header
// row, comma separated, CRLF line ends, RFC 4180 quoting, ISO dates, dot
// decimals. Days are the filled rows of the range (gaps as zero rows).
// move_metres is written in full (the shortest text that reads back as
// the stored value), not rounded as the window shows it. Exe names stay
// UTF-8; key is KeyName.
std::string CsvDays(const std::vector<DayRow>& rows);
std::string CsvHours(const std::vector<HourRow>& rows);
std::string CsvKeys(const std::vector<KeyRow>& rows);
std::string CsvPrograms(const std::vector<ProgramRow>& rows);
// One field, quoted when it holds a comma, a quote, CR or LF (or starts
// with a space); quotes doubled. A text starting with = + - @ TAB or CR
// gets a leading ' so that a spreadsheet does not run it as a formula.
std::string CsvField(const std::string& text);

}  // namespace tallivo::history
