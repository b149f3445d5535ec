// The announcement: instead of installing a release, the agent fetches the
// publisher's INFORM file, checks that it belongs to this product and shows
// its text in the rich-edit box with a button to the download page.
#include <windows.h>

#include <cstdint>
#include <string>

#include "core/StubAU/inform_file.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/RichEdit/richedit.h"
#include "win/StubAU/agent_state.h"
#include "win/StubAU/agent_window.h"
#include "win/StubAU/download_au.h"
#include "win/StubAU/update_actions.h"
#include "win/StubUtil/update_settings.h"

namespace kestro {

// ---- helpers -----------------------------------------------------------------
namespace {

bool FetchInformFile(const InfoSettings& info, const std::string& name) {
  PidTrace(" ==== PerformAutoInform-2 ====");
  Agent().activity = kAgentDownloadingUpdate;
  NotifyAgentListener(kNotifyUpdateDownload, kNotifyBefore);
  std::string error;
  const bool ok = DownloadFileAU(info.DownloadUrlUpdate(), name, kDownloadInform, error);
  NotifyAgentListener(kNotifyUpdateDownload, kNotifyAfter);
  return ok;
}

// Only a web address becomes the button's link, and it opens only when the
// user presses the button: a file without a body shows the address instead
// of opening it unasked.
bool ShowAnnouncement(const OriginalSettings& original, const InfoSettings& info,
                      const std::string& body) {
  const MsgBoxLook look = original.MsgBox();
  const std::string link = AnnouncementLink(info.DownloadUrlInform());
  if (link.empty() && !SUB::Trim(info.DownloadUrlInform()).empty())
    WriteLog("ATTENTION: not a web address, no link: " + info.DownloadUrlInform());
  // A box owner that is no window (KMsgBox's "none") gives the box no owner.
  return ShowTextBox(reinterpret_cast<HWND>(AgentBoxOwner()), original.AgentText("s34", "New Version"),
                     original.AgentText("s35", "Download"), look.charset, look.fontSize,
                     look.fontName, false, AnnouncementSize(info.AutoInformW()),
                     AnnouncementSize(info.AutoInformH()), link,
                     AnnouncementBody(body, link));
}

bool Announce() {
  const SettingsFiles files = OwnSettingsFiles();
  const InfoSettings info(files.info, Agent().overrides);
  const std::string written = info.NameOfInformFile();
  const std::string name = InformFileName(written);
  if (info.DownloadUrlUpdate().empty() || name.empty()) {
    if (!written.empty() && name.empty()) WriteLog("ERROR: not a bare file name: " + written);
    return false;
  }
  if (!FetchInformFile(info, name)) return false;
  PidTrace(" ==== PerformAutoInform-3 ====");
  const std::string body = SplitInformText(ReadWholeFile(files.folder + name)).body;
  const OriginalSettings original(files.original);
  if (!ShowAnnouncement(original, info, body)) return false;
  // Shown once: the announced release now counts as the installed one.
  original.SetVersionOriginal(info.VersionNew());
  PidTrace(" ==== PerformAutoInform-4 ====");
  return true;
}

}  // namespace

// ---- interface -----------------------------------------------------------------

bool PerformAutoInform() {
  WriteLog("PerformAutoInform() - START ");
  PidTrace(" ==== PerformAutoInform-1 ====");
  const bool shown = Announce();
  WriteLog("PerformAutoInform() - END " + SUB::BoolText(shown));
  return shown;
}

}  // namespace kestro
