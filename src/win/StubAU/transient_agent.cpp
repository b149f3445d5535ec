#include "win/StubAU/transient_agent.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/Files/file_names.h"
#include "core/StubAU/agent_lines.h"
#include "win/StubGlob/switches.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/ProcessViewer/processviewer.h"
#include "win/StubAU/agent_state.h"
#include "win/StubAU/agent_window.h"
#include "win/StubGlob/stubglob.h"
#include "win/Utils/start_program.h"
#include "win/Utils/utils.h"

namespace kestro {

namespace {

inline constexpr UINT kWmShutDown = 1123;
inline constexpr UINT kWmLocalMsg = 1124;
inline constexpr UINT kWmAgentMsg = 1125;
inline constexpr WPARAM kCmdPerformUpdateCycle = 31;
// How long the plain agent waits for the new copy's window before it hands
// over its switches: a message posted before the window exists is lost.
inline constexpr int64_t kCopyWindowWaitMs = 10000;

std::string TransientPath() {
  return ExeDir(true) + kTransientFilePrefix + ExtractFileName(OwnExePath());
}

bool NamedAsPlainAgent() {
  return SUB::SameText(SUB::Trim(ExtractFileName(OwnExePath())),
                       SUB::Trim(OwnPackage().GetAgentExeName()));
}

void WaitForCopyWindow(const std::string& copy) {
  const int64_t start = MilliCounter();
  do {
    WaitWithMessages(200);
    if (FindMainWindow(copy, true, true)) return;
  } while (MilliCounter() - start <= kCopyWindowWaitMs);
}

void StartTransientCopy(const std::string& params) {
  const int64_t wait = GetSwitchInt(params, "/WAIT=", 0);
  WriteLog("Wait " + std::to_string(wait) + " SEC");
  if (wait > 0) WaitWithMessages(static_cast<uint32_t>(wait * 1000));
  const std::string copy = TransientPath();
  CopyFileA(OwnExePath().c_str(), copy.c_str(), FALSE);
  WriteLog("Create X_ File ");
  const std::string args = TransientCopyArgs(GetSwitchValue(params, "/TRANSIENT=", ""),
                                             GetSwitchValue(params, "/DELAY=", ""));
  WriteLog("WinExec: " + CommandPath(copy) + args);
  StartProgram(copy, args, SW_HIDE);
  if (!SUB::Trim(params).empty()) WaitForCopyWindow(copy);
}

bool PostToCopy(const std::string& copy, UINT message, WPARAM w, LPARAM l) {
  return PostProcessMessage(copy, true, message, w, l);
}

}  // namespace

bool CreateAndRun_X_Exe(bool transientRunning) {
  WriteLog("CreateAndRun_X_Exe() --- Start");
  const std::string params = OwnParams();
  const std::string zz = GetSwitchValue(params, "/_ZZ=", "");
  PidTrace(" CreateAndRun_X_Exe-1 " + zz);
  if (IsAgentFile() && (!transientRunning || zz == "99") && NamedAsPlainAgent()) {
    PidTrace(" CreateAndRun_X_Exe-2");
    StartTransientCopy(params);
  }
  WriteLog("CreateAndRun_X_Exe() --- End");
  return transientRunning;
}

bool HandleParamOK(bool transientRunning) {
  WriteLog("HandleParamOK() --- Start");
  const std::string params = OwnParams();
  const std::string copy = TransientPath();
  const bool copyExists = FileExists(copy);
  bool posted = false;

  const int64_t stop = GetSwitchInt(params, "/STOP=", -1);
  if (stop >= 0 && copyExists) {
    WriteLog("PostProcessMessage(wm_ShutDown) to: " + copy);
    PostToCopy(copy, kWmShutDown, static_cast<WPARAM>(stop), 0);
    posted = true;
  }
  const std::string listener = GetSwitchValue(params, "/WM_MSG=", "");
  if (!listener.empty() && copyExists) {
    const ListenerPair pair = ParseListenerPair(listener);
    WriteLog("PostProcessMessage(wm_LocalMsg) to: " + copy + " - :" + listener + ":");
    PostToCopy(copy, kWmLocalMsg, static_cast<WPARAM>(pair.window),
               static_cast<LPARAM>(pair.message));
    posted = true;
  }
  const int64_t test = GetSwitchInt(params, "/TEST=", -1);
  if (test >= 0 && copyExists) {
    WriteLog("PostProcessMessage(wm_AgentMsg) to: " + copy + " - AU_PerformUpdateCycle (" +
             std::to_string(test) + ")");
    PostToCopy(copy, kWmAgentMsg, kCmdPerformUpdateCycle, static_cast<LPARAM>(test));
    // A copy started just for this test ends after its third tick.
    if (!transientRunning && test > 0) PostToCopy(copy, kWmShutDown, 2, 0);
    posted = true;
  }
  const std::string overrides = GetSwitchValue(params, "/TRANSIENTx=", "");
  if (!overrides.empty()) Agent().overrides.Load(overrides);
  WriteLog("HandleParamOK() --- End");
  return posted;
}

void ReStartAutoUpdateExe() {
  WriteLog(".. ReStartAutoUpdateExe() - Start");
  if (Agent().schedule.stopCountdown <= 0) {
    const std::string plain = ExeDir(true) + OwnPackage().GetAgentExeName();
    const std::string args = RestartArgs(Agent().overrides.Format());
    WriteLog(".. WinExec - " + CommandPath(plain) + args);
    StartProgram(plain, args, SW_HIDE);
    WaitWithMessages(1000);
    WriteLog(".. PostMessage(WM_DESTROY)");
    EndAgentWindow();
  }
  WriteLog(".. ReStartAutoUpdateExe() - End");
}

}  // namespace kestro
