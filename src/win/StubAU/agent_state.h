// Everything the resident agent keeps for the life of its process, in one
// place: the schedule, the override flags, the agent state other programs
// read, the registered listener and the test mode. One thread touches it
// (the main window's), so plain functions over one object are enough.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/StubAU/agent_schedule.h"
#include "core/StubAU/override_flags.h"

namespace kestro {

// Values of the agent state (agent command 7).
enum AgentActivity {
  kAgentIdle = 0,
  kAgentDownloadingInfo = 1,
  kAgentDownloadingUpdate = 2,
  kAgentRunningSetup = 3,
};

// Listener notification codes of the agent (value 1 before, 2 after).
inline constexpr WPARAM kNotifyInfoDownload = 40;
inline constexpr WPARAM kNotifyUpdateDownload = 41;
inline constexpr WPARAM kNotifySetupRun = 42;
inline constexpr LPARAM kNotifyBefore = 1;
inline constexpr LPARAM kNotifyAfter = 2;

struct TestModeState {
  bool on = false;
  std::string url;       // replaces the INFO location and DownloadURL_UPDATE
  uint32_t lastRead = 0;  // tick count of the last call
};

struct AgentProcessState {
  AgentSchedule schedule;
  OverrideFlags overrides;
  int32_t activity = kAgentIdle;
  HWND listener = nullptr;
  UINT listenerMessage = 0;
  TestModeState testMode;
  bool inTick = false;  // re-entry guard of the timer routine
};

AgentProcessState& Agent();

// PostMessageA(listener, listener message, code, value) when one registered.
void NotifyAgentListener(WPARAM code, LPARAM value);

// Traces the override flags as they now stand (" Overrides=|..|"), after
// a private command or the start switches changed them.
void TraceOverrides();

// Test mode from the registry (HKCU\Software\Tolvexan\Kestro\AutoUpdate):
// read when forced or when more than 30 s passed since the last call.
bool ReadTestMode(bool force);

}  // namespace kestro
