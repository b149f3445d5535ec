// The update decision on the settings files beside the agent: the rules are
// the core's, the values come from the files, the clock and the servers.
#include <string>

#include "core/StubAU/agent_clock.h"
#include "core/StubAU/update_decision.h"
#include "win/Files/files.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/StubAU/agent_check.h"
#include "win/InetHTTP/inet_http.h"
#include "win/StubAU/agent_state.h"
#include "win/StubUtil/update_settings.h"
#include "win/Utils/utils.h"

namespace kestro {

namespace {

// Measures the file the release would download: in the folder when the
// location is one, else on the server (never in test mode).
bool DownloadSizeMatches(const InfoSettings& info) {
  const TestModeState& test = Agent().testMode;
  const SizeProbe p = ChooseSizeProbe(info.AutoInform(), info.NameOfUpdateFile(),
                                      info.SizeOfUpdateFile(), info.NameOfInformFile(),
                                      info.SizeOfInformFile());
  const std::string base = test.on ? test.url : info.DownloadUrlUpdate();
  std::string location = base + "\\" + p.name;
  int64_t actual = -1;
  if (FileExists(location)) {
    actual = static_cast<int32_t>(FileSizeByName(location));
  } else if (!test.on && IsInternetConnected()) {
    location = base + "/" + p.name;
    actual = HTTP_GetFileSize(location);
  }
  const bool ok = SizeWithinTolerance(actual, p.expected);
  if (!ok) {
    WriteLog("  InfoSize=" + std::to_string(p.expected));
    WriteLog("  HttpSize=" + std::to_string(actual));
    WriteLog("  URL=" + location);
  }
  return ok;
}

}  // namespace

int64_t AgentNow() { return AgentClockFromCivil(LocalNow()); }

bool GetOkToPerformAU(bool infoDownloaded, int& code, std::string& text) {
  const SettingsFiles files = OwnSettingsFiles();
  const OriginalSettings original(files.original);
  const InfoSettings info(files.info, Agent().overrides);
  DecisionFacts f;
  f.infoDownloaded = infoDownloaded;
  f.versionOriginal = original.VersionOriginal();
  f.versionNew = info.VersionNew();
  f.stampOriginal = original.Stamp();
  f.stampInfo = info.Stamp();
  f.reAskDue = ReAskDue(AgentNow(), original.ReAskSecondsLast(), original.ReAskSecondsInterval());
  f.interactiveTestRun = Agent().schedule.testRunLevel == 1;
  f.validVersions = info.ValidVersions();
  code = DecideUpdate(f, [&] { return DownloadSizeMatches(info); });
  text = DecisionText(code);
  PidTrace(" GetOkToPerformAU=" + std::to_string(code));
  WriteLog("GetOkToPerformAU = " + std::to_string(code) + " - " + text);
  return code == kDecOk;
}

}  // namespace kestro
