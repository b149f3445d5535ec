#include <string>

#include "core/StubAU/agent_clock.h"
#include "core/StubAU/update_decision.h"
#include "core/Utils/ksub.h"
#include "win/KDebug/kdebug.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/StubAU/agent_check.h"
#include "win/InetHTTP/inet_http.h"
#include "win/StubAU/agent_state.h"
#include "win/StubAU/agent_window.h"
#include "win/StubAU/download_au.h"
#include "win/StubAU/transient_agent.h"
#include "win/StubAU/update_actions.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubUtil/update_settings.h"
#include "win/Utils/developer_mode.h"
#include "win/Utils/utils.h"

namespace kestro {

// ---- helpers -----------------------------------------------------------------
namespace {

bool DownloadInfoFile(std::string& error) {
  NotifyAgentListener(kNotifyInfoDownload, kNotifyBefore);
  const bool ok = DownloadFileAU(OwnPackage().GetUpdateUrl(), OwnSettingsFiles().info,
                                 kDownloadInfo, error);
  NotifyAgentListener(kNotifyInfoDownload, kNotifyAfter);
  return ok;
}

void ActOnRelease(const OriginalSettings& original, const InfoSettings& info) {
  PidTrace(" ==== PerformShot-1 ====");
  original.SetReAskSecondsLast(AgentNow());
  original.SetStamp(info.Stamp());
  if (info.AutoInform()) {
    PerformAutoInform();
  } else if (PerformAutoUpdate()) {
    ReStartAutoUpdateExe();
  }
  PidTrace(" ==== PerformShot-2 ====");
}

// The interactive test run tells the user how the check went.
void ReportTestRun(const OriginalSettings& original, int code, const std::string& infoError) {
  const MsgBoxLook look = original.MsgBox();
  const bool testMode = Agent().testMode.on;
  std::string netMessage;
  const bool connected = IsInternetConnected(netMessage);
  PidTrace(" TestMode=" + SUB::BoolText(testMode) + " InternetConnected=" + SUB::BoolText(connected));
  if (!testMode && !connected) {
    std::string message = original.AgentText("s2", "");
    if (!netMessage.empty()) message += "<P><P>" + netMessage;
    MsgBoxError(0, message, look.error, look.charset, look.buttons);
  } else if (!testMode && !infoError.empty()) {
    MsgBoxError(0, infoError, look.error, look.charset, look.buttons);
  } else {
    std::string message = original.AgentText("s21", "");
    if (IsDeveloperMode())
      message += "<P><P>(" + std::to_string(code) + " - " + DecisionText(code) + ")   ";
    MsgBoxAttention(1, message, look.attention, 0, look.charset, look.buttons);
  }
}

}  // namespace

// ---- interface -----------------------------------------------------------------

void PerformShot() {
  PidTrace(" Fire  " + DateTimeText(LocalNow(), " "));
  ReadTestMode(true);
  AgentProcessState& agent = Agent();
  const SettingsFiles files = OwnSettingsFiles();
  const OriginalSettings original(files.original);
  agent.activity = kAgentDownloadingInfo;
  std::string infoError;
  const bool downloaded = DownloadInfoFile(infoError);
  original.SetProbeSecondsLast(AgentNow());
  ForgetDecline(agent.schedule);

  int code = 0;
  std::string text;
  const bool performed = GetOkToPerformAU(downloaded, code, text);
  if (performed) ActOnRelease(original, InfoSettings(files.info, agent.overrides));

  if (agent.schedule.testRunLevel == 1) {
    WaitWithMessages(1000);
    ShowAgentWindow(false);
    if (!performed) ReportTestRun(original, code, infoError);
  }
}

bool JustDownloadInfoFile() {
  std::string error;
  return DownloadInfoFile(error);
}

}  // namespace kestro
