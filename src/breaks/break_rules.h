// Breaks from the real input: the settings, the clocks of active use that
// bring the two kinds of break, the countdown of a break on screen and the
// day's limit. The window's one-second tick feeds it; nothing here touches
// a window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/profile_store.h"

namespace tallivo::breaks {

struct BreakSettings {
  bool on = false;
  uint32_t microEvery = 20;   // minutes of active use, 1-240
  uint32_t microLength = 20;  // seconds, 5-600
  uint32_t restEvery = 60;    // minutes of active use, 1-600
  uint32_t restLength = 5;    // minutes, 1-60
  uint32_t dailyLimit = 0;    // minutes of active time a day, 0 = off
  bool operator==(const BreakSettings&) const = default;
};

// The ranges of the fields and of the stored values.
struct Bounds {
  uint32_t min, max;
};
inline constexpr Bounds kMicroEvery{1, 240}, kMicroLength{5, 600}, kRestEvery{1, 600}, kRestLength{1, 60};
// The daily limit as the dialog takes it: hours and minutes.
inline constexpr Bounds kLimitHours{0, 24}, kLimitMinutes{0, 59};

inline constexpr char kSection[] = "Breaks";
// A value missing or out of its range reads as its default.
BreakSettings ReadBreakSettings(ProfileStore& store);
bool WriteBreakSettings(ProfileStore& store, const BreakSettings& s);

enum class BreakKind { Micro, Rest };
// The kind as the history's breaks table names it: "micro", "rest".
const char* KindKey(BreakKind kind);

// More events than this in one minute make it a heavy minute, which counts
// one and a half toward the next break.
inline constexpr uint64_t kHeavyMinuteEvents = 200;
// "推迟" brings the break back after this much active use (or after the
// whole interval when that is shorter).
inline constexpr uint32_t kPostponeMinutes = 5;

// What one second changed.
struct Step {
  std::optional<BreakKind> due;         // a break came due: show it
  bool dueAgain = false;                // the same break, after "推迟"
  bool countdownReset = false;          // input during the break: back to full
  std::optional<BreakKind> taken;       // the break ran out: close it
  std::optional<BreakKind> takenByPause;  // a postponed break taken by a pause
  bool limitReached = false;            // the day's active time reached the limit
};

class BreakClock {
 public:
  explicit BreakClock(const BreakSettings& s = {}) : m_s(s) {}
  const BreakSettings& Settings() const { return m_s; }
  // New settings from the dialog; the clocks keep what they hold.
  void SetSettings(const BreakSettings& s);

  // The day's active seconds so far (from the history at start) and the
  // local day they belong to (any number that changes at midnight).
  void StartDay(int64_t day, uint64_t activeSeconds);

  // One second that has passed: the events counted in it and whether the
  // pointer moved; minute is the second's minute (time / 60), day its
  // local day.
  Step Second(int64_t minute, int64_t day, uint64_t events, bool moved);

  // The buttons of the break on screen.
  void Postpone();
  void Skip();

  std::optional<BreakKind> Showing() const { return m_showing; }
  // Seconds left of the break on screen.
  uint32_t Remaining() const { return m_remaining; }
  // Active seconds (heavy ones counted one and a half) still to go before
  // the next break, rounded up.
  uint64_t SecondsToNext() const;
  uint64_t ActiveToday() const { return m_activeToday; }

  // Half-seconds of credit toward each kind, for tests.
  uint64_t Credit(BreakKind kind) const { return m_credit[Index(kind)]; }

 private:
  static int Index(BreakKind k) { return k == BreakKind::Micro ? 0 : 1; }
  uint64_t Due(BreakKind k) const;  // half-seconds of credit that bring it
  uint32_t Length(BreakKind k) const;
  void Restart(BreakKind k);

  BreakSettings m_s;
  uint64_t m_credit[2] = {};
  // A break postponed (due again without being counted again).
  bool m_postponed[2] = {};
  std::optional<BreakKind> m_showing;
  uint32_t m_remaining = 0;
  uint64_t m_quietSeconds = 0;

  int64_t m_minute = -1;
  uint64_t m_minuteEvents = 0;
  uint64_t m_minuteCredited[2] = {};  // this minute's seconds in each credit

  int64_t m_day = -1;
  uint64_t m_activeToday = 0;
  bool m_limitTold = false;
};

// Texts of the window and the tip.
std::string BreakTitle(BreakKind kind, const BreakSettings& s);  // "小休息 20 秒", "休息 5 分钟"
std::string CountdownText(uint32_t seconds);                     // "还剩 18 秒", "还剩 4 分 05 秒"
inline constexpr char kLeaveInput[] = "请离开键盘和鼠标";
inline constexpr char kRestEasy[] = "站起来，活动一下，看看远处";
// The tray tip's last line: the time to the next break.
std::string NextBreakLine(const BreakClock& c);
// The notice of the daily limit.
std::string DailyLimitText(uint32_t limitMinutes);

}  // namespace tallivo::breaks
