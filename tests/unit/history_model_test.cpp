// The history window's data: dates and ranges, filled and sorted days, the weekday-by-hour grid, keys and their layout,
// heat colours, program shares and the CSV bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "history_window/history_model.h"

using namespace tallivo::history;

namespace {

Date D(const char* text) {
  Date d;
  EXPECT_TRUE(ParseDate(text, &d)) << text;
  return d;
}

std::string Utf8(const std::u8string& s) { return std::string(s.begin(), s.end()); }

DayRow Day(const char* date, uint64_t left, uint64_t right = 0, uint64_t middle = 0, uint64_t wheel = 0,
           uint64_t keys = 0, double metres = 0, uint64_t active = 0) {
  return DayRow{date, EventCounts{left, right, middle, wheel, keys, 0}, metres, active};
}

// The days of the month of each row, "27 28 01 ".
std::string Dates(const std::vector<DayRow>& rows) {
  std::string s;
  for (const auto& r : rows) s += r.date.substr(8) + " ";
  return s;
}

}  // namespace

TEST(HistoryDate, OnlyRealIsoDatesAndTheirDaysAndWeekdays) {
  for (const char* ok : {"1970-01-01", "2024-02-29", "2000-02-29", "2026-12-31", "9999-12-31"})
    EXPECT_EQ(DateText(D(ok)), ok);
  for (const char* bad : {"2026-2-3", "2026-02-30", "2100-02-29", "2026-02-29", "2026-04-31", "2026-13-01",
                          "2026-00-10", "2026-01-00", "1969-12-31", "0000-01-01", "2026-02-03x", " 2026-02-03",
                          "2026/02/03", "2026-02/03", "+026-02-03", "2026-0:-03", "2026-1/-03", "", "2026-02-03\n"}) {
    Date d{1, 2, 3};
    EXPECT_FALSE(ParseDate(bad, &d)) << bad;
    EXPECT_EQ(d, (Date{1, 2, 3})) << bad;  // left alone
  }
  // Day by day from 1970 to 2101: each next day prints, parses back and is
  // the next weekday; 47847 days in all, so no day is skipped or repeated.
  // The day after a month's last (a 31st of a 30-day month, Feb 29 of a common year) does not parse.
  int n = 0;
  for (Date d = D("1970-01-01"), next; d < D("2101-01-01"); d = next, ++n) {
    next = AddDays(d, 1);
    ASSERT_TRUE(ParseDate(DateText(next), nullptr)) << DateText(next);
    ASSERT_EQ(ParseDate(DateText({d.year, d.month, d.day + 1}), nullptr), next.day != 1) << DateText(d);
    ASSERT_EQ(Weekday(next), (Weekday(d) + 1) % 7) << DateText(next);
    ASSERT_EQ(AddDays(next, -1), d);
  }
  EXPECT_EQ(n, 47847);
  // Steps to and past the ends of the calendar; the weekday the days above count from (Monday is 0), and one beyond.
  const std::tuple<const char*, int, const char*> steps[] = {{"1970-01-05", -10, "1970-01-01"},
                                                             {"9999-12-30", 5, "9999-12-31"},
                                                             {"1970-01-01", 2932896, "9999-12-31"},
                                                             {"9999-12-31", -2932896, "1970-01-01"}};
  for (auto [from, days, to] : steps) EXPECT_EQ(DateText(AddDays(D(from), days)), to) << from << " " << days;
  for (auto [date, weekday] : {std::pair{"1970-01-01", 3}, {"2026-12-07", 0}, {"9999-12-31", 4}})
    EXPECT_EQ(Weekday(D(date)), weekday) << date;
}

