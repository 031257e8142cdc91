// The bottom layer (the private messages and their counters, the GBK-safe text and path helpers), then counting,
// distance, the figures' texts, and the day's figures in the store with the local day they belong to.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cwchar>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/counters.h"
#include "base/messages.h"
#include "base/module_path.h"
#include "base/text_format.h"
#include "hooks/input_filter.h"
#include "stats/day_store.h"
#include "stats/distance.h"
#include "stats/hook_watchdog.h"
#include "stats/report.h"
#include "stats/stats_text.h"
#include "stats/time_text.h"
#include "unit_time.h"

using namespace tallivo;

TEST(Counters, EachMessageFeedsItsOwnCounterAndTotalsWrap) {
  const std::tuple<unsigned, unsigned, InputKind> messages[] = {{WM_INPUT_LBUTTON, WM_PROC_LBUTTON, InputKind::Left},
                                                                {WM_INPUT_RBUTTON, WM_PROC_RBUTTON, InputKind::Right},
                                                                {WM_INPUT_MBUTTON, WM_PROC_MBUTTON, InputKind::Middle},
                                                                {WM_INPUT_WHEEL, WM_PROC_WHEEL, InputKind::Wheel},
                                                                {WM_INPUT_KEY, WM_PROC_KEY, InputKind::Key}};
  InputCounters c;
  for (const auto& [global, process, want] : messages) {
    InputKind kind = InputKind::Key, processKind = InputKind::Key;
    EXPECT_TRUE(InputKindForMessage(global, &kind) && ProcessInputKindForMessage(process, &processKind)) << global;
    EXPECT_EQ(std::pair(kind, processKind), std::pair(want, want)) << global;
    c.Add(kind);
  }
  EXPECT_EQ(c, (InputCounters{1, 1, 1, 1, 1}));
  InputKind kind;
  for (unsigned msg : {WM_TRAY_NOTIFY, WM_SET_HOTKEY, WM_PROC_LBUTTON, WM_INPUT_MOVING})
    EXPECT_FALSE(InputKindForMessage(msg, &kind)) << std::hex << msg;
  for (unsigned msg : {WM_INPUT_LBUTTON, WM_INPUT_MOVING, WM_PROC_WHEEL + 1, WM_PROC_SELECT})
    EXPECT_FALSE(ProcessInputKindForMessage(msg, &kind)) << std::hex << msg;
  // Silent wrap at 2^32, sums as unsigned 32-bit; wheel steps count as clicks, keys do not.
  c = InputCounters{0xFFFFFFFFu, 1, 1, 0xFFFFFFFFu, 0xFFFFFFFFu};
  c.Add(InputKind::Left);
  EXPECT_EQ(std::tuple(c.left, c.TotalClicks(), c.GrandTotal()), std::tuple(0u, 1u, 0u));
}

// Names in any script: folders and programs of Chinese, Thai, Hangul, accented and emoji characters.
TEST(ModulePath, SplitsOnlyAtRealSeparators) {
  const std::tuple<std::string, std::string, std::string, std::string> cases[] = {
      {"C:\\Tallivo\\键鼠.exe", "C:\\Tallivo\\", "键鼠.exe", "键鼠"},
      {"C:\\x\\淺.exe", "C:\\x\\", "淺.exe", "淺"},
      {"D:\\ทดสอบ 한국\\Tallivo.exe", "D:\\ทดสอบ 한국\\", "Tallivo.exe", "Tallivo"},
      {"C:\\Users\\Zoë\\😀.tool.exe", "C:\\Users\\Zoë\\", "😀.tool.exe", "😀.tool"},
      {"C:\\x\\renamed.copy.exe", "C:\\x\\", "renamed.copy.exe", "renamed.copy"},
      {"/app.exe", "/", "app.exe", "app"},
      {"Z:t.EXE", "Z:", "t.EXE", "t"},
      {"Tallivo.exe", "", "Tallivo.exe", "Tallivo"},
      {"C:\\x\\.exe", "C:\\x\\", ".exe", ".exe"},
      // A character cut off at the very end stays as it is.
      {"C:\\x\\a\xE4", "C:\\x\\", "a\xE4", "a\xE4"},
      {"", "", "", ""},
  };
  for (const auto& [path, folder, name, app] : cases) {
    const PathParts parts = SplitPath(path);
    EXPECT_EQ(std::tie(parts.folder, parts.name), std::tie(folder, name)) << path;
    EXPECT_EQ(AppNameFromModulePath(path), app) << path;
  }
}

