// One update after a positive decision: questions, the UPDATE download, the
// shut-down of the running product, the new setup's run, the new version,
// the finish notice and the product's restart.
#include <windows.h>

#include <string>

#include "core/StubAU/update_cycle.h"
#include "core/Utils/ksub.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/PackX/setup_package.h"
#include "win/ShellDir/expand_tokens.h"
#include "win/StubAU/agent_state.h"
#include "win/StubAU/agent_window.h"
#include "win/StubAU/download_au.h"
#include "win/StubAU/shut_down_product.h"
#include "win/StubAU/update_actions.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubSetup/stubsetup.h"
#include "win/StubUtil/update_settings.h"
#include "win/Utils/start_program.h"
#include "win/Utils/utils.h"

namespace kestro {

// ---- helpers -----------------------------------------------------------------
namespace {

const uint32_t kAfterDownloadQuestionMs = 500;
const uint32_t kAfterInstallQuestionMs = 100;

// What one cycle reads, read once at its start.
struct Cycle {
  SettingsFiles files = OwnSettingsFiles();
  OriginalSettings original{files.original};
  InfoSettings info{files.info, Agent().overrides};
  MsgBoxLook look = original.MsgBox();
  bool testRun = Agent().schedule.testRunLevel == 1;

  // An agent text with the product's name in place of "PROG_NAME".
  std::string Text(const std::string& key) const {
    return SUB::ReplaceText(original.AgentText(key, ""), "PROG_NAME", info.ProgramName());
  }
};

// The downloaded UPDATE file is deleted however the cycle ends: a declined
// or failed update leaves nothing beside the agent. Only a file this cycle
// downloaded and verified is owned so: a failed download deletes nothing.
class UpdateFile {
 public:
  explicit UpdateFile(std::string path) : path_(std::move(path)) {}
  ~UpdateFile() { DeleteFileA(path_.c_str()); }
  UpdateFile(const UpdateFile&) = delete;
  UpdateFile& operator=(const UpdateFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A question (true on Yes) or, forced, a notice that goes on whatever the
// user does; then a short pause with messages flowing.
bool AskOrTell(const Cycle& c, const std::string& message, bool force, uint32_t pauseMs) {
  bool goOn = true;
  if (force) {
    MsgBoxAttention(2, message, c.look.attention, 0, c.look.charset, c.look.buttons);
  } else {
    goOn = MsgBoxConfirm(0, message, c.look.confirm, 0, c.look.charset, c.look.buttons);
  }
  WaitWithMessages(pauseMs);
  return goOn;
}

// The question (or forced notice) before the download; true to go on.
bool AgreedToDownload(const Cycle& c) {
  if (!c.info.RequestConfirmationBeforeDownload() || c.testRun) return true;
  const bool force = c.info.RequestConfirmationBeforeDownloadForce();
  const std::string second = PreDownloadSecondKey(c.info.RequestConfirmationBeforeInstall(), force);
  return AskOrTell(c, c.Text("s11") + c.Text(second), force, kAfterDownloadQuestionMs);
}

bool DownloadUpdate(const Cycle& c, const std::string& name) {
  PidTrace(" ==== PerformAutoUpdate-6 ====");
  Agent().activity = kAgentDownloadingUpdate;
  NotifyAgentListener(kNotifyUpdateDownload, kNotifyBefore);
  std::string error;
  const bool downloaded = DownloadFileAU(c.info.DownloadUrlUpdate(), name, kDownloadUpdate, error);
  NotifyAgentListener(kNotifyUpdateDownload, kNotifyAfter);
  return downloaded;
}

// The question (or forced notice) before the installation; true to go on.
bool AgreedToInstall(const Cycle& c) {
  if (!c.info.RequestConfirmationBeforeInstall() || c.testRun) return true;
  const bool force = c.info.RequestConfirmationBeforeInstallForce();
  return AskOrTell(c, c.Text(PreInstallKey(force)), force, kAfterInstallQuestionMs);
}

bool RunUpdateSetup(const Cycle& c, const std::string& updatePath) {
  Agent().activity = kAgentRunningSetup;
  NotifyAgentListener(kNotifySetupRun, kNotifyBefore);
  PidTrace(" ==== PerformAutoUpdate-10 ====");
  bool result = false;
  if (RunHost* host = AgentHost()) {
    // Closed again before the UPDATE file is deleted.
    SetupPackage package(updatePath);
    result = RunSetup(*host, package, ExtractionFolder(), OwnPackage().GetAgentExeName(),
                      !c.info.BackgroundUpdate(), OriginalInfoFileArg(c.files.info));
  }
  ShowAgentWindow(false);
  DeleteExtractionFolder();
  PidTrace(" ==== PerformAutoUpdate-11 ====");
  NotifyAgentListener(kNotifySetupRun, kNotifyAfter);
  return result;
}

// The finish notice (a question when the product may be started again),
// then the restart of the product this cycle closed.
void FinishAndRestart(const Cycle& c, bool result, bool restart, const std::string& productPath) {
  const std::string message = c.Text("s16");
  bool answer = true;
  if (result && (c.info.InformFinish() || c.testRun)) {
    if (restart) {
      answer = MsgBoxConfirm(1, message + c.Text("s17"), c.look.confirm, 0, c.look.charset,
                             c.look.buttons);
    } else {
      MsgBoxAttention(1, message, c.look.attention, 0, c.look.charset, c.look.buttons);
    }
  }
  PidTrace(" ==== PerformAutoUpdate-12 ====");
  PidTrace(RestartTraceText(restart, answer, productPath));
  if (restart && answer) StartProgram(productPath, "", SW_SHOW);
}

// From the download on; the UPDATE file goes when this returns.
bool UpdateFromDownload(const Cycle& c, const std::string& name) {
  if (!DownloadUpdate(c, name)) return false;
  UpdateFile update(c.files.folder + name);
  if (!AgreedToInstall(c)) return false;

  PidTrace(" ==== PerformAutoUpdate-7 ====");
  SetInstallFolders(c.original.TargetDir(), c.original.SharedDir(), c.original.AuxiliaryDir());
  const std::string productPath = ExpandTokens(c.info.RunningProcess(), "\\", true, true, true);
  const ShutDownOutcome shut =
      ShutDownProduct(productPath, c.info.ShutDownMethod(), c.original.AgentText("s15", ""), c.look);
  if (shut.refused) return false;
  const bool restart = RestartAfterUpdate(c.info.RestartProcess(), shut.state);

  const bool result = RunUpdateSetup(c, update.Path());
  if (result) c.original.SetVersionOriginal(c.info.VersionNew());
  DeleteFileA(update.Path().c_str());
  FinishAndRestart(c, result, restart, productPath);
  return result;
}

}  // namespace

// ---- interface -----------------------------------------------------------------

bool PerformAutoUpdate() {
  WriteLog("PerformAutoUpdate() - START");
  PidTrace(" ==== PerformAutoUpdate-4 ====");
  const Cycle c;
  bool result = false;
  const std::string name = c.info.NameOfUpdateFile();
  const std::string safeName = SafeUpdateFileName(name);
  const std::string refusal = safeName.empty() ? "not a plain file name" : RefusedDownloadName(safeName);
  if (c.info.DownloadUrlUpdate().empty() || name.empty()) {
    // nothing to fetch
  } else if (!refusal.empty()) {
    // Asked about nothing, fetched nothing.
    WriteLog("ERROR: refused NameOfUpdateFile \"" + name + "\": " + refusal);
  } else {
    PidTrace(" ==== PerformAutoUpdate-5 ====");
    if (AgreedToDownload(c)) result = UpdateFromDownload(c, safeName);
  }
  PidTrace(" ==== PerformAutoUpdate-13 ====");
  WriteLog("PerformAutoUpdate() - END    Result=" + SUB::BoolText(result));
  return result;
}

}  // namespace kestro
