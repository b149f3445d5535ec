#include "win/StubAU/download_au.h"

#include <windows.h>

#include <memory>
#include <utility>

#include "core/Files/file_names.h"
#include "core/StubAU/agent_download_bounds.h"
#include "core/StubAU/download_names.h"
#include "core/StubAU/inform_file.h"
#include "core/StubAU/release_info.h"
#include "core/Utils/ksub.h"
#include "win/Files/files.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/InetHTTP/inet_http.h"
#include "win/StubAU/agent_state.h"
#include "win/StubAU/agent_window.h"
#include "win/StubAU/release_gate.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubUtil/update_settings.h"
#include "win/Utils/registry.h"
#include "win/Utils/utils.h"

namespace kestro {

// ---- helpers -----------------------------------------------------------------
namespace {

struct KindText {
  const char* key;
  const char* def;
};
const KindText kStatusTexts[] = {{"s31", "Downloading INFO File..."},
                                 {"s32", "Downloading UPDATE File..."},
                                 {"s33", "Downloading INFORM File..."}};
const char kBadToken[] = "Bad Secret Token!";
const uint32_t kClientPauseMs = 500;

// The private file an UPDATE or INFORM download is written to until it
// verified: created here, under a name no ".INFO" file can give (the "~"
// of temporary names), and deleted unless it took its final name. A failed
// or refused download therefore never writes or deletes a file this cycle
// did not create.
class PrivateDownload {
 public:
  ~PrivateDownload() {
    if (!path_.empty()) DeleteFileA(path_.c_str());
  }
  bool Create(const std::string& folder) {
    char path[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "~au", 0, path)) return false;
    path_ = path;
    return true;
  }
  const std::string& Path() const { return path_; }
  bool MoveTo(const std::string& dest) {
    if (!MoveFileExA(path_.c_str(), dest.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    path_.clear();
    return true;
  }

 private:
  std::string path_;
};

// One download context: what every step below needs to know.
struct Fetch {
  int kind;
  std::uint64_t bound = 0;  // the most a server may send (0: the client's own)
  std::string name, source, local, content, error;
  PrivateDownload temp;
  bool show = false;
  bool fromServer = false;
  SettingsFiles files;
};

TProgBar& ProgressNotifier() {
  static std::unique_ptr<TProgBar> bar;
  if (!bar) bar = std::make_unique<TProgBar>(AgentProgressSink());
  return *bar;
}

// A folder copy has no progress of its own; the bar moves through ten steps
// so that the user sees the update arrive.
void ShowFolderCopyProgress() {
  ProgressSink sink = AgentProgressSink();
  sink(ProgressEvent::kStart, 10, 0);
  for (int i = 0; i < 10; ++i) {
    sink(ProgressEvent::kStep, 0, 0);
    WaitWithMessages(300);
  }
  sink(ProgressEvent::kStart, 0, 0);
}

void FetchFromFolder(Fetch& f) {
  if (f.kind == kDownloadInfo) {
    f.content = ReadWholeFile(f.source);
    return;
  }
  if (FileSizeByName(f.source) <= 0) return;
  // Copied as a file: an update does not fit the memory of this process.
  if (!CopyFileA(f.source.c_str(), f.temp.Path().c_str(), FALSE)) {
    f.error = "Unable to copy " + f.source + " (" + LastErrorText() + ")";
    return;
  }
  f.local = f.temp.Path();
  if (f.show) ShowFolderCopyProgress();
}

void FetchFromServer(Fetch& f, const std::string& location) {
  WaitWithMessages(kClientPauseMs);
  f.source = location + "/" + f.name;
  f.fromServer = true;
  SetDownloadAbort(false);
  if (f.kind != kDownloadInfo) f.local = f.temp.Path();
  DownloadRequest request;
  request.url = f.source;
  request.destPath = f.local;
  if (Agent().schedule.testRunLevel == 1) request.started = [] { ShowAgentWindow(true); };
  request.progress = &ProgressNotifier();
  request.maxBytes = f.bound;
  DownloadResult result = DownloadFile(request);
  f.error = result.error;
  f.content = std::move(result.content);
  WaitWithMessages(kClientPauseMs);
}

// The most bytes a server may send for the file of this kind.
std::uint64_t DownloadBound(int kind, const InfoSettings& info, const SettingsFiles& files) {
  if (kind == kDownloadInfo) return kInfoFileBound;
  const bool inform = kind == kDownloadInform;
  std::int64_t signedSize = 0;
  if (!OwnPackage().GetReleaseKey().empty()) {
    const ReleaseFacts facts = ReadReleaseFacts(ReadWholeFile(files.info));
    signedSize = (inform ? facts.inform : facts.update).size;
  }
  return ReleaseFileBound(signedSize, inform ? info.SizeOfInformFile() : info.SizeOfUpdateFile());
}

bool SameProductToken(int kind, const std::string& local) {
  if (local.empty() || !FileExists(local)) return false;
  if (kind == kDownloadInform)
    return InformTokenMatches(ReadWholeFile(local), OwnPackage().GetProductToken(false));
  if (kind != kDownloadUpdate) return false;
  return TGFileInfo(local).GetProductToken(true) == OwnPackage().GetProductToken(true);
}

// ---- outcome by kind -----------------------------------------------------------

bool FinishInfo(Fetch& f) {
  if (f.error.empty() && !f.content.empty())
    f.error = HtmlErrorPageMessage("", f.content, f.source, "");
  const bool ok = f.error.empty() && !f.content.empty();
  // The last good copy stays until a good one replaces it: other programs
  // read it, and an error page, an empty answer or a refused release is no
  // release.
  const bool accepted = ok && AcceptInfo({f.source, f.fromServer}, f.content, f.files, f.error);
  if (SUB::StartsWith(f.error, "3")) f.error.clear();
  return accepted;
}

// Logs and traces why a release file is refused; false.
bool RefuseFile(const std::string& name, const std::string& why, std::string& error) {
  error = "refused " + name + ": " + why;
  WriteLog("ERROR: " + error);
  PidTrace(" DownloadRefused: " + error);
  return false;
}

// The verified download takes its final name beside the agent.
bool PlaceFile(Fetch& f) {
  return f.temp.MoveTo(f.files.folder + f.name) || RefuseFile(f.name, "cannot write it", f.error);
}

bool FinishFile(Fetch& f, const MsgBoxLook& look) {
  if (SameProductToken(f.kind, f.local))
    return AcceptReleaseFile(f.kind, f.local, f.name, f.files, f.error) && PlaceFile(f);
  const std::string why = HtmlErrorPageMessage(f.local, "", f.source, kBadToken);
  if (!f.local.empty()) DeleteFileA(f.local.c_str());
  WriteLog("ERROR: " + why);
  MsgBoxError(0, why, look.error, look.charset, look.buttons);
  return false;
}

void ReportFileError(const Fetch& f, const OriginalSettings& original, const MsgBoxLook& look) {
  std::string message;
  if (IsDownloadAborted()) {
    message = original.AgentText("s3", "File Download Aborted!");
  } else if (f.source[1] == ':' || SUB::StartsWith(f.source, "\\\\")) {
    message = original.AgentText("s4", "File not Found!") + "<P><P>" + f.source;
  } else {
    message = original.AgentText("s5", "Unable to Download File!") + "<P><P>" + f.source;
  }
  WriteLog("ATTENTION: " + message);
  MsgBoxAttention(0, message, look.attention, 0, look.charset, look.buttons);
}

}  // namespace

// ---- interface -----------------------------------------------------------------

std::string RefusedDownloadName(const std::string& name) {
  const SettingsFiles files = OwnSettingsFiles();
  return DownloadNameRefusal(name, files.infoName, ExtractFileName(files.original), OwnPackage().GetAgentExeName());
}

bool DownloadFileAU(const std::string& location, const std::string& name, int kind,
                    std::string& error) {
  AgentProcessState& agent = Agent();
  Fetch f;
  f.kind = kind;
  f.files = OwnSettingsFiles();
  f.name = ExtractFileName(name);
  if (kind != kDownloadInfo) {
    const std::string why = RefusedDownloadName(name);
    if (!why.empty()) return RefuseFile(name, why, error);
    if (!f.temp.Create(f.files.folder)) return RefuseFile(name, "no file can be made beside the agent", error);
  }
  const std::string base = agent.testMode.on ? agent.testMode.url : location;
  f.source = base + "\\" + f.name;
  PidTrace(" DownloadFileAU: " + f.source);
  WriteLog("TestMode=" + SUB::BoolText(agent.testMode.on));
  WriteLog("Download START: " + f.source);

  const OriginalSettings original(f.files.original);
  const InfoSettings info(f.files.info, agent.overrides);
  const MsgBoxLook look = original.MsgBox();
  const bool confirmDownload = kind == kDownloadUpdate && info.RequestConfirmationBeforeDownload();
  f.show = confirmDownload && agent.schedule.testRunLevel != 1;
  if (f.show) ShowAgentWindow(true);
  const KindText& label = kStatusTexts[(kind >= 1 && kind <= 3 ? kind : 1) - 1];
  SetAgentStatus(original.AgentText(label.key, label.def));

  if (FileExists(f.source)) {
    FetchFromFolder(f);
  } else if (!agent.testMode.on && IsInternetConnected()) {
    f.bound = DownloadBound(kind, info, f.files);
    FetchFromServer(f, base);
  }
  if (f.show) ShowAgentWindow(false);
  WriteLog("Download END:   " + f.source);
  if (!f.error.empty()) WriteLog("ERROR: " + f.error);

  bool result;
  if (kind == kDownloadInfo) {
    result = FinishInfo(f);
  } else if (f.error.empty()) {
    result = FinishFile(f, look);
  } else {
    result = false;
    if (f.source.size() > 2 && info.RequestConfirmationBeforeDownload())
      ReportFileError(f, original, look);
  }
  error = f.error;
  return result;
}

}  // namespace kestro