TEST(TextFormat, CutsNeverSplitACharacter) {
  EXPECT_EQ(FormatText("%s", std::string(512, 'a').c_str()), std::string(511, 'a'));
  EXPECT_EQ(FormatText("%lc", wint_t{0x4E2D}), "");  // not in the C locale: the conversion fails
  // 次 is three bytes in UTF-8 and one UTF-16 unit, 😀 four bytes and two units. 0xFF leads no character: it is one
  // of its own, as a truncated character is.
  // Each case: the text, the limit, the text cut to that many bytes, and to that many units.
  const std::tuple<std::string, size_t, std::string, std::string> cases[] = {{"ab", 2, "ab", "ab"},
                                                                             {"abc", 2, "ab", "ab"},
                                                                             {"abc", 0, "", ""},
                                                                             {"a次", 3, "a", "a次"},
                                                                             {"a次", 4, "a次", "a次"},
                                                                             {"a次b", 2, "a", "a次"},
                                                                             {"😀z", 3, "", "😀z"},
                                                                             {"😀z", 1, "", ""},
                                                                             {"ทดสอบ", 3, "ท", "ทดส"},
                                                                             {"\xFFz", 1, "\xFF", "\xFF"},
                                                                             {"a\xE4\xB8", 2, "a", "a\xE4\xB8"}};
  for (const auto& [text, max, bytes, units] : cases) {
    EXPECT_EQ(CutUtf8Text(text, max), bytes) << text << " to " << max;
    EXPECT_EQ(CutToUtf16Units(text, max), units) << text << " to " << max;
  }
  const std::pair<std::string, size_t> lengths[] = {{"", 0}, {"a次😀", 4}, {"한국", 2}, {"\xE4\xB8", 1}};
  for (const auto& [text, units] : lengths) EXPECT_EQ(Utf16Length(text), units) << text;
}

// Fractions of a notch add up (a report of 0 changes nothing); a turn drops the fraction, even the smallest.
TEST(InputFilter, WheelStepsPerReportAndOneStrokePerKeyHeld) {
  const std::tuple<std::vector<int>, unsigned, int> cases[] = {
      {{360, -120}, 4, 0},     {{40, 0, 40, 40, 40}, 1, 40}, {{1, -100}, 0, -100},   {{-1, 100}, 0, 100},
      {{119, 1, 119}, 1, 119}, {{SHRT_MIN}, 273, -8},        {{-40, 0, -40}, 0, -80}};
  for (const auto& [deltas, want, pending] : cases) {
    WheelAccumulator w;
    unsigned steps = 0;
    for (int d : deltas) steps += w.Add(d);
    EXPECT_EQ(std::pair(steps, w.Pending()), std::pair(want, pending)) << "from " << deltas[0];
  }
  WheelAccumulator w;
  w.Add(119);
  EXPECT_EQ(w.Add(INT_MAX), static_cast<unsigned>((119LL + INT_MAX) / 120));  // no overflow
  KeyRepeatFilter f;
  for (unsigned vk : {0x10u, 0x21u, 0x41u}) EXPECT_TRUE(f.KeyDown(vk)) << vk;  // Shift over PgUp, A; 255 is the top
  EXPECT_TRUE(f.KeyDown(255));
  EXPECT_FALSE(f.KeyDown(255));
  for (unsigned vk : {255u, 0x41u}) f.KeyUp(vk);
  for (unsigned vk : {255u, 0x41u}) EXPECT_TRUE(f.KeyDown(vk)) << vk;
  EXPECT_FALSE(f.KeyDown(0x10));
  EXPECT_TRUE(f.KeyDown(256));  // out of range: always counts
  EXPECT_TRUE(f.KeyDown(256));
  f.KeyUp(1000);
  f.Reset();
  for (unsigned vk : {0x10u, 0x20u}) EXPECT_TRUE(f.KeyDown(vk)) << vk;  // Shift held before, Space never pressed
}

