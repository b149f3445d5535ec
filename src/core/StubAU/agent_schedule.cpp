#include "core/StubAU/agent_schedule.h"

#include <algorithm>
#include <limits>

#include "core/StubAU/agent_clock.h"

namespace kestro {

TickStart BeginTick(AgentSchedule& s) {
  TickStart r;
  if (s.testRunLevel == 2) s.testRunLevel = 1;
  if (s.testRunLevel == 1) s.timerCount = 0;
  r.quit = s.stopCountdown == 0;
  if (s.stopCountdown >= 0) --s.stopCountdown;
  if (s.timerCount < std::numeric_limits<int32_t>::max()) ++s.timerCount;
  r.mayCheck = s.timerCount > 0;
  return r;
}

void EndTick(AgentSchedule& s) {
  if (s.testRunLevel == 1) s.testRunLevel = 0;
}

int ShotTimeStatus(AgentSchedule& s, const ProbeTimes& t, int64_t now, bool testMode) {
  int status = kShotNotDue;
  if (s.probing || s.forcedShot) {
    const int64_t interval = testMode ? kTestModeInterval : t.interval;
    // Any negative interval means never; the sums cannot wrap.
    if (t.interval >= 0 && now >= SaturatingAdd(t.last, interval)) {
      status = kShotDue;
      if (s.declined && now < SaturatingAdd(s.declinedAt, interval)) status = kShotNotDue;
    }
    if (t.interval == 0 && status == kShotDue) status = kShotLastOne;
    if (s.forcedShot) status = kShotDue;
  }
  s.forcedShot = false;
  return status;
}

void RememberDecline(AgentSchedule& s, int64_t now) {
  s.declined = true;
  s.declinedAt = now;
}

void ForgetDecline(AgentSchedule& s) { s.declined = false; }

void RequestCheck(AgentSchedule& s, int32_t argument) {
  s.forcedShot = true;
  s.timerCount = std::max<int32_t>(1, s.timerCount);
  if (argument == 2) s.testRunLevel = 2;
}

void SetStartDelay(AgentSchedule& s, int64_t delay) {
  const int64_t held = std::min<int64_t>(delay, std::numeric_limits<int32_t>::max());
  s.timerCount = static_cast<int32_t>(-held);
}

}  // namespace kestro