TEST(HistoryRange, ButtonsPickersAndTheirDays) {
  using R = RangeKind;
  // The first day in the file: none, long ago, today, or after today (the clock was put back).
  const Date none{}, early{2019, 5, 4}, same{2026, 12, 7}, later{2027, 1, 1};
  const std::tuple<RangeKind, const char*, Date, const char*, int> cases[] = {
      {R::Today, "2026-12-07", none, "2026-12-07", 1},       {R::Last7Days, "2026-03-02", none, "2026-02-24", 7},
      {R::Last30Days, "2024-03-01", none, "2024-02-01", 30}, {R::LastYear, "2025-03-01", none, "2024-03-02", 365},
      {R::LastYear, "2026-01-01", none, "2025-01-02", 365},  {R::LastYear, "1970-03-01", none, "1970-01-01", 60},
      {R::All, "2026-12-07", early, "2019-05-04", 2775},     {R::All, "2026-12-07", same, "2026-12-07", 1},
      {R::All, "2026-12-07", none, "2026-12-07", 1},         {R::All, "2026-12-07", later, "2026-12-07", 1}};
  for (auto [kind, today, first, from, days] : cases) {
    const Range r = RangeFor(kind, D(today), first);
    EXPECT_EQ(DateText(r.from) + " " + DateText(r.to), std::string(from) + " " + today);
    EXPECT_EQ(r.Days(), days) << today;
  }
  const Range r = CustomRange(D("2026-03-01"), D("2026-02-01"));
  EXPECT_EQ(DateText(r.from) + " " + DateText(r.to), "2026-02-01 2026-03-01");
  for (auto [beyond, end] : {std::pair{Date{10000, 1, 1}, "9999-12-31"}, {Date{1969, 12, 31}, "1970-01-01"}})
    EXPECT_EQ(DateText(CustomRange(beyond, beyond).to), end);  // beyond either end of the calendar: that end
  EXPECT_TRUE(r.Contains(D("2026-02-01")) && r.Contains(D("2026-03-01")));
  EXPECT_FALSE(r.Contains(D("2026-01-31")) || r.Contains(D("2026-03-02")));
}