TEST(InputFilter, BacklogKeepsEveryEventWithItsKeyCodeUntilItCanBePosted) {
  using Posted = std::vector<std::pair<unsigned, unsigned>>;
  constexpr unsigned L = 0x466, K = 0x46B;
  // Each case: (message, code) by arrival, the posts each flush gets through, all that went out, the events left.
  const std::tuple<Posted, std::vector<int>, Posted, uint64_t> cases[] = {
      // All clicks first, then all strokes of each code in turn.
      {{{L, 0}, {K, 'A'}, {L, 0}, {K, 'B'}, {K, 'A'}}, {100}, {{L, 0}, {L, 0}, {K, 'A'}, {K, 'A'}, {K, 'B'}}, 0},
      // A full queue stops a flush among the keys; the next goes on from there.
      {{{K, 'Z'}, {K, 'A'}, {K, 'Z'}, {K, 13}}, {2, 1, 100}, {{K, 13}, {K, 'A'}, {K, 'Z'}, {K, 'Z'}}, 0},
      // A queue that stays full keeps the rest.
      {{{K, 0xFE}, {K, 0x01}, {L, 0}}, {1, 0, 1}, {{L, 0}, {K, 0x01}}, 1},
      // Not one of ours (the first past the block): ignored; a code out of range kept as 0.
      {{{K + 1, 7}, {K, 256}, {K, 255}}, {100}, {{K, 0}, {K, 255}}, 0}};
  for (const auto& [added, rooms, want, left] : cases) {
    PostBacklog b(L);
    for (const auto& [msg, code] : added) b.Add(msg, code);
    Posted posted;
    for (int room : rooms) {
      const bool all =
          b.Flush([&](unsigned m, unsigned code) { return room-- > 0 && (posted.emplace_back(m, code), true); });
      EXPECT_EQ(all, b.Empty());
    }
    EXPECT_EQ(std::pair(posted, b.Total()), std::pair(want, left));
  }
  // A burst far beyond a full queue: every stroke goes out with its code.
  PostBacklog burst(L);
  for (int i = 0; i < 30000; ++i) burst.Add(K, 1 + i % 254);
  std::vector<int> perCode(256);
  int flushes = 0;
  for (int room = 10000; !burst.Empty() && flushes < 10; ++flushes, room = 10000)
    burst.Flush([&](unsigned, unsigned code) { return room-- > 0 && (++perCode[code], true); });
  EXPECT_TRUE(burst.Empty());
  for (int code = 1; code <= 254; ++code) EXPECT_EQ(perCode[code], code <= 30000 % 254 ? 119 : 118) << code;
}

TEST(Distance, StepsAddUpAreConvertedToMetresAndWrap) {
  const std::tuple<int64_t, int64_t, uint32_t> cases[] = {
      {3, 4, 5}, {-3, -4, 5}, {1, 1, 1}, {7, 7, 9}, {-1023, 767, 1278}, {4294967295LL, 4294967295LL, 0xFFFFFFFFu}};
  for (const auto& [dx, dy, step] : cases) EXPECT_EQ(DistanceStep(dx, dy), step) << dx << "," << dy;
  EXPECT_FLOAT_EQ(PixelsPerMetre(-4134), 4134.0f);
  EXPECT_FLOAT_EQ(PixelsPerMetre(0), 3780.0f);  // no size reported: 96 dpi, never divide by 0
  // Samples add up, are converted to metres and wrap.
  DistanceMeter m;
  m.SetPixelsPerMetre(3780.0f);
  m.SetStart({100, 100});
  EXPECT_FALSE(m.Sample({100, 100}));  // no move, nothing changes
  EXPECT_TRUE(m.Sample({103, 104}) && m.Sample({104, 105}));
  EXPECT_EQ(m.Pixels(), 6u);
  m.SetPixels(7560);
  EXPECT_FLOAT_EQ(m.Metres(), 6.0f / 3780.0f);  // recomputed only by a sample that moved
  EXPECT_TRUE(m.Sample({104, 104}));
  EXPECT_EQ(MetresLabel(m.Metres()), "鼠标运行:   2.00米");
  m.SetPixels(0xFFFFFFFEu);
  m.Sample({107, 108});
  EXPECT_EQ(m.Pixels(), 3u);
}

