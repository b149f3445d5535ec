#include "win/KDebug/agent_log.h"

#include <windows.h>

#include "core/KDebug/debug_log_format.h"
#include "win/Files/files.h"
#include "win/Utils/utils.h"

namespace kestro {

namespace {

const char* const kDefaultTag = "   ";

struct AgentLogState {
  bool enabled = false;
  std::string fileName;
  std::string tag = kDefaultTag;
};

AgentLogState& State() {
  static AgentLogState state;
  return state;
}

}  // namespace

void SetAgentLogEnabled(bool enabled) { State().enabled = enabled; }
bool AgentLogEnabled() { return State().enabled; }
void SetLogTag(const std::string& tag) { State().tag = tag; }
std::string LogTag() { return State().tag; }

std::string LogFileName() {
  if (State().fileName.empty()) State().fileName = AgentLogFileName(ExePath());
  return State().fileName;
}

void WriteLog(const std::string& message) {
  if (!State().enabled) return;
  AppendToFile(LogFileName(), AgentLogLine(LogTimeStampNow(), uint32_t(GetCurrentThreadId()),
                                           State().tag, message));
}

void ResetAgentLog() { State() = AgentLogState(); }

}  // namespace kestro
