// Entry of the setup stub: opens the package descriptor of its own file,
// writes the start and end traces, decides the run mode and ends with the
// install engine's exit code (0 when no engine ran).
#include <windows.h>

#include <string>

#include "core/KDebug/trace.h"
#include "core/Utils/ksub.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/SLangId/slangid.h"
#include "win/StubGlob/stubglob.h"
#include "win/Utils/exe_version.h"
#include "win/Utils/system_library.h"
#include "win/StubWin/run_mode.h"
#include "win/Win64/preload.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace kestro;
  // Before anything can load a library: the setup file may lie in a folder
  // where others put DLLs (src/win/Utils/system_library.h).
  RestrictLibrarySearchToSystem();
  PreloadLibraries();
  InstallDebugChannel();
  PidTrace(" ==== STUB START ====> " + RawCommandLine() + "<");
  TGFileInfo::SetUserLanguageName(GetUserLanguageName());
  OpenOwnPackage();
  SetAgentLogEnabled(IsAgentFile() && OwnPackage().AgentLogEnabled());
  if (IsTransientAgentCopy()) SetLogTag(" X ");
  WriteLog("");
  WriteLog("");
  WriteLog("=== START === " + OwnExePath());
  WriteLog("CommandLine=" + RawCommandLine());
  WriteLog("Agent Version=" + GetExeVersion("", 1, 4));
  PidTrace(" ==== ThisIs_AutoUpdateProg=" + SUB::BoolText(IsAgentFile()));

  DoRunStubWin();

  CloseOwnPackage();
  PidTrace(" ==== STUB END ====> " + RawCommandLine() + "<");
  Trace("");
  WriteLog("=== EXIT === " + OwnExePath());
  WriteLog("");
  return ProcessExitCode();
}