TEST(Distance, TheHookSamplesThePlaceHeldAtEachTenMillisecondTickAndTheStepsAddUpAsSampledThen) {
  // Reports (x, time) and takes (time): what each take hands over, "x@tick" each; "" for nothing.
  const struct {
    const char* what;
    std::vector<std::pair<int, uint32_t>> reports;
    uint32_t takeAt;
    std::string taken;
  } steps[] = {
      {"the first report waits for its tick", {{1, 1003}}, 1009, ""},
      {"then is the place at 1010", {}, 1010, "1@1010 "},
      {"only the last of a tick counts", {{2, 1011}, {3, 1015}, {4, 1019}}, 1020, "4@1020 "},
      {"a report in a later tick samples the one held", {{5, 1025}, {6, 1033}, {7, 1041}}, 1041, "5@1030 6@1040 "},
      {"a rest samples nothing", {}, 5000, "7@1050 "},
      {"after it the first sample is the new place", {{9, 9000}, {10, 9001}}, 9010, "10@9010 "},
      {"a clock that wraps", {{11, 0xFFFFFFFBu}, {12, 4}}, 30, "11@4 12@10 "},
  };
  PointerSampler sampler;
  for (const auto& step : steps) {
    for (const auto& [x, t] : step.reports) sampler.Report(x, -x, t);
    PointerSampler::Sample out[8];
    std::string taken;
    for (unsigned i = 0, n = sampler.Take(step.takeAt, out, 8); i < n; ++i) {
      EXPECT_EQ(out[i].y, -out[i].x);
      taken += std::to_string(out[i].x) + "@" + std::to_string(out[i].atMs) + " ";
    }
    EXPECT_EQ(taken, step.taken) << step.what;
  }
  // A window that does not come for long: the newest sample takes the last place, and its step still counts whole.
  for (uint32_t t = 0; t < 2 * PointerSampler::kKept; ++t) sampler.Report(static_cast<int>(t), 0, 100000 + 10 * t);
  std::vector<PointerSampler::Sample> all(PointerSampler::kKept + 8);
  const unsigned n = sampler.Take(200000, all.data(), static_cast<unsigned>(all.size()));
  ASSERT_EQ(n, PointerSampler::kKept);
  EXPECT_EQ(all[n - 2].x, static_cast<int>(PointerSampler::kKept) - 2);
  EXPECT_EQ(all[n - 1].x, static_cast<int>(2 * PointerSampler::kKept) - 1);
  DistanceMeter m;
  m.SetStart({0, 0});
  for (unsigned i = 0; i < n; ++i) m.Sample({all[i].x, all[i].y});
  EXPECT_EQ(m.Pixels(), 2 * PointerSampler::kKept - 1);
}

// The events the hook keeps for the window: alike ones of one second share an entry, a change of foreground says so,
// a take hands out what fits and keeps the rest, and a window that does not come for long loses nothing.
TEST(InputFilter, EventQueueKeepsEveryEventWithItsSecondKeyAndForeground) {
  using input_block::kKey;
  using input_block::kLeft;
  const struct {
    const char* what;
    std::vector<std::array<uint32_t, 4>> events;  // time, kind, code, foreground
    std::string switched;                         // per event: '1' when it said so
    unsigned capacity;
    std::string taken;  // kind:code x count @ time / foreground
  } steps[] = {
      {"a burst in one second is one entry", {{1000, kLeft, 0, 7}, {1500, kLeft, 0, 7}, {1999, kLeft, 0, 7}}, "100", 8,
       "0:0x3@1000/7 "},
      {"the next second, another key, another window",
       {{2000, kLeft, 0, 7}, {2001, kKey, 65, 7}, {2002, kKey, 66, 7}, {2003, kKey, 66, 9}}, "0001", 8,
       "0:0x1@2000/7 5:65x1@2001/7 5:66x1@2002/7 5:66x1@2003/9 "},
      {"a take keeps what does not fit", {{3000, kLeft, 0, 9}, {3000, kKey, 1, 9}, {3000, kLeft, 0, 9}}, "000", 2,
       "0:0x1@3000/9 5:1x1@3000/9 "},
      {"and hands it out next", {}, "", 8, "0:0x1@3000/9 "},
      {"a kind out of the block is no event", {{4000, 9, 0, 9}}, "0", 8, ""},
  };
  static EventQueue queue;  // large: not on the stack
  for (const auto& step : steps) {
    std::string switched;
    for (const auto& e : step.events) switched += queue.Add(e[0], e[1], e[2], e[3]) ? '1' : '0';
    EXPECT_EQ(switched, step.switched) << step.what;
    EventQueue::Event out[8];
    std::string taken;
    for (unsigned i = 0, n = queue.Take(out, step.capacity); i < n; ++i) {
      taken += std::to_string(out[i].kind) + ":" + std::to_string(out[i].code) + "x" + std::to_string(out[i].count) +
               "@" + std::to_string(out[i].atMs) + "/" + std::to_string(out[i].foreground) + " ";
    }
    EXPECT_EQ(taken, step.taken) << step.what;
  }
  EXPECT_TRUE(queue.Empty());
  // Far more entries than it holds (keys alternating, two windows): every stroke is taken, each key's own.
  const unsigned total = 3 * EventQueue::kEntries;
  for (unsigned i = 0; i < total; ++i) queue.Add(10000 + i, kKey, 65 + i % 2, 1 + i % 3);
  std::vector<EventQueue::Event> all(total);
  uint64_t perKey[2] = {};
  for (unsigned n; (n = queue.Take(all.data(), 1000)) > 0;) {
    for (unsigned i = 0; i < n; ++i) perKey[all[i].code - 65] += all[i].count;
  }
  EXPECT_EQ(perKey[0], total / 2);
  EXPECT_EQ(perKey[1], total / 2);
  EXPECT_TRUE(queue.Empty());
}

