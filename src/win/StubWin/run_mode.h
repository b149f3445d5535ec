// The run-mode decision of the stub: which of setup, web setup, spanned-CD
// relay, plain agent and transient agent copy this process is, and the
// hand-over to the mode's routine. Instances of one mode are kept apart by
// the class name of their main window.
#pragma once
#include <string>

namespace kestro {

// a. a transient agent copy of this product runs (its window exists)
bool TransientAgentRunning();
// b. this file is the plain agent (agent flag, own name = agent name)
bool IsPlainAgent();
// c. this file is the transient agent copy ("X_" + agent name)
bool IsTransientAgentCopy();
// d. a CD-spanned package started from its disc: start a relay copy
bool RelayCopyNeeded();
// e. (IsRelayCopy, IsLaunchedRelayCopy) live with the extraction folder,
// which the relay copy shares with its launcher: StubSetup/temp_folders.h.

// The instance name (window class) of this process's mode.
std::string ModeInstanceName();

// Decides the mode and runs it to the end.
void DoRunStubWin();

// Copies the own file to the extraction folder as "Y_" + name and starts it
// hidden with the relay switches. Returns whether the copy was started.
bool StartRelayCopy();

}  // namespace kestro
