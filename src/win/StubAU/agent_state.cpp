#include "win/StubAU/agent_state.h"

#include "core/StubAU/settings_values.h"
#include "win/KDebug/kdebug.h"
#include "win/Utils/registry.h"
#include "win/Utils/utils.h"

namespace kestro {

namespace {

const char kTestModeKey[] = "HKEY_CURRENT_USER\\Software\\Tolvexan\\Kestro\\AutoUpdate";
const uint32_t kTestModeRereadMs = 30000;

}  // namespace

AgentProcessState& Agent() {
  static AgentProcessState state;
  return state;
}

void NotifyAgentListener(WPARAM code, LPARAM value) {
  const AgentProcessState& a = Agent();
  if (a.listener && a.listenerMessage) PostMessageA(a.listener, a.listenerMessage, code, value);
}

void TraceOverrides() { PidTrace(" Overrides=" + Agent().overrides.Format()); }

bool ReadTestMode(bool force) {
  TestModeState& t = Agent().testMode;
  const uint32_t now = GetTickCount();
  if (force || now - t.lastRead > kTestModeRereadMs) {
    const std::string mode = RegReadString(kTestModeKey, "TestMode", "0");
    const std::string date = RegReadString(kTestModeKey, "TestModeDate", "");
    t.on = TestModeActive(mode, date, LocalNow());
    t.url = RegReadString(kTestModeKey, "TestModeURL", "");
  }
  t.lastRead = now;
  return t.on;
}

}  // namespace kestro
