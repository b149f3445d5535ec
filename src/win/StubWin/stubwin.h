// The stub's main window: a small top-level window (no dialog resources) with
// the program icon, a status label, a step bar and a busy bar. Its timer
// drives the work (setup run or agent), and its window procedure is the
// stub's control interface for other processes (three private messages and
// the notifications posted to a registered listener). The work sees the
// window only as the RunHost handed to the tick handler.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "win/StubGlob/run_host.h"

namespace kestro {

// Private messages; the numbers are shared with the engine and other copies.
inline constexpr UINT wm_ShutDown = 1123;  // wParam: new stop countdown
inline constexpr UINT wm_LocalMsg = 1124;  // wParam: listener window, lParam: its message
inline constexpr UINT wm_AgentMsg = 1125;  // wParam: command, lParam: argument

// Listener notification codes posted by the window.
inline constexpr WPARAM kNotifyMainWindow = 50;   // value: the main window
inline constexpr WPARAM kNotifyCommandMsg = 51;   // value: wm_AgentMsg
inline constexpr WPARAM kNotifyLoopEnded = 43;    // value: 0

inline constexpr int kMainWidth = 492;
inline constexpr int kMainHeight = 110;
inline constexpr UINT_PTR kWorkTimerId = 1;
inline constexpr UINT kWorkTimerMs = 1000;

// What the timer runs, chosen by the run mode: the setup modes run once (the
// timer is stopped before the first tick's work, which keeps messages
// flowing for minutes), the agent on every tick.
struct TickHandler {
  std::function<void(RunHost& host)> run;
  bool once = false;
};

// Registers the class (named by InstanceName()), creates the hidden window,
// runs the message loop until it ends and tears down.
void RunMainWindow(const TickHandler& tick);

// PostMessageA to the registered listener, when there is one.
void NotifyListener(WPARAM code, LPARAM value);

}  // namespace kestro
