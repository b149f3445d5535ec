#include "win/StubSetup/stubsetup.h"

#include <windows.h>

#include "core/Utils/ksub.h"
#include "core/LangRes0/lang_keys.h"
#include "win/StubGlob/switches.h"
#include "core/KDebug/trace.h"
#include "win/Files/files.h"
#include "win/KDebug/kdebug.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubSetup/engine_process.h"
#include "win/StubSetup/temp_folders.h"
#include "win/StubSetup/update_shortcuts.h"
#include "win/StubSetup/web_setup.h"
#include "win/UnPack/unpack.h"
#include "win/Utils/utils.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

const DWORD kSettleMs = 1000;
const char kNoTempFolder[] =
    "The temporary folder cannot be found.<P><P>Setup cannot extract its files and ends.";
bool g_runInProgress = false;

struct RunInProgress {
  RunInProgress() { g_runInProgress = true; }
  ~RunInProgress() { g_runInProgress = false; }
};

// Extracts the package; the engine entry comes back empty when the engine
// must not start (cancelled disc prompt, damaged or refused package).
ExtractResult Extract(RunHost& host, SetupPackage& setup, const std::string& folder,
                      const std::string& agentName) {
  const TGFileInfo& package = setup.Info();
  ExtractRequest req;
  req.destFolder = folder;
  req.agentName = agentName;
  req.alwaysPrompt = ReadForcePrompt();
  req.discPrompt = package.GetLangString(lang::kInsertDisk);
  req.discCaption = package.GetLangString(lang::kAttention);
  req.buttons = package.GetLangString(lang::kButtons);
  req.charset = package.GetCharset();
  req.progress = host.Progress();
  const std::uintptr_t owner = host.BoxOwner();
  req.messageBox = [owner](ExtractBox kind, const std::string& text, const std::string& caption,
                           const std::string& buttons, int charset) {
    if (kind == ExtractBox::kDiscPrompt) return MsgBoxOkCancel(owner, text, caption, charset, buttons);
    MsgBoxError(owner, text, caption, charset, buttons);
    return true;
  };
  return ExtractPackage(setup, req);
}

// Starts the engine named by the entry and waits for it; true when it
// removed the run token.
bool RunEngineOf(RunHost& host, const std::string& engineEntry, const std::string& folder,
                 const std::string& params, bool foreground) {
  EngineLineInput in;
  in.folder = folder;
  in.engineEntry = engineEntry;
  in.params = params;
  in.threadId = GetCurrentThreadId();
  in.ownExe = OwnExePath();
  in.isAgent = IsAgentFile();
  const EngineLine line = BuildEngineLine(in);
  const UpdateShortcuts links = ReadUpdateShortcuts();
  PidTrace(" ==== WinExec(Engine.exe) >>" + line.line + "<<");
  const EngineOutcome outcome =
      RunEngine(line.line, line.runId, foreground, [&host] { host.ShowWindow(false); });
  SetProcessExitCode(outcome.exitCode);
  if (outcome.tokenRemoved) RemoveUpdateShortcuts(links);
  return outcome.tokenRemoved;
}

// A web setup: its agent file first (the package it fetches writes none),
// then the package from beside the stub, unless told not to, or from the web.
void RunWebSetupOf(RunHost& host, const TGFileInfo& own, const std::string& agentName,
                   const std::string& params) {
  if (!agentName.empty()) WriteWebAgentFile(ExtractionFolder(), agentName);
  WebSetupInput in;
  in.own = &own;
  in.params = params;
  in.folder = ExtractionFolder();
  in.packageName = own.GetWebPackageName();
  in.source = own.GetWebSource();
  if (!own.NoLocalPackage() && FileExists(ExeDir(true) + in.packageName)) in.source = ExeDir(false);
  RunWebSetup(host, in);
}

void ShowBadCrc(const RunHost& host, const TGFileInfo& package) {
  MsgBoxError(host.BoxOwner(), package.GetLangString(lang::kBadCrc), package.GetLangString(lang::kError),
              package.GetCharset(), package.GetLangString(lang::kButtons));
}

}  // namespace

// ---- the run ---------------------------------------------------------------

bool SetupRunInProgress() { return g_runInProgress; }

void RefuseWithoutTempFolder(std::uintptr_t boxOwner) {
  const TGFileInfo& own = OwnPackage();
  MsgBoxError(boxOwner, kNoTempFolder, own.GetLangString(lang::kError), own.GetCharset(),
              own.GetLangString(lang::kButtons));
}

bool RunSetup(RunHost& host, SetupPackage& setup, const std::string& folder,
              const std::string& agentName, bool foreground, const std::string& params) {
  RunInProgress running;
  const TGFileInfo& package = setup.Info();
  if (package.ShowBusyBar()) host.ShowBusyBar();
  host.SetStatusText(package.GetLangString(lang::kExtracting), package.GetFontName(), package.GetCharset(),
                     package.GetFontSize());

  std::string dest = folder;
  bool alternative = false;
  if (!HasEnoughTempSpace(dest, package) && FindBetterTempDrive()) {
    dest = AlternativeExtractionFolder();
    alternative = true;
  }
  Trace("========= ForegroundOp=" + SUB::BoolText(foreground) + " ==========");

  bool result = false;
  if (!foreground || ConfirmTempSpace(dest, package, host.BoxOwner())) {
    if (foreground) {
      host.ShowWindow(true);
      host.BringToFront();
    }
    WaitWithMessages(kSettleMs);
    const ExtractResult ex = Extract(host, setup, dest, agentName);
    WaitWithMessages(kSettleMs);
    // A user who closed the setup window during extraction does not get
    // the installation started behind his back.
    if (!ex.engineEntry.empty() && ex.checksumOk && !host.Closed())
      result = RunEngineOf(host, ex.engineEntry, dest, params, foreground);
    if (!ex.checksumOk) ShowBadCrc(host, package);
  }
  if (alternative) DeleteTree(dest, true);
  return result;
}

void OnSetupTimer(RunHost& host) {
  const TGFileInfo& own = OwnPackage();
  const std::string agentName = own.CreatesAgent() ? own.GetAgentExeName() : std::string();
  const std::string params = OwnParams();
  if (ExtractionFolder().empty()) {
    RefuseWithoutTempFolder(host.BoxOwner());
  } else if (own.IsWebSetup()) {
    RunWebSetupOf(host, own, agentName, params);
  } else {
    SetupPackage package(GetSwitchValue(params, kSwSpanDiskFName1, OwnExePath()));
    const bool hidden = HasSwitch(params, kSwHide) || own.IsHiddenByDefault();
    RunSetup(host, package, ExtractionFolder(), agentName, !hidden, params);
  }
  DeleteExtractionFolder();
  PostQuitMessage(0);
}

}  // namespace kestro