// Texts in UTF-8, figures unsigned (never negative), the run time not wrapped at 24 hours, the uptime from the 64-bit
// tick count (on past 2^32 ms, 49.7 days, no wrap); the tip fits its field even with every figure at its largest.
TEST(StatsText, LabelsTipTimesAndMilestones) {
  const std::string tip = TrayTip(4294967295u, 4294967295u, 4294967295.0f);
  EXPECT_LT(Utf16Length(tip), kTrayTipSize);
  EXPECT_EQ(static_cast<unsigned char>(CounterLabel(InputKind::Left, 0)[0]), 0xE5);  // 左: E5 B7 A6
  const std::pair<std::string, const char*> texts[] = {
      {CounterLabel(InputKind::Left, 2147483648u) + CounterLabel(InputKind::Right, 2) +
           CounterLabel(InputKind::Middle, 3),
       "左键点击:   2147483648次右键点击:   2次中键点击:   3次"},
      {CounterLabel(InputKind::Wheel, 4) + CounterLabel(InputKind::Key, 42), "中键滚动:   4次键盘共敲击: 42次"},
      {TotalClicksLabel(4294967295u), "鼠标共点击: 4294967295次"},
      {CursorText(-1920, -5), "当前鼠标的位置:-1920,-5"},
      {tip, "当前统计:鼠标点击4294967295次,键盘敲击4294967295次,鼠标移动4294967296.00米"},
      {RunTimeText(100 * 3600 + 61), "软件已运行:100时1分1秒"},
      {LapsText(1000.0f), "今天你围着鸟巢奔跑了2.50圈~~"},
      {UptimeText((23 * 3600 + 59 * 60 + 59) * 1000ull), "系统已开机:23小时59分59秒"},
      {UptimeText(24 * 3600 * 1000ull), "系统已开机:1天0小时0分0秒"},
      {UptimeText(100 * 86400000ull + 1999), "系统已开机:100天0小时0分1秒"}};
  for (const auto& [got, want] : texts) EXPECT_EQ(got, want);
  // Each animal up to and including its count of clicks, the next one from the click after it.
  const char* const animals[] = {"你当前没有点击死任何动物!",  "当前你已经点击死一条蚯蚓！",
                                 "当前你已经点击死一只老鼠！", "当前你已经点击死一只猫！",
                                 "当前你已经点击死一只狼！",   "当前你已经点击死一只老虎！",
                                 "当前你已经点击死一头大象！", "已经没有动物可以阻止你点击了~~"};
  const uint32_t upTo[] = {99, 500, 5000, 10000, 20000, 50000, 150000};
  for (size_t i = 0; i < std::size(upTo); ++i) {
    EXPECT_STREQ(MilestoneText(upTo[i]), animals[i]) << upTo[i];
    EXPECT_STREQ(MilestoneText(upTo[i] + 1), animals[i + 1]) << upTo[i] + 1;
  }
  EXPECT_STREQ(MilestoneText(0xFFFFFFFFu), animals[7]);
}

// The report's bytes: the converter's GBK, unmarked, only where the ANSI code page is 936; UTF-8 behind a byte-order
// mark everywhere else, the other Chinese code page (950) and the UTF-8 one (65001) included.
TEST(Report, GbkOnlyUnderCodePage936ElseMarkedUtf8) {
  const auto toGbk = [](const std::string& utf8) { return "<gbk>" + utf8; };
  const std::string text = "当前统计信息如下:\r\n鼠标移动:1.50米";
  EXPECT_EQ(ReportFileBytes(text, 936, toGbk), "<gbk>" + text);
  for (unsigned acp : {1252u, 950u, 65001u, 932u}) {
    EXPECT_EQ(ReportFileBytes(text, acp, toGbk), "\xEF\xBB\xBF" + text) << acp;
  }
}

