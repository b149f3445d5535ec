// The agent's view of the main window it runs in, through the host the
// window hands to every timer tick: shown only while an update downloads
// with progress, its status line names the file being fetched, its bars are
// the progress sink.
#pragma once
#include <cstdint>
#include <string>

#include "win/StubGlob/run_host.h"

namespace kestro {

// Set by every timer tick (the host of the window that ticks).
void SetAgentHost(RunHost* host);
// That host (null before the first tick): the update cycle's setup run
// is hosted by it.
RunHost* AgentHost();

void ShowAgentWindow(bool show);
// The window ends after this tick (see RunHost::PostEnd).
void EndAgentWindow();
void SetAgentStatus(const std::string& text);
// The owner of the agent's own windows (the announcement): the host's box
// owner, 0 before the first tick.
std::uintptr_t AgentBoxOwner();
// The host's progress (its step bar and busy bar); a sink that drops every
// event before the first tick.
ProgressSink AgentProgressSink();

}  // namespace kestro
