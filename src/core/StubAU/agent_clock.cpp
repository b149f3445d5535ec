#include "core/StubAU/agent_clock.h"

#include <limits>

namespace kestro {

// ---- calendar ------------------------------------------------------------
namespace {

// The clock's day 0, 30 December 1899, in days from 1 January 1970.
constexpr int64_t kEpochDays = DaysFromCivil(1899, 12, 30);
// 1 January 1970 in days from 1 March of year 0 (proleptic Gregorian), where
// the era arithmetic below counts from.
constexpr int64_t kUnixDaysFromMarch0 = 719468;

void CivilFromDays(int64_t z, CivilTime& t) {
  z += kEpochDays + kUnixDaysFromMarch0;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
}

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

// ---- clock ---------------------------------------------------------------

int64_t AgentClockFromCivil(const CivilTime& t) {
  const int64_t days = DaysFromCivil(t.year, t.month, t.day) - kEpochDays;
  return days * kSecondsPerDay + t.hour * 3600 + t.minute * 60 + t.second +
         (t.millisecond >= 500 ? 1 : 0);
}

CivilTime CivilFromAgentClock(int64_t seconds) {
  const int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const int64_t rest = seconds - days * kSecondsPerDay;
  CivilTime t;
  CivilFromDays(days, t);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

std::string ReadableAgentTime(int64_t seconds) {
  return DateTimeText(CivilFromAgentClock(seconds), " ");
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

uint32_t ClockToMessage(int64_t seconds) { return static_cast<uint32_t>(seconds); }
int64_t ClockFromMessage(uint32_t argument) { return argument; }
int64_t SignedFromMessage(uint32_t argument) { return static_cast<int32_t>(argument); }

}  // namespace kestro
