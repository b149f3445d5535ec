#include "win/StubAU/agent_window.h"

#include <commctrl.h>

#include "win/CommUtils/progbar.h"

namespace kestro {

namespace {

HWND g_main = nullptr;

// The children in the order the main window creates them.
HWND Child(const char* cls, int index) {
  HWND w = nullptr;
  for (int i = 0; i <= index; ++i) w = FindWindowExA(g_main, w, cls, nullptr);
  return w;
}

}  // namespace

void SetAgentWindow(HWND main) { g_main = main; }
HWND AgentWindow() { return g_main; }

void ShowAgentWindow(bool show) {
  if (g_main) ShowWindow(g_main, show ? SW_SHOW : SW_HIDE);
}

void SetAgentStatus(const std::string& text) {
  if (HWND label = Child("Static", 0)) SetWindowTextA(label, text.c_str());
}

ProgressSink AgentProgressSink() {
  return MakeStubProgressSink(Child(PROGRESS_CLASSA, 0), Child(PROGRESS_CLASSA, 1));
}

}  // namespace kestro
