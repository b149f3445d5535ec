#include <windows.h>

#include <string>

#include "core/KDebug/trace.h"
#include "core/Utils/ksub.h"
#include "win/KDebug/kdebug.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/StubAU/agent_check.h"
#include "win/StubAU/agent_state.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubUtil/update_settings.h"

namespace kestro {

// ---- the check prompt ------------------------------------------------------------
namespace {

const char kTestModeNote[] =
    "<P><P><T><B>PLEASE NOTE</B> - You are now running in <B>Test Mode</B>!";

// Asks before a check; true when the user agrees.
bool CheckPromptAnsweredYes(const OriginalSettings& original, const MsgBoxLook& look) {
  const bool testMode = ReadTestMode(true);
  const std::string location = testMode ? Agent().testMode.url : OwnPackage().GetUpdateUrl();
  std::string s23 = original.AgentText("s23", "");
  // The middle part speaks of the internet; a drive path is none.
  if (location.size() < 2 || location[1] == ':') s23.clear();
  const std::string text = original.AgentText("s22", "") + s23 + original.AgentText("s24", "") +
                           (testMode ? kTestModeNote : "");
  return MsgBoxConfirm(1, SUB::ReplaceText(text, "PROG_NAME", original.ProgramName()), look.confirm,
                       0, look.charset, look.buttons);
}

// ---- one tick ----------------------------------------------------------------------

void ScheduledTick() {
  AgentProcessState& agent = Agent();
  const OriginalSettings original(OwnSettingsFiles().original);
  const MsgBoxLook look = original.MsgBox();
  SetMsgBoxFont(look.fontName, look.fontSize, look.charset);
  agent.activity = kAgentIdle;

  const TickStart tick = BeginTick(agent.schedule);
  if (tick.quit) PostQuitMessage(0);
  PidTrace(" AutoUpdateTimerCount=" + std::to_string(agent.schedule.timerCount));
  if (!tick.mayCheck) return;

  ReadTestMode(false);
  const int64_t now = AgentNow();
  const ProbeTimes times{original.ProbeSecondsInterval(), original.ProbeSecondsLast()};
  int status = ShotTimeStatus(agent.schedule, times, now, agent.testMode.on);
  PidTrace(" ShotTimeStatus=" + std::to_string(status));
  if (status == kShotLastOne) agent.schedule.probing = false;
  const bool ask = agent.schedule.testRunLevel == 1 || agent.overrides.CheckPrompt();
  if (status > 0 && ask && !CheckPromptAnsweredYes(original, look)) {
    status = kShotNotDue;
    RememberDecline(agent.schedule, now);
  }
  if (status > 0) PerformShot();
  EndTick(agent.schedule);
}

}  // namespace

void AgentTimerTick() {
  AgentProcessState& agent = Agent();
  if (agent.inTick) return;
  agent.inTick = true;
  if (agent.schedule.downloadOnly) {
    Trace("-------------- JustDownloadInfoFile ---------------");
    agent.schedule.downloadOnly = false;
    JustDownloadInfoFile();
  } else {
    ScheduledTick();
  }
  agent.activity = kAgentIdle;
  agent.inTick = false;
}

}  // namespace kestro