TEST(HistoryDays, FillDaysZeroesGapsDropsStraysSumsTotalsAndShowsExtremeFigures) {
  const std::vector<DayRow> stored = {
      Day("2026-02-26", 99),  // before the range
      Day("2026-02-28", 1, 2, 3, 4, 5, 1.25, 60),
      Day("2026-03-02", 10, 0, 0, 0, 0, 0.5, 3600),
      Day("2026-3-1", 77),  // not a date
      Day("", 77),
      Day("2026-03-04", 99),  // after
  };
  const auto rows = FillDays(stored, CustomRange(D("2026-02-27"), D("2026-03-03")));
  EXPECT_EQ(Dates(rows), "27 28 01 02 03 ");
  EXPECT_EQ(rows[0].date, "2026-02-27");
  EXPECT_EQ(rows[1].counts, (EventCounts{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(rows[3].counts.left, 10u);
  const DayRow total = TotalOf(rows);
  EXPECT_EQ(std::tuple(total.date, total.counts, total.moveMetres, total.activeSeconds),
            std::tuple("", EventCounts{11, 2, 3, 4, 5, 0}, 1.75, 3660u));
  using F = DayFigure;
  const std::pair<DayFigure, double> figures[] = {
      {F::Clicks, 16}, {F::Keys, 5}, {F::Wheel, 4}, {F::Metres, 1.75}, {F::ActiveTime, 3660}};
  for (auto [figure, value] : figures) EXPECT_EQ(FigureOf(total, figure), value) << DayFigureName(figure);
  DayRow r = Day("2026-12-07", 12345678901, 0, 7, 1000, 18446744073709551615u, 1234.567, 3 * 3600 + 5 * 60 + 59);
  r.breaksDue = 3, r.breaksTaken = 2;
  std::string cells;
  for (int c = 0; c < kDayColumns; ++c) cells += DayCellText(r, static_cast<DayColumn>(c)) + "|";
  EXPECT_EQ(cells, "2026-12-07|12345678901|0|7|1000|18446744073709551615|1234.57|3时05分|2/3|");
  const std::pair<uint64_t, const char*> actives[] = {
      {0, "0分"},        {59, "0分"},       {60, "1分"},         {3599, "59分"},      {3600, "1时00分"},
      {4140, "1时09分"}, {4200, "1时10分"}, {86399, "23时59分"}, {90000, "25时00分"}, {360600, "100时10分"}};
  for (auto [seconds, text] : actives) EXPECT_EQ(ActiveTimeText(seconds), text) << seconds;
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  const std::pair<double, const char*> metres[] = {
      {0, "0.00"},    {0.004, "0.00"},  {0.006, "0.01"}, {1.5, "1.50"}, {1234.567, "1234.57"}, {1e9, "1000000000.00"},
      {-0.0, "0.00"}, {-0.001, "0.00"}, {nan, "0.00"},   {inf, "0.00"}};
  for (auto [m, text] : metres) EXPECT_EQ(MetresText(m), text) << m;
}

TEST(HistoryDays, SortByEveryColumnBothWaysTiesByDate) {
  // Every column has one tie (between 02 and 04, or 03 and 04).
  const std::vector<DayRow> rows = {
      Day("2026-12-04", 5, 1, 0, 9, 3, 2.0, 10), Day("2026-12-01", 9, 3, 2, 1, 1, 0.5, 30),
      Day("2026-12-03", 1, 1, 1, 5, 2, 2.0, 20), Day("2026-12-02", 5, 2, 0, 9, 3, 0.25, 20)};
  const std::tuple<DayColumn, const char*, const char*> cases[] = {
      {DayColumn::Date, "01 02 03 04 ", "04 03 02 01 "},   {DayColumn::Left, "03 02 04 01 ", "01 02 04 03 "},
      {DayColumn::Right, "03 04 02 01 ", "01 02 03 04 "},  {DayColumn::Middle, "02 04 03 01 ", "01 03 02 04 "},
      {DayColumn::Wheel, "01 03 02 04 ", "02 04 03 01 "},  {DayColumn::Keys, "01 03 02 04 ", "02 04 03 01 "},
      {DayColumn::Metres, "02 01 03 04 ", "03 04 01 02 "}, {DayColumn::Active, "04 02 03 01 ", "01 02 03 04 "},
  };
  for (auto [column, up, down] : cases) {
    SCOPED_TRACE(DayColumnName(column));
    auto v = rows;
    SortDays(&v, column, true);
    EXPECT_EQ(Dates(v), up);
    // Starting from another order (an earlier sort) changes nothing.
    SortDays(&v, DayColumn::Date, false);
    SortDays(&v, column, false);
    EXPECT_EQ(Dates(v), down);
  }
}

TEST(HistoryWeek, WeekHoursByWeekdayAndHour) {
  auto hour = [](const char* date, int h, uint64_t n, uint64_t pixels = 0) {
    return HourRow{date, h, EventCounts{n, n, n, n, n, pixels}};
  };
  const auto g = WeekHours({
      hour("2026-12-07", 9, 1, 5000),  // Monday: pixels are not events
      hour("2026-12-14", 9, 2),        // the next Monday, same hour
      hour("2026-12-13", 23, 10),      // Sunday
      hour("2024-02-29", 0, 1),        // Thursday
      hour("2026-12-08", 24, 100),     // no such hour
      hour("2026-12-08", -1, 100),
      hour("garbage", 3, 100),
  });
  EXPECT_EQ(std::tuple(g.cells[0][9], g.cells[6][23], g.cells[3][0], g.max, g.total),
            std::tuple(15u, 50u, 5u, 50u, 70u));
}

TEST(HistoryKeys, TotalsNamesAndTheStandard104KeyBoard) {
  const std::vector<KeyRow> rows = {{"2026-12-07", 0x41, 3}, {"2026-12-08", 0x41, 2}, {"2026-12-07", 0x20, 5},
                                    {"2026-12-07", 0x0D, 7}, {"2026-12-07", 0x08, 5}, {"2026-12-07", 0, 50},
                                    {"2026-12-07", 255, 50}, {"2026-12-07", 300, 50}, {"2026-12-07", 0x42, 0},
                                    {"2026-12-07", 0x09, 1}, {"2026-12-07", 0xFE, 1}, {"2026-12-07", 0x01, 1}};
  std::string s;
  for (const auto& t : KeyTotals(rows)) s += KeyName(t.vk) + "=" + std::to_string(t.strokes) + " ";
  EXPECT_EQ(s, "Enter=7 Backspace=5 Space=5 A=5 0x01=1 Tab=1 0xFE=1 ");  // 1 and 254: the ends of the codes kept
  // The ends of each run of codes named by rule and the codes beside them; Shift with and without its side.
  const std::pair<unsigned, const char*> names[] = {
      {0x41, "A"},          {0x5A, "Z"},           {0x30, "0"},     {0x39, "9"},     {0x2F, "Help"},
      {0x3A, "0x3A"},       {0x40, "0x40"},        {0x70, "F1"},    {0x7B, "F12"},   {0x87, "F24"},
      {0x88, "0x88"},       {0x60, "Num 0"},       {0x69, "Num 9"}, {0x6A, "Num *"}, {0x10, "Shift"},
      {0xA0, "Left Shift"}, {0xA1, "Right Shift"}, {0x07, "0x07"},  {0xFF, "0xFF"},  {0xE2, "0xE2"}};
  for (auto [vk, name] : names) EXPECT_EQ(KeyName(vk), name) << vk;
  const auto& keys = StandardKeyboard();
  ASSERT_EQ(keys.size(), 104u);
  std::multiset<unsigned> vks;
  std::string qwerty;  // the letters of the top letter row, left to right
  // Where the caps are, the view geometry proves: inside the board, none over another.
  for (const KeyCap& k : keys) {
    const std::string label = k.label;
    SCOPED_TRACE(label);
    vks.insert(k.vk);
    EXPECT_TRUE(!label.empty() && label.size() <= 5);
    for (char c : label) EXPECT_TRUE(c > 0x20 && c < 0x7F);
    EXPECT_NE(KeyName(k.vk).substr(0, 2), "0x");  // every cap has a name
    EXPECT_TRUE(k.vk > 'Z' || KeyName(k.vk).size() > 1 || label == KeyName(k.vk));  // a digit or letter shows itself
    if (k.vk >= 'A' && k.vk <= 'Z' && k.y == keys[0].y + 2.5f) qwerty += k.label;
  }
  for (unsigned vk : vks) EXPECT_EQ(vks.count(vk), vk == 0x0D ? 2u : 1u) << vk;
  for (unsigned vk = '0'; vk <= 'Z'; vk += vk == '9' ? 8 : 1) EXPECT_EQ(vks.count(vk), 1u) << vk;
  for (unsigned vk : {0xA0u, 0xA1u, 0xA2u, 0xA3u, 0xA4u, 0xA5u, 0x5Bu, 0x5Cu, 0x70u, 0x7Bu, 0x60u, 0x69u})
    EXPECT_EQ(vks.count(vk), 1u) << vk;
  EXPECT_EQ(qwerty, "QWERTYUIOP");

  // Strokes per cap: a Shift, Ctrl or Alt without its side lands on the
  // left one; both Enters show VK_RETURN; a code without a cap shows nowhere; Esc is the first cap.
  const auto caps = CapStrokes({{0x10, 4}, {0xA0, 1}, {0x11, 3}, {0x12, 7}, {0x0D, 6}, {0x1B, 2}, {0xE2, 9}});
  const std::map<unsigned, uint64_t> shown = {{0xA0, 5}, {0xA2, 3}, {0xA4, 7}, {0x0D, 6}, {0x1B, 2}};
  for (size_t i = 0; i < keys.size(); ++i)
    EXPECT_EQ(caps[i], shown.count(keys[i].vk) ? shown.at(keys[i].vk) : 0u) << keys[i].label;
}

// A layout's own table (AZERTY's, QWERTZ's: not the system's) moves codes and labels onto the keys by their place; a
// place it leaves out or gives a code outside 1-254 keeps its US face, one without a label is named by its code; the strokes of a code follow it.
TEST(HistoryKeys, InAnyLayoutEachKeyStaysInItsPlaceWithWhatItTypesAndItsStrokes) {
  const KeyFaces us, french = {{0x10, {'A', "A"}},  {0x1E, {'Q', "Q"}}, {0x2C, {'W', "W"}},   {0x27, {'M', "M"}},
                                {0x32, {0xBC, ","}}, {0x03, {'2', "é"}}, {0x1A, {0xDD, ""}}, {0x11, {0x1FF, "Z"}}};
  const KeyFaces german = {{0x15, {'Z', "Z"}}, {0x2C, {'Y', "Y"}}, {0x0C, {0xDB, "ß"}}, {0x27, {0xC0, "Ö"}}};
  const std::tuple<const KeyFaces*, unsigned, unsigned, std::string> rows[] = {
      {&us, 0x10, 'Q', "Q"},       {&us, 0x29, 0xC0, "`"},      {&us, 0x35, 0xBF, "/"},      {&us, 0x02, '1', "1"},
      {&french, 0x10, 'A', "A"},   {&french, 0x1E, 'Q', "Q"},   {&french, 0x32, 0xBC, ","}, {&french, 0x03, '2', "é"},
      {&french, 0x1A, 0xDD, "]"},  {&french, 0x11, 'W', "W"},   {&french, 0x15, 'Y', "Y"},  {&german, 0x15, 'Z', "Z"},
      {&german, 0x2C, 'Y', "Y"},   {&german, 0x0C, 0xDB, "ß"}, {&german, 0x27, 0xC0, "Ö"}};
  for (const auto& [faces, scan, vk, label] : rows) {
    const std::vector<KeyCap> caps = KeyboardIn(*faces);
    const auto cap = std::find_if(caps.begin(), caps.end(), [&](const KeyCap& c) { return c.scan == scan; });
    ASSERT_NE(cap, caps.end()) << scan;
    EXPECT_EQ(std::pair(cap->vk, cap->label), std::pair(vk, label)) << scan;
    EXPECT_EQ(CapStrokes({{vk, 7}}, caps)[cap - caps.begin()], 7u) << scan;
  }
}

TEST(HistoryHeat, ScaleFromPlainToHottestNeverCooling) {
  auto g = [](uint32_t c) { return (c >> 8) & 0xFF; };
  auto b = [](uint32_t c) { return (c >> 16) & 0xFF; };
  const uint32_t hottest = HeatColour(1, 1);
  // Above the maximum: no wrap round.
  const std::tuple<uint64_t, uint64_t, uint32_t> ends[] = {
      {0, 100, kPlainColour}, {0, 0, kPlainColour}, {100, 100, hottest}, {500, 100, hottest}, {7, 0, hottest}};
  for (auto [value, max, colour] : ends) EXPECT_EQ(HeatColour(value, max), colour) << value << "/" << max;
  EXPECT_EQ(hottest & 0xFF00FF00u, 0u) << std::hex << hottest;  // no green, and nothing in the byte above blue
  for (uint64_t max : {1ull, 2ull, 10ull, 1000ull, 1000000000000ull}) {
    uint32_t prev = HeatColour(1, max);
    EXPECT_NE(b(prev), b(kPlainColour)) << max;  // not the plain colour, nor a grey near it
    const uint64_t step = max / 997 + 1;
    for (uint64_t v = 2; v <= max; v += (v < 1000 ? 1 : step)) {
      const uint32_t c = HeatColour(v, max);
      ASSERT_LE(g(c), g(prev)) << v << "/" << max;
      ASSERT_LE(b(c), b(prev)) << v << "/" << max;
      prev = c;
    }
  }
  // One busy key does not wash out the others: 10 against 1 still differ visibly next to a key with 100000.
  const uint32_t one = HeatColour(1, 100000), ten = HeatColour(10, 100000), hundred = HeatColour(100, 100000);
  EXPECT_GE(g(one) - g(ten) + b(one) - b(ten), 40u);
  EXPECT_GE(g(ten) - g(hundred) + b(ten) - b(hundred), 40u);
}

TEST(HistoryProgram, SharesAddUpToExactlyAHundred) {
  auto prog = [](const char* exe, uint64_t clicks, uint64_t wheel = 0, uint64_t keys = 0) {
    return ProgramRow{"2026-12-07", exe, ProgramDelta{clicks, wheel, keys}};
  };
  for (const auto& [rows, expect] : std::vector<std::pair<std::vector<ProgramRow>, const char*>>{
           {{prog("b.exe", 1), prog("c.exe", 1), prog("a.exe", 1)}, "a.exe 1 33.4% b.exe 1 33.3% c.exe 1 33.3% "},
           {{prog("rare.exe", 1), prog("main.exe", 999)}, "main.exe 999 99.9% rare.exe 1 0.1% "},
           // The tenths left over go to the largest remainders, not to the largest shares.
           {{prog("a.exe", 5), prog("b.exe", 1), prog("c.exe", 1)}, "a.exe 5 71.4% b.exe 1 14.3% c.exe 1 14.3% "},
           {{prog("tiny.exe", 1), prog("main.exe", 2000)}, "main.exe 2000 100.0% tiny.exe 1 0.0% "},
           {{prog("only.exe", 0, 0, 3)}, "only.exe 3 100.0% "},
           {{prog("a.exe", 1, 1, 1), prog("b.exe", 3), prog("a.exe", 2), prog("idle.exe", 0)},
            "a.exe 5 62.5% b.exe 3 37.5% "},
           {{prog("x.exe", 1), prog("y.exe", 1), prog("z.exe", 1), prog("w.exe", 1), prog("v.exe", 1),
             prog("u.exe", 1)},
            "u.exe 1 16.7% v.exe 1 16.7% w.exe 1 16.7% x.exe 1 16.7% y.exe 1 16.6% z.exe 1 16.6% "},
           {{prog("idle.exe", 0)}, ""},
           {{prog("a.exe", 1ull << 55), prog("b.exe", 3ull << 54)},  // a thousandth of the total would overflow
            "b.exe 54043195528445952 60.0% a.exe 36028797018963968 40.0% "},
           {{}, ""},
       }) {
    std::string s;
    for (const auto& p : ProgramShares(rows)) s += p.exe + " " + std::to_string(p.events) + " " + p.percentText + " ";
    EXPECT_EQ(s, expect);
  }
  const auto shares = ProgramShares({prog("a.exe", 1, 2, 3), prog("b.exe", 12)});
  EXPECT_NEAR(shares[0].percent, 200.0 / 3, 1e-9);
  EXPECT_EQ(std::tuple(shares[1].clicks, shares[1].wheel, shares[1].keys), std::tuple(1u, 2u, 3u));
}

// Commas, quotes, a formula's sign and a name in UTF-8 are in the tables' bytes below.
TEST(HistoryCsv, FieldsAreQuotedAndNeverRunAsFormulasInTheExactBytesOfEachTable) {
  const std::pair<std::string, std::string> cases[] = {
      {"notepad.exe", "notepad.exe"}, {"two\r\nlines", "\"two\r\nlines\""},
      {"lf\n", "\"lf\n\""},           {" lead.exe", "\" lead.exe\""},
      {"+x.exe", "'+x.exe"},          {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx.exe", "'\tx.exe"},        {"\rx.exe", "\"'\rx.exe\""},
      {"a=b.exe", "a=b.exe"},         {"", ""}};
  for (const auto& [in, out] : cases) EXPECT_EQ(CsvField(in), out) << in;
  const std::string bom = "\xEF\xBB\xBF";
  const std::string daysHeader =
      "date,left_clicks,right_clicks,middle_clicks,wheel_steps,key_strokes,move_pixels,move_metres,active_seconds,"
      "breaks_taken,breaks_due\r\n";
  DayRow day = Day("2026-12-07", 1, 2, 3, 4, 5, 0.1 + 0.2, 3600);
  day.counts.movePixels = 12345;
  day.breaksDue = 4, day.breaksTaken = 1;
  EXPECT_EQ(CsvDays({day, Day("2026-12-08", 0, 0, 0, 0, 0, -0.0)}),
            bom + daysHeader +
                "2026-12-07,1,2,3,4,5,12345,0.30000000000000004,3600,1,4\r\n2026-12-08,0,0,0,0,0,0,0,0,0,0\r\n");
  EXPECT_EQ(CsvHours({HourRow{"2026-12-07", 23, EventCounts{1, 2, 3, 4, 5, 6}}}),
            bom +
                "date,hour,left_clicks,right_clicks,middle_clicks,wheel_steps,key_strokes,move_pixels\r\n"
                "2026-12-07,23,1,2,3,4,5,6\r\n");
  EXPECT_EQ(
      CsvKeys({{"2026-12-07", 0x41, 3}, {"2026-12-07", 0xBC, 2}, {"2026-12-07", 0xBD, 1}, {"2026-12-07", 0xDE, 9}}),
      bom +
          "date,vk,key,strokes\r\n2026-12-07,65,A,3\r\n2026-12-07,188,\",\",2\r\n2026-12-07,189,'-,1\r\n"
          "2026-12-07,222,',9\r\n");
  EXPECT_EQ(
      CsvPrograms({{"2026-12-07", Utf8(u8"记事本.exe"), {1, 2, 3}}, {"2026-12-07", "=evil(),\"x\".exe", {4, 0, 0}}}),
      bom + "date,exe,clicks,wheel_steps,key_strokes\r\n2026-12-07," + Utf8(u8"记事本.exe") +
          ",1,2,3\r\n2026-12-07,\"'=evil(),\"\"x\"\".exe\",4,0,0\r\n");
}
