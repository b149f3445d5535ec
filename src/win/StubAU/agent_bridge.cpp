#include "win/StubAU/agent_bridge.h"

#include "core/StubAU/agent_clock.h"
#include "win/StubGlob/switches.h"
#include "win/StubAU/agent_check.h"
#include "win/StubAU/agent_state.h"
#include "win/StubAU/agent_window.h"
#include "win/StubAU/transient_agent.h"
#include "win/KDebug/agent_log.h"
#include "win/StubGlob/stubglob.h"

namespace kestro {

namespace {
const char kSwTransientX[] = "/TRANSIENTx=";
}  // namespace

void SetAgentStopCountdown(WPARAM countdown) {
  Agent().schedule.stopCountdown =
      static_cast<int32_t>(SignedFromMessage(static_cast<uint32_t>(countdown)));
}

void SetAgentStartDelay(int64_t delay) { SetStartDelay(Agent().schedule, delay); }

void SetAgentListener(HWND listener, UINT message) {
  Agent().listener = listener;
  Agent().listenerMessage = message;
}

void OnAgentTimer(RunHost& host) {
  SetAgentHost(&host);
  AgentTimerTick();
}

bool CreateAndRunTransientCopy(bool transientRunning) {
  return CreateAndRun_X_Exe(transientRunning);
}

void HandParamsToRunningAgent(bool transientRunning) { HandleParamOK(transientRunning); }

void PrepareTransientAgent() {
  const std::string overrides = GetSwitchValue(OwnParams(), kSwTransientX, "");
  if (!overrides.empty()) {
    Agent().overrides.Load(overrides);
    TraceOverrides();
  }
  WriteLog("CheckTestMode");
  ReadTestMode(true);
}

}  // namespace kestro
