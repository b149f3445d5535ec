#include "win/StubAU/agent_window.h"

namespace kestro {

namespace {

RunHost* g_host = nullptr;

}  // namespace

void SetAgentHost(RunHost* host) { g_host = host; }

RunHost* AgentHost() { return g_host; }

void ShowAgentWindow(bool show) {
  if (g_host) g_host->ShowWindow(show);
}

void EndAgentWindow() {
  if (g_host) g_host->PostEnd();
}

void SetAgentStatus(const std::string& text) {
  if (g_host) g_host->SetStatusLine(text);
}

std::uintptr_t AgentBoxOwner() { return g_host ? g_host->BoxOwner() : 0; }

ProgressSink AgentProgressSink() {
  if (g_host) return g_host->Progress();
  return [](ProgressEvent, std::int64_t, int) {};
}

}  // namespace kestro
