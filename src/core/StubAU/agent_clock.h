// The agent clock: whole seconds since 30 December 1899 00:00 local time, as
// a signed 64-bit number. Every time the agent stores (last check, last
// question) is such a value; "now" is always passed in, so the rules below
// never read a clock themselves.
#pragma once

#include <cstdint>
#include <string>

#include "core/Utils/ksub.h"

namespace kestro {

constexpr int64_t kSecondsPerDay = 86400;

// Milliseconds round to the nearest second.
int64_t AgentClockFromCivil(const CivilTime& t);
CivilTime CivilFromAgentClock(int64_t seconds);
// "06-DEC-2026 14:03:22": the readable copy written beside a stored time.
std::string ReadableAgentTime(int64_t seconds);

// a + b, held at the ends of the range instead of overflowing.
int64_t SaturatingAdd(int64_t a, int64_t b);

// Private messages carry 32 bits. Clock values no longer fit a signed 32-bit
// number (they passed 2^31 in 1968), so they travel as their low 32 bits read
// unsigned; intervals and countdowns stay signed (-1 means never).
uint32_t ClockToMessage(int64_t seconds);
int64_t ClockFromMessage(uint32_t argument);
int64_t SignedFromMessage(uint32_t argument);

}  // namespace kestro
