// The agent's view of the main window it runs in: shown only while an
// update downloads with progress, its label names the file being fetched,
// its bars are the progress sink.
#pragma once
#include <windows.h>

#include <string>

#include "win/KProgBar/kprogbar.h"

namespace kestro {

// Set by every timer tick (the window that ticks).
void SetAgentWindow(HWND main);
HWND AgentWindow();

void ShowAgentWindow(bool show);
void SetAgentStatus(const std::string& text);
// The step bar and busy bar of the main window.
ProgressSink AgentProgressSink();

}  // namespace kestro
