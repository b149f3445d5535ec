// Where the main window and the mode decision hand over to the update agent.
// The setup road needs only these entry points; the agent's modules stay
// behind them.
#pragma once
#include <windows.h>

#include <cstdint>

#include "win/StubGlob/run_host.h"

namespace kestro {

// wm_AgentMsg (1125): runs agent command `command` with `argument` and
// returns its value (0 for commands that set something or are unknown).
LRESULT HandleAgentCommand(WPARAM command, LPARAM argument);

// wm_ShutDown (1123): the agent's stop countdown, a signed 32-bit value.
void SetAgentStopCountdown(WPARAM countdown);

// "/SleepX=" at window start: the agent timer count starts at -delay.
void SetAgentStartDelay(int64_t delay);

// wm_LocalMsg (1124): where the agent's notifications go; and posting one.
void SetAgentListener(HWND listener, UINT message);
void NotifyAgentListener(WPARAM code, LPARAM value);

// Every timer tick of the main window in the agent modes.
void OnAgentTimer(RunHost& host);

// Plain agent: makes and starts the transient copy; returns the flag
// "transient agent running" as it should be remembered.
bool CreateAndRunTransientCopy(bool transientRunning);

// Plain agent: hands the remaining switches to the running transient copy.
void HandParamsToRunningAgent(bool transientRunning);

// Transient copy, before its main window runs: overrides from "/TRANSIENTx="
// and a fresh read of the test mode.
void PrepareTransientAgent();

}  // namespace kestro
