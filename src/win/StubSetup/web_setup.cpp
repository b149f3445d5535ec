#include "win/StubSetup/web_setup.h"

#include "core/Files/file_names.h"
#include "core/LangRes0/lang_keys.h"
#include "win/StubGlob/switches.h"
#include "core/StubSetup/web_setup_rules.h"
#include "core/UnPack/package_blocks.h"
#include "win/CommUtils/progbar.h"
#include "win/Files/files.h"
#include "win/InetHTTP/inet_http.h"
#include "win/PackX/setup_package.h"
#include "win/KMsgBox/kmsgbox.h"
#include "win/StubGlob/stubglob.h"
#include "win/StubSetup/stubsetup.h"
#include "win/Utils/utils.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

const char kBadToken[] = "Bad Secret Token!";
const char kDeclined[] = "!";  // the user said No: nothing to show
const uint32_t kSettleBeforeMs = 300;
const uint32_t kSettleAfterMs = 700;
const int kResetRange = 10;

// The download question; true to go on.
bool AskToDownload(const RunHost& host, const TGFileInfo& own) {
  const std::string text = AskDownloadText(own.GetLangString(lang::kAskDownload), own.GetWebPackageSize());
  return MsgBoxConfirm(host.BoxOwner(), text, own.GetLangString(lang::kConfirm), 0, own.GetCharset(),
                       own.GetLangString(lang::kButtons));
}

// The "no connection" text with the system's reason, empty when connected.
std::string ConnectionError(const TGFileInfo& own) {
  std::string message;
  if (IsInternetConnected(message)) return std::string();
  const std::string error = own.GetLangString(lang::kNoConnection);
  return message.empty() ? error : error + "<P><P>" + message;
}

// The download's error text, empty when the package is in place.
std::string Download(RunHost& host, const std::string& url, const std::string& packagePath,
                     bool hidden) {
  SetDownloadAbort(false);
  TProgBar& progress = StubProgressBar(host.Progress());
  DownloadRequest r;
  r.url = url;
  r.destPath = packagePath;
  if (!hidden) r.started = [&host] { host.ShowWindow(true); };
  r.cancelled = [&host] { return host.Cancelled(); };
  r.progress = &progress;
  const std::string error = DownloadFile(r).error;
  WaitWithMessages(kSettleBeforeMs);
  progress.Start(0, kResetRange);
  WaitWithMessages(kSettleAfterMs);
  return error;
}

// Runs the setup when the package carries the own web token; the error text.
std::string RunIfOwnPackage(RunHost& host, const WebSetupInput& in, const std::string& packagePath,
                            const std::string& url, bool hidden) {
  SetupPackage package(packagePath);
  if (!in.own->SameWebToken(package.Info())) return HtmlErrorPageMessage(packagePath, "", url, kBadToken);
  RunSetup(host, package, in.folder, std::string(), !hidden, in.params);
  return std::string();
}

}  // namespace

// ---- the web setup -----------------------------------------------------------

void RunWebSetup(RunHost& host, const WebSetupInput& in) {
  const TGFileInfo& own = *in.own;
  const std::string url = in.source + "/" + in.packageName;
  const bool hidden = HasSwitch(in.params, kSwHide) || own.IsHiddenByDefault();
  std::string error, packagePath = SetTrailingBackslash(in.source, true) + in.packageName;
  bool downloaded = false;
  if (!FileExists(packagePath)) {
    host.SetStatusText(own.GetLangString(lang::kDownloading), own.GetFontName(), own.GetCharset(),
                       own.GetFontSize());
    if (own.AskBeforeDownload() && !hidden && !AskToDownload(host, own)) error = kDeclined;
    // Asked even after a No: a user without a connection learns why.
    const std::string offline = ConnectionError(own);
    if (!offline.empty()) error = offline;
    packagePath = TempDir(true) + in.packageName;
    if (error.empty()) error = Download(host, url, packagePath, hidden);
    downloaded = error.empty();
  }
  if (error.empty()) error = RunIfOwnPackage(host, in, packagePath, url, hidden);
  if (downloaded) DeleteFiles(packagePath, true);
  if (!error.empty() && error != kDeclined)
    MsgBoxError(host.BoxOwner(), error, own.GetLangString(lang::kError), own.GetCharset(), own.GetLangString(lang::kButtons));
}

bool WriteWebAgentFile(const std::string& folder, const std::string& agentName) {
  std::string name = agentName;
  for (char& c : name)
    if (c == '/') c = '\\';
  name = ExtractFileName(name);
  if (!IsSafeRelativeName(name)) return false;
  const std::string own = OwnExePath();
  const std::string image = ReadWholeFile(own);
  if (image.empty()) return false;
  return WriteTextToFile(SetTrailingBackslash(folder, true) + name, WebAgentImage(image), FileAge(own));
}

}  // namespace kestro
