#include "core/StubAU/agent_lines.h"

#include <gtest/gtest.h>

using namespace kestro;

TEST(AgentLines, TransientCopyArgsCarryOnlyGivenValues) {
  const struct {
    const char* overrides;
    const char* delay;
    const char* args;
  } cases[] = {
      {"", "", ""},
      {"|1|255|", "", " /TRANSIENTx=|1|255|"},
      {"", "30", " /SleepX=30"},
      {"|1|", "0", " /TRANSIENTx=|1| /SleepX=0"},
  };
  for (const auto& c : cases) EXPECT_EQ(TransientCopyArgs(c.overrides, c.delay), c.args) << c.args;
}

TEST(AgentLines, RestartLineWaitsAndKeepsTheOverrides) {
  EXPECT_EQ(RestartArgs("|255|1|"), " /_ZZ=99 /WAIT=10 /TRANSIENT=|255|1|");
}

TEST(AgentLines, ListenerPair) {
  const struct {
    const char* value;
    int64_t window, message;
  } cases[] = {
      {"1234:49500", 1234, 49500}, {"1234", 1234, 0}, {"x:7", 0, 7},
      {":", 0, 0},                 {"", 0, 0},        {"5:6:7", 5, 6},
  };
  for (const auto& c : cases) {
    const ListenerPair p = ParseListenerPair(c.value);
    EXPECT_EQ(p.window, c.window) << c.value;
    EXPECT_EQ(p.message, c.message) << c.value;
  }
}
