// The agent log: a dated, thread-stamped file beside the executable that the
// update agent writes its milestones to, when the package asks for it. Each
// line is one open-append-close, so the plain agent and its transient copy
// can both write to it.
#pragma once

#include <string>

namespace kestro {

// Set once at start-up: true for the update agent when the package's
// agent-log flag is set.
void SetAgentLogEnabled(bool enabled);
bool AgentLogEnabled();
// "   " at start; " X " in the transient copy.
void SetLogTag(const std::string& tag);
std::string LogTag();
// The log's full path, computed on first use and kept.
std::string LogFileName();
// Appends "dd/mm/yy HH:NN:SS tid  tag message" + CR LF when enabled.
void WriteLog(const std::string& message);
// Program end: flag off, name and tag back to their start values.
void ResetAgentLog();

}  // namespace kestro