// One check of the watchdog (once a second): the time, the reports the hooks have seen (kUnset: the hooks are not set),
// the system's last input, and whether the hooks are to be set again at that check.
constexpr uint32_t kUnset = ~0u;

TEST(HookWatchdog, SetsTheHooksAgainOnlyWhenInputGoesOnUnseen) {
  const std::pair<const char*, std::vector<std::tuple<uint32_t, uint32_t, uint32_t, bool>>> cases[] = {
      {"one unseen input alone (the system may note it after the hooks) proves nothing",
       {{0, 5, 100, false}, {1000, 5, 900, false}, {5000, 5, 900, false}, {60000, 5, 900, false}}},
      {"the hooks report late: no longer missing",
       {{0, 5, 100, false}, {1000, 5, 900, false}, {2000, 6, 1900, false}, {3000, 6, 2900, false},
        {5000, 6, 4900, false}, {6000, 6, 5900, true}}},
      {"lost and back by themselves: the wait starts over",
       {{0, 5, 100, false}, {1000, 5, 900, false}, {2000, kUnset, 1900, false}, {3000, 5, 2900, false},
        {4000, 5, 3900, false}, {6000, 5, 5900, true}}},
      {"missed while input goes on: set again after 3 s, then after 6 s; after 3 s once seen",
       {{0, 5, 100, false}, {1000, 5, 900, false}, {3900, 5, 3800, false}, {4300, 5, 4200, true},
        {5000, 5, 4900, false}, {10000, 5, 9900, false}, {11000, 5, 10900, true}, {12000, 7, 11900, false},
        {13000, 7, 12900, false}, {16000, 7, 15900, true}}},
      {"not set at all: tried again after 3 s, 6 s, 12 s, ... up to a minute, no longer",
       {{0, kUnset, 100, false}, {1000, kUnset, 900, false}, {4300, kUnset, 4200, true}, {9300, kUnset, 9200, false},
        {10300, kUnset, 10200, true}, {21300, kUnset, 10200, false}, {22300, kUnset, 10200, true},
        {46299, kUnset, 0, false}, {46300, kUnset, 0, true}, {94300, kUnset, 0, true}, {154299, kUnset, 0, false},
        {154300, kUnset, 0, true}, {214300, kUnset, 0, true}}}};
  for (const auto& [what, steps] : cases) {
    // Each case also from 4.2 s before the 32-bit tick count wraps: the first wait ends before it, its check after.
    for (uint32_t shift : {0u, 0u - 4200}) {
      HookWatchdog dog;
      for (const auto& [now, seen, input, reinstall] : steps) {
        EXPECT_EQ(dog.Check(now + shift, seen != kUnset, seen == kUnset ? 0 : seen, input + shift), reinstall)
            << what << ", at " << now << " + " << shift;
      }
    }
  }
}

namespace {

void Seed(MemoryProfileStore& s, uint32_t month, uint32_t day, std::optional<uint32_t> year) {
  s.WriteInt("DateCur", "Month", month);
  s.WriteInt("DateCur", "Day", day);
  if (year) s.WriteInt("DateCur", "Year", *year);
  const char* entries[] = {"MouseLeft", "MouseRight", "MouseMiddle", "MouseRoll", "KeyBoard", "MouseMove", "TimeCount"};
  uint32_t v = 1;
  for (const char* e : entries) s.WriteInt("DataSetting", e, v++);
}

std::vector<uint32_t> Figures(const DayFigures& f) {
  return {f.counters.left, f.counters.right, f.counters.middle, f.counters.wheel,
          f.counters.keys, f.movePixels,     f.runSeconds};
}

}  // namespace

