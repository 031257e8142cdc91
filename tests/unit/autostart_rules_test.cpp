#include <gtest/gtest.h>

#include "tools/autostart_rules.h"

using namespace tallivo;
using R = RunKeyResult;

TEST(AutoStartRules, MarkerBesideTheExecutable) {
  EXPECT_EQ(MarkerPathForModule("C:\\Program Files\\Tallivo\\Tallivo.exe"), "C:\\Program Files\\Tallivo\\AuTo.dat");
  EXPECT_EQ(MarkerPathForModule("Z:\\t\\bin\\Tallivo.exe"), "Z:\\t\\bin\\AuTo.dat");
  EXPECT_EQ(MarkerPathForModule("C:/x/Tallivo.exe"), "C:/x/AuTo.dat");
  EXPECT_EQ(MarkerPathForModule("Tallivo.exe"), "AuTo.dat");
}

TEST(AutoStartRules, MarkerContent) {
  EXPECT_TRUE(MarkerSaysOn("1"));
  EXPECT_TRUE(MarkerSaysOn("1\r\n"));  // only the first byte counts
  EXPECT_FALSE(MarkerSaysOn(""));
  EXPECT_FALSE(MarkerSaysOn("0"));
  EXPECT_FALSE(MarkerSaysOn("01"));
  EXPECT_FALSE(MarkerSaysOn("y"));
  EXPECT_STREQ(MarkerText(true), "1");
  EXPECT_STREQ(MarkerText(false), "0");
}

TEST(AutoStartRules, Register) {
  struct Case {
    R machine, user;
    bool on;
    const char* message;
  } cases[] = {
      {R::Done, R::NoAccess, true, nullptr},  // machine-wide written, per-user not tried
      {R::NoAccess, R::Done, true, nullptr},  // no rights for the machine: per-user
      {R::Failed, R::Done, true, nullptr},
      {R::NoAccess, R::NoAccess, false, kAutoStartFailed},
      {R::NoAccess, R::Failed, false, kAutoStartFailed},
      {R::Failed, R::Failed, false, kAutoStartFailed},
  };
  for (const auto& c : cases) {
    const AutoStartOutcome o = RegisterOutcome(c.machine, c.user);
    EXPECT_EQ(o.on, c.on) << static_cast<int>(c.machine) << "/" << static_cast<int>(c.user);
    EXPECT_EQ(o.message, c.message) << static_cast<int>(c.machine) << "/" << static_cast<int>(c.user);
  }
}

TEST(AutoStartRules, Unregister) {
  struct Case {
    R machine, user;
    bool on;
    const char* message;
  } cases[] = {
      {R::Done, R::Absent, false, nullptr},
      {R::Absent, R::Done, false, nullptr},
      {R::Done, R::Done, false, nullptr},
      // Removed by someone else meanwhile: said, and off.
      {R::Absent, R::Absent, false, kAutoStartWasOff},
      // A value that stays would still start the program.
      {R::NoAccess, R::Done, true, kAutoStartStillOn},
      {R::NoAccess, R::Absent, true, kAutoStartStillOn},
      {R::Done, R::Failed, true, kAutoStartStillOn},
      {R::Failed, R::Absent, true, kAutoStartStillOn},
  };
  for (const auto& c : cases) {
    const AutoStartOutcome o = UnregisterOutcome(c.machine, c.user);
    EXPECT_EQ(o.on, c.on) << static_cast<int>(c.machine) << "/" << static_cast<int>(c.user);
    EXPECT_EQ(o.message, c.message) << static_cast<int>(c.machine) << "/" << static_cast<int>(c.user);
  }
}
