#include "win/StubWin/run_mode.h"

#include <windows.h>

#include "core/Files/file_names.h"
#include "core/StubWin/instance_name.h"
#include "core/Utils/ksub.h"
#include "win/StubGlob/switches.h"
#include "win/Files/files.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubSetup/stubsetup.h"
#include "win/StubSetup/temp_folders.h"
#include "win/StubAU/agent_bridge.h"
#include "win/StubWin/self_removal.h"
#include "win/StubWin/stubwin.h"

namespace kestro {

// ---- names ---------------------------------------------------------------
namespace {

const char kAgentInstancePrefix[] = ".AutoUpdate.";
const char kTransientPrefix[] = "X_";

std::string OwnFileName() { return ExtractFileName(OwnExePath()); }

bool SameTrimmedName(const std::string& a, const std::string& b) {
  return SUB::SameText(SUB::Trim(a), SUB::Trim(b));
}

bool WindowOfClassExists(const std::string& cls) {
  return FindWindowA(cls.c_str(), nullptr) != nullptr;
}

// The main window's work, chosen by the mode: the agent's timer routine on
// every tick, otherwise the setup run on the first.
TickHandler ModeTickHandler() {
  if (IsAgentFile()) return {OnAgentTimer, false};
  return {OnSetupTimer, true};
}

}  // namespace

// ---- predicates ----------------------------------------------------------

bool TransientAgentRunning() {
  const std::string base = FileBaseName(OwnPackage().GetAgentExeName());
  return WindowOfClassExists(
      FitWindowClassName(std::string(kAgentInstancePrefix) + kTransientPrefix + base));
}

bool IsPlainAgent() {
  return IsAgentFile() && SameTrimmedName(OwnFileName(), OwnPackage().GetAgentExeName());
}

bool IsTransientAgentCopy() {
  return IsAgentFile() &&
         SameTrimmedName(OwnFileName(), kTransientPrefix + SUB::Trim(OwnPackage().GetAgentExeName()));
}

bool RelayCopyNeeded() { return SpanCdLevel() == 1 && OwnPackage().IsCdSpanned(); }

std::string ModeInstanceName() {
  if (IsAgentFile()) return FitWindowClassName(kAgentInstancePrefix + FileBaseName(OwnFileName()));
  return FitWindowClassName(OwnExePath());
}

// ---- modes ---------------------------------------------------------------

bool StartRelayCopy() {
  if (ExtractionFolder().empty()) {
    RefuseWithoutTempFolder(1);
    return false;
  }
  const std::string copy = ExtractionFolder() + "\\" + kRelayCopyPrefix + OwnFileName();
  CopyFileA(OwnExePath().c_str(), copy.c_str(), FALSE);
  // Files copied off a CD stay read-only; the copy must be able to go.
  SetFileAttributesA(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
  const std::string line = BuildRelayLine(copy, OwnParams(), OwnExePath());
  PidTrace(" ==== Relay copy >>" + line + "<<");
  return WinExec(line.c_str(), SW_HIDE) > 31;
}

void DoRunStubWin() {
  WriteLog("DoRunStubWin() --- Start");
  SetInstanceName(ModeInstanceName());
  bool transientRunning = TransientAgentRunning();
  WriteLog("X_ExeIsRunning=" + SUB::BoolText(transientRunning));
  WriteLog("ThisIs_Plain_AutoUpdate_Exe=" + SUB::BoolText(IsPlainAgent()));
  WriteLog("ThisIs_X_AutoUpdate_Exe=" + SUB::BoolText(IsTransientAgentCopy()));

  if (!WindowOfClassExists(InstanceName())) {
    if (IsPlainAgent()) {
      transientRunning = CreateAndRunTransientCopy(transientRunning);
    } else if (IsTransientAgentCopy()) {
      PrepareTransientAgent();
      WriteLog("WinMain");
      RunMainWindow(ModeTickHandler());
      WriteLog("DeleteMySelf");
      StartSelfRemoval(false);
    } else if (RelayCopyNeeded()) {
      StartRelayCopy();
    } else {
      RunMainWindow(ModeTickHandler());
      if (IsLaunchedRelayCopy()) StartSelfRemoval(true);
    }
  } else {
    PidTrace(" ==== another instance runs: " + InstanceName());
  }
  if (IsPlainAgent()) HandParamsToRunningAgent(transientRunning);
  WriteLog("DoRunStubWin() --- End");
}

}  // namespace kestro