// A store of another date starts the day from zero; one without a year (an older version's) is judged by month and day,
// and year 0 reads as none. A load writes nothing.
TEST(DayStore, LoadKeepsOnlyTodaysFiguresAndASaveOfTodayIsLoadedBack) {
  const StartDate today = {12, 8, 2026};
  const std::tuple<uint32_t, uint32_t, std::optional<uint32_t>, bool> cases[] = {
      {12, 8, 2026, true},          {12, 8, 2025, false},         {12, 8, 2027, false}, {12, 8, std::nullopt, true},
      {12, 7, std::nullopt, false}, {11, 8, std::nullopt, false}, {12, 8, 0u, true},    {12, 7, 2026, false}};
  for (const auto& [month, day, year, kept] : cases) {
    SCOPED_TRACE(testing::Message() << month << "/" << day << "/" << year.value_or(9999));
    MemoryProfileStore store;
    Seed(store, month, day, year);
    const size_t entries = store.Size();
    const DayFigures f = LoadDayFigures(store, today);
    EXPECT_EQ(Figures(f), kept ? (std::vector<uint32_t>{1, 2, 3, 4, 5, 6, 7}) : std::vector<uint32_t>(7));
    EXPECT_EQ(store.Size(), entries);
  }
  MemoryProfileStore store;
  // A restart the same day goes on from every figure saved.
  Seed(store, 12, 7, 2026);
  DayFigures f = {{11, 12, 13, 14, 15}, 16, 17};
  SaveDayFigures(store, today, f);
  EXPECT_EQ(store.ReadInt("DateCur", "Year", 0), 2026u);
  EXPECT_EQ(Figures(LoadDayFigures(store, today)), (std::vector<uint32_t>{11, 12, 13, 14, 15, 16, 17}));
  MemoryProfileStore dated;  // today's date without the figures (a save cut short): each starts from zero
  for (auto [entry, v] : {std::pair{"Month", 12u}, {"Day", 8u}, {"Year", 2026u}}) dated.WriteInt("DateCur", entry, v);
  EXPECT_EQ(Figures(LoadDayFigures(dated, today)), std::vector<uint32_t>(7));
}

// Names the entries each save wrote; writes of the entries in `failing` fail.
class RecordingStore : public MemoryProfileStore {
 public:
  bool WriteInt(const char* section, const char* entry, uint32_t value) override {
    written += std::string(written.empty() ? "" : " ") + entry;
    if (failing.find(entry) != std::string::npos) return false;
    return MemoryProfileStore::WriteInt(section, entry, value);
  }
  std::string Take() { return std::exchange(written, std::string()); }
  std::string written, failing;
};

TEST(DayStore, TheSecondlySaveWritesOnlyWhatChangedAndRetriesWhatFailed) {
  constexpr char kAll[] = "Month Day Year MouseLeft MouseRight MouseMiddle MouseRoll KeyBoard MouseMove TimeCount";
  RecordingStore store;
  DayFiguresSaver saver;
  StartDate today{12, 7, 2026};
  DayFigures f;
  const std::tuple<const char*, std::function<void()>, const char*> steps[] = {
      {"first save", [] {}, kAll},
      {"nothing new", [] {}, ""},
      {"a second", [&] { ++f.runSeconds; }, "TimeCount"},
      {"a click, a key, a move", [&] { ++f.counters.left, ++f.counters.keys, f.movePixels += 5, ++f.runSeconds; },
       "MouseLeft KeyBoard MouseMove TimeCount"},
      {"a failing write", [&] { ++f.counters.right, store.failing = "MouseRight"; }, "MouseRight"},
      {"tried again", [] {}, "MouseRight"},
      {"stored at last", [&] { store.failing.clear(); }, "MouseRight"},
      {"then left alone", [] {}, ""},
      {"a new day", [&] { f = DayFigures(), today.day = 8; }, "Day MouseLeft MouseRight KeyBoard MouseMove TimeCount"}};
  for (const auto& [what, change, written] : steps) {
    SCOPED_TRACE(what);
    change();
    saver.Save(store, today, f);
    EXPECT_EQ(store.Take(), written);
  }
  EXPECT_EQ(LoadDayFigures(store, today).counters.GrandTotal(), 0u);
  // Entries removed behind the program's back are back within a minute: the 60th save from the first writes all ten.
  static_cast<MemoryProfileStore&>(store) = MemoryProfileStore();
  std::string writes;
  for (unsigned n = std::size(steps) + 1; n <= DayFiguresSaver::kFullEvery + 1; ++n) {
    saver.Save(store, today, f);
    const std::string w = store.Take();
    if (!w.empty()) writes += std::to_string(n) + "[" + w + "]";
  }
  EXPECT_EQ(writes, "60[" + std::string(kAll) + "]");
  EXPECT_EQ(store.ReadInt("DateCur", "Month", 0), 12u);
  EXPECT_EQ(saver.SaveAll(store, today, f), DayFiguresSaver::kEntries) << "the ways out write everything";
}

