// When the resident agent looks for a new release. The main window ticks
// once a second; each tick runs BeginTick, and when it allows a check,
// ShotTimeStatus tells whether one is due. Everything here is state in,
// state out: the Windows side reads the clock, the settings and the registry
// and passes their values.
#pragma once

#include <cstdint>

namespace kestro {

// The agent's scheduling state (one per agent process).
struct AgentSchedule {
  // Counts ticks; checks happen only while it is above 0, so a fresh agent
  // waits three ticks ("/SleepX=" sets the wait, a forced check ends it).
  int32_t timerCount = -3;
  bool downloadOnly = false;  // fetch the ".INFO" file at the next tick, nothing else
  bool probing = true;        // cleared after the one check of interval 0
  bool forcedShot = false;    // the next probe-time test is due at once
  // 2 = interactive test run asked for; the next tick makes it 1 (the run),
  // the end of that tick 0.
  int32_t testRunLevel = 0;
  // Negative: never stop; 0: stop at the next tick; n: after n more ticks.
  int32_t stopCountdown = -1;
  // The check prompt was answered No at this clock value: the check is not
  // offered again before one more interval has passed.
  bool declined = false;
  int64_t declinedAt = 0;
};

// Seconds between checks while test mode is on.
constexpr int64_t kTestModeInterval = 5;

enum ShotStatus { kShotNotDue = 0, kShotDue = 1, kShotLastOne = 2 };

struct TickStart {
  bool quit = false;      // the stop countdown ran out: end the message loop
  bool mayCheck = false;  // the timer count is above 0
};

// The start of a tick: test-run level, stop countdown, timer count.
TickStart BeginTick(AgentSchedule& s);
// The end of a tick: an interactive test run is over.
void EndTick(AgentSchedule& s);

struct ProbeTimes {
  int64_t interval = 0;  // ProbeSecondsInterval: 0 = once per start, negative = never
  int64_t last = 0;      // ProbeSecondsLast (agent clock)
};

// 0 not due, 1 due, 2 due and the last one of this run (interval 0).
// Clears the forced-shot flag.
int ShotTimeStatus(AgentSchedule& s, const ProbeTimes& t, int64_t now, bool testMode);

// The check prompt was answered No at `now`.
void RememberDecline(AgentSchedule& s, int64_t now);
// A check ran: any earlier No is forgotten.
void ForgetDecline(AgentSchedule& s);

// Agent command 31: check now; argument 2 asks for the interactive test run.
void RequestCheck(AgentSchedule& s, int32_t argument);
// "/SleepX=": the timer count starts at minus the delay.
void SetStartDelay(AgentSchedule& s, int64_t delay);

}  // namespace kestro
