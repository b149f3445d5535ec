#include "core/StubAU/agent_clock.h"

#include <gtest/gtest.h>

#include <limits>

using namespace kestro;

namespace {
CivilTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  CivilTime t;
  t.year = y, t.month = mo, t.day = d, t.hour = h, t.minute = mi, t.second = s, t.millisecond = ms;
  return t;
}
}  // namespace

TEST(AgentClock, CountsSecondsFromTheEndOf1899) {
  struct Case {
    CivilTime t;
    int64_t seconds;
  } cases[] = {
      {At(1899, 12, 30), 0},
      {At(1899, 12, 31, 0, 0, 1), 86401},
      {At(1899, 12, 29, 23, 59, 59), -1},
      {At(1900, 3, 1), 61 * 86400LL},  // 1900 has no 29 February
      {At(1968, 1, 18, 3, 14, 7), 2147483647LL},
      {At(2000, 2, 29, 12), 36585 * 86400LL + 43200},
      {At(2026, 12, 6, 14, 3, 22), 46362 * 86400LL + 14 * 3600 + 3 * 60 + 22},
      {At(2026, 12, 6, 14, 3, 22, 499), 46362 * 86400LL + 50602},
      {At(2026, 12, 6, 14, 3, 22, 500), 46362 * 86400LL + 50603},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AgentClockFromCivil(c.t), c.seconds) << c.seconds;
    if (c.t.millisecond == 0) {
      CivilTime back = CivilFromAgentClock(c.seconds);
      EXPECT_EQ(DateTimeText(back, " "), DateTimeText(c.t, " ")) << c.seconds;
    }
  }
}

TEST(AgentClock, ReadableCopyOfAStoredTime) {
  EXPECT_EQ(ReadableAgentTime(AgentClockFromCivil(At(2026, 12, 6, 14, 3, 22))),
            "06-DEC-2026 14:03:22");
  EXPECT_EQ(ReadableAgentTime(0), "30-DEC-1899 00:00:00");
  EXPECT_EQ(ReadableAgentTime(-1), "29-DEC-1899 23:59:59");
  EXPECT_EQ(ReadableAgentTime(AgentClockFromCivil(At(2024, 2, 29, 23, 59, 59))),
            "29-FEB-2024 23:59:59");
}

TEST(AgentClock, SumsHoldAtTheEndsOfTheRange) {
  const int64_t max = std::numeric_limits<int64_t>::max(), min = std::numeric_limits<int64_t>::min();
  EXPECT_EQ(SaturatingAdd(10, 5), 15);
  EXPECT_EQ(SaturatingAdd(max - 1, 5), max);
  EXPECT_EQ(SaturatingAdd(min + 1, -5), min);
  EXPECT_EQ(SaturatingAdd(max, min), -1);
}

TEST(AgentClock, ClockValuesTravelAsUnsigned32Bits) {
  // Today's clock values lie above 2^31: read signed, they turn negative.
  const int64_t today = AgentClockFromCivil(At(2026, 12, 6, 14, 3, 22));
  ASSERT_GT(today, int64_t(1) << 31);
  EXPECT_EQ(ClockFromMessage(ClockToMessage(today)), today);
  EXPECT_EQ(ClockFromMessage(0xFFFFFFFFu), 4294967295LL);
  // Intervals and countdowns stay signed: -1 (never) arrives as -1.
  EXPECT_EQ(SignedFromMessage(0xFFFFFFFFu), -1);
  EXPECT_EQ(SignedFromMessage(3600), 3600);
}