TEST(DayStore, LocalDaysAndTheDayClockAcrossMonthsYearsAndClockChanges) {
  // The zone, a moment, the local date then and the span of that day.
  const std::tuple<const char*, time_t, StartDate, time_t, time_t> cases[] = {
      {"UTC", Utc(2026, 12, 7, 23, 59, 50), {12, 7, 2026}, Utc(2026, 12, 7), Utc(2026, 12, 8)},
      {"UTC", Utc(2026, 12, 8), {12, 8, 2026}, Utc(2026, 12, 8), Utc(2026, 12, 9)},
      // Local midnight one hour before UTC's in winter, two in summer.
      {"Europe/Berlin", Utc(2026, 12, 7, 22, 59, 59), {12, 7, 2026}, Utc(2026, 12, 6, 23), Utc(2026, 12, 7, 23)},
      {"Europe/Berlin", Utc(2026, 12, 31, 23), {1, 1, 2027}, Utc(2026, 12, 31, 23), Utc(2027, 1, 1, 23)},
      // The spring day has 23 hours, the autumn day 25.
      {"Europe/Berlin", Utc(2026, 3, 29, 12), {3, 29, 2026}, Utc(2026, 3, 28, 23), Utc(2026, 3, 29, 22)},
      {"Europe/Berlin", Utc(2026, 10, 25, 12), {10, 25, 2026}, Utc(2026, 10, 24, 22), Utc(2026, 10, 25, 23)},
      // Midnight skipped: 2018-11-04 began at 01:00 (-02), the day before ended there.
      {"America/Sao_Paulo", Utc(2018, 11, 3, 12), {11, 3, 2018}, Utc(2018, 11, 3, 3), Utc(2018, 11, 4, 3)},
      {"America/Sao_Paulo", Utc(2018, 11, 4, 3), {11, 4, 2018}, Utc(2018, 11, 4, 3), Utc(2018, 11, 5, 2)},
      // The clocks went back from 00:00 to 23:00: 2018-02-17 had 25 hours.
      {"America/Sao_Paulo", Utc(2018, 2, 18, 1), {2, 17, 2018}, Utc(2018, 2, 17, 2), Utc(2018, 2, 18, 3)},
      // Midnight's hour repeated (01:00 back to 00:00): the day begins at the first one.
      {"America/Havana", Utc(2018, 11, 4, 6), {11, 4, 2018}, Utc(2018, 11, 4, 4), Utc(2018, 11, 5, 5)},
      {"America/Havana", Utc(2018, 3, 10, 12), {3, 10, 2018}, Utc(2018, 3, 10, 5), Utc(2018, 3, 11, 5)},
  };
  for (const auto& [name, now, date, start, end] : cases) {
    ZoneScope zone(name);
    SCOPED_TRACE(std::string(name) + " " + std::to_string(now));
    const LocalDay d = LocalDayOf(now);
    EXPECT_EQ(std::tie(d.date.year, d.date.month, d.date.day), std::tie(date.year, date.month, date.day));
    EXPECT_EQ(std::pair(d.start, d.end), std::pair(start, end)) << "start and end of the day";
  }
  ZoneScope zone("America/Sao_Paulo");
  const time_t lastSecond = Utc(2018, 11, 4, 2, 59, 59);  // 23:59:59 -03
  DayClock clock(lastSecond - 10);
  // The day clock changes with the date alone: 01:00 -02 on the 4th follows 23:59:59 -03 on the 3rd; then the clock
  // goes back a day, then on a year to the 3rd, then on a month to the 3rd.
  const time_t fifth = Utc(2018, 11, 5, 2), yearOn = Utc(2019, 11, 3, 12), monthOn = Utc(2019, 12, 3, 12);
  const std::tuple<time_t, bool, int> steps[] = {
      {lastSecond - 5, false, 3}, {lastSecond, false, 3}, {lastSecond + 1, true, 4}, {lastSecond + 2, false, 4},
      {fifth - 1, false, 4}, {fifth, true, 5}, {lastSecond, true, 3}, {yearOn, true, 3}, {monthOn, true, 3}};
  for (const auto& [now, changed, day] : steps) {
    EXPECT_EQ(clock.Advance(now), changed) << now;
    EXPECT_EQ(clock.Date().day, day) << now;
  }
  EXPECT_EQ(clock.Date().year, 2019);
}
