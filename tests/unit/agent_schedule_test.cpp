#include "core/StubAU/agent_schedule.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {
const int64_t kNow = 4000000000LL;

// Ticks until a check may run; returns how many ticks that took.
int TicksUntilMayCheck(AgentSchedule& s, int limit = 100) {
  for (int n = 1; n <= limit; ++n)
    if (BeginTick(s).mayCheck) return n;
  return -1;
}
}  // namespace

TEST(AgentSchedule, AFreshAgentWaitsThreeTicks) {
  AgentSchedule fresh;
  EXPECT_EQ(TicksUntilMayCheck(fresh), 4);
  AgentSchedule noDelay;
  SetStartDelay(noDelay, 0);
  EXPECT_EQ(TicksUntilMayCheck(noDelay), 1);
  AgentSchedule delayed;
  SetStartDelay(delayed, 10);
  EXPECT_EQ(TicksUntilMayCheck(delayed), 11);
}

TEST(AgentSchedule, ProbeTimeTest) {
  struct Case {
    const char* what;
    int64_t interval, last, now;
    bool testMode;
    int status;
  } cases[] = {
      {"never checked, hourly", 3600, 0, kNow, false, kShotDue},
      {"checked just now, hourly", 3600, kNow, kNow, false, kShotNotDue},
      {"one hour minus a second", 3600, kNow - 3599, kNow, false, kShotNotDue},
      {"exactly one hour", 3600, kNow - 3600, kNow, false, kShotDue},
      {"interval 0: the one check", 0, kNow, kNow, false, kShotLastOne},
      {"interval -1: never", -1, 0, kNow, false, kShotNotDue},
      {"interval -1 in test mode: never", -1, 0, kNow, true, kShotNotDue},
      {"other negative intervals: never", -2, kNow, kNow, false, kShotNotDue},
      {"huge negative interval", INT64_MIN, kNow, kNow, false, kShotNotDue},
      {"huge interval does not wrap", INT64_MAX, kNow, kNow, false, kShotNotDue},
      {"test mode: every 5 s", 86400, kNow - 5, kNow, true, kShotDue},
      {"test mode: 4 s is early", 86400, kNow - 4, kNow, true, kShotNotDue},
      {"test mode with interval 0", 0, kNow - 5, kNow, true, kShotLastOne},
  };
  for (const Case& c : cases) {
    AgentSchedule s;
    EXPECT_EQ(ShotTimeStatus(s, {c.interval, c.last}, c.now, c.testMode), c.status) << c.what;
  }
}

TEST(AgentSchedule, ForcedShotIsDueOnceWhateverTheInterval) {
  for (int64_t interval : {-1LL, 0LL, 3600LL}) {
    AgentSchedule s;
    s.probing = false;
    RequestCheck(s, 1);
    EXPECT_EQ(ShotTimeStatus(s, {interval, kNow}, kNow, false), kShotDue) << interval;
    EXPECT_EQ(ShotTimeStatus(s, {interval, kNow}, kNow, false), kShotNotDue) << interval;
  }
}

TEST(AgentSchedule, AfterTheOneCheckOfIntervalZeroOnlyAForcedShotChecks) {
  AgentSchedule s;
  ASSERT_EQ(ShotTimeStatus(s, {0, 0}, kNow, false), kShotLastOne);
  s.probing = false;  // what the tick does with status 2
  EXPECT_EQ(ShotTimeStatus(s, {0, 0}, kNow + 86400, false), kShotNotDue);
}

TEST(AgentSchedule, ForcedCheckEndsTheStartDelay) {
  AgentSchedule s;
  SetStartDelay(s, 100);
  RequestCheck(s, 0);
  EXPECT_TRUE(BeginTick(s).mayCheck);
  EXPECT_EQ(s.testRunLevel, 0);
}

TEST(AgentSchedule, InteractiveTestRunLastsOneTick) {
  AgentSchedule s;
  SetStartDelay(s, 50);
  RequestCheck(s, 2);
  EXPECT_EQ(s.testRunLevel, 2);
  EXPECT_TRUE(BeginTick(s).mayCheck);
  EXPECT_EQ(s.testRunLevel, 1);
  EXPECT_EQ(s.timerCount, 1);
  EndTick(s);
  EXPECT_EQ(s.testRunLevel, 0);
}

TEST(AgentSchedule, StopCountdown) {
  // n ends the agent on tick n+1 after it was set; negative never does.
  for (int32_t n : {0, 1, 2, 5}) {
    AgentSchedule s;
    s.stopCountdown = n;
    int tick = 1;
    while (!BeginTick(s).quit && tick < 100) ++tick;
    EXPECT_EQ(tick, n + 1) << n;
  }
  AgentSchedule never;
  never.stopCountdown = -7;
  for (int i = 0; i < 50; ++i) EXPECT_FALSE(BeginTick(never).quit);
}

TEST(AgentSchedule, ANoAtTheCheckPromptHoldsForOneInterval) {
  // Without the memory the prompt would come back at the very next tick.
  AgentSchedule s;
  const ProbeTimes t{3600, kNow - 7200};
  ASSERT_EQ(ShotTimeStatus(s, t, kNow, false), kShotDue);
  RememberDecline(s, kNow);
  EXPECT_EQ(ShotTimeStatus(s, t, kNow + 1, false), kShotNotDue);
  EXPECT_EQ(ShotTimeStatus(s, t, kNow + 3599, false), kShotNotDue);
  EXPECT_EQ(ShotTimeStatus(s, t, kNow + 3600, false), kShotDue);
  // In test mode the No holds for the test interval.
  EXPECT_EQ(ShotTimeStatus(s, t, kNow + 4, true), kShotNotDue);
  EXPECT_EQ(ShotTimeStatus(s, t, kNow + 5, true), kShotDue);
  // A forced check is asked for by someone: it is due at once.
  RequestCheck(s, 0);
  EXPECT_EQ(ShotTimeStatus(s, t, kNow + 1, false), kShotDue);
  ForgetDecline(s);
  EXPECT_EQ(ShotTimeStatus(s, t, kNow + 1, false), kShotDue);
}
