#include "win/StubAU/agent_bridge.h"

namespace kestro {

// The update agent is not part of this build yet: a file that claims to be an
// agent runs an idle main window and answers every command with 0.

LRESULT HandleAgentCommand(WPARAM, LPARAM) { return 0; }

void SetAgentStopCountdown(int64_t) {}

void SetAgentStartDelay(int64_t) {}

void OnAgentTimer(HWND) {}

bool CreateAndRunTransientCopy(bool transientRunning) { return transientRunning; }

void HandParamsToRunningAgent(bool) {}

void PrepareTransientAgent() {}

}  // namespace kestro
