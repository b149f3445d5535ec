// The agent's private commands (wm_AgentMsg): other programs read and change
// its settings and state. Arguments and results are 32 bits: intervals are
// signed (-1 = never), clock values unsigned (see ClockToMessage).
#include "core/StubAU/agent_clock.h"
#include "win/StubAU/agent_bridge.h"
#include "win/StubAU/agent_state.h"
#include "win/StubUtil/update_settings.h"

namespace kestro {

namespace {

enum AgentCommand {
  kCmdVersionOriginal = 4,
  kCmdVersionNew = 5,
  kCmdAgentState = 7,
  kCmdProbeInterval = 8,
  kCmdReAskInterval = 9,
  kCmdProbeLast = 10,
  kCmdReAskLast = 11,
  kCmdSetProbeInterval = 12,
  kCmdSetReAskInterval = 13,
  kCmdSetProbeLast = 14,
  kCmdSetReAskLast = 15,
  kCmdFirstOverride = 20,
  kCmdLastOverride = 25,
  kCmdStopCountdown = 30,
  kCmdCheckNow = 31,
  kCmdDownloadOnly = 32,
};

LRESULT Result(uint32_t bits) { return static_cast<LRESULT>(bits); }

// Commands that read; true when `command` is one.
bool ReadCommand(WPARAM command, LRESULT& result) {
  const SettingsFiles files = OwnSettingsFiles();
  const OriginalSettings original(files.original);
  switch (command) {
    case kCmdVersionOriginal: result = original.VersionOriginal(); return true;
    case kCmdVersionNew: result = InfoSettings(files.info).VersionNew(); return true;
    case kCmdAgentState: result = Agent().activity; return true;
    case kCmdProbeInterval: result = Result(ClockToMessage(original.ProbeSecondsInterval())); return true;
    case kCmdReAskInterval: result = Result(ClockToMessage(original.ReAskSecondsInterval())); return true;
    case kCmdProbeLast: result = Result(ClockToMessage(original.ProbeSecondsLast())); return true;
    case kCmdReAskLast: result = Result(ClockToMessage(original.ReAskSecondsLast())); return true;
    default: return false;
  }
}

void SetCommand(WPARAM command, uint32_t argument) {
  const OriginalSettings original(OwnSettingsFiles().original);
  AgentProcessState& agent = Agent();
  switch (command) {
    case kCmdSetProbeInterval: original.SetProbeSecondsInterval(SignedFromMessage(argument)); break;
    case kCmdSetReAskInterval: original.SetReAskSecondsInterval(SignedFromMessage(argument)); break;
    case kCmdSetProbeLast: original.SetProbeSecondsLast(ClockFromMessage(argument)); break;
    case kCmdSetReAskLast: original.SetReAskSecondsLast(ClockFromMessage(argument)); break;
    case kCmdStopCountdown: SetAgentStopCountdown(argument); break;
    case kCmdCheckNow: RequestCheck(agent.schedule, static_cast<int32_t>(argument)); break;
    case kCmdDownloadOnly: agent.schedule.downloadOnly = true; break;
    default:
      if (command >= kCmdFirstOverride && command <= kCmdLastOverride) {
        agent.overrides.Set(static_cast<int>(command - kCmdFirstOverride) + kOvCheckPrompt,
                            static_cast<uint8_t>(argument & 0xFF));
        TraceOverrides();
      }
      break;
  }
}

}  // namespace

LRESULT HandleAgentCommand(WPARAM command, LPARAM argument) {
  LRESULT result = 0;
  if (ReadCommand(command, result)) return result;
  SetCommand(command, static_cast<uint32_t>(argument));
  return 0;
}

}  // namespace kestro
