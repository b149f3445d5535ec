#include "win/StubAU/release_gate.h"

#include <windows.h>

#include "core/StubAU/agent_download_bounds.h"
#include "win/Files/files.h"
#include "win/InetHTTP/inet_http.h"
#include "win/KDebug/agent_log.h"
#include "win/KDebug/kdebug.h"
#include "win/StubAU/release_cng.h"
#include "win/StubAU/release_verify.h"
#include "win/StubGlob/stubglob.h"

namespace kestro {

// ---- helpers -----------------------------------------------------------------
namespace {

// The signature file beside the ".INFO" text; empty when there is none.
std::string FetchSignature(const InfoSource& source) {
  const std::string path = SignatureFileName(source.path);
  if (!source.server) return FileExists(path) ? ReadWholeFile(path) : std::string();
  DownloadRequest request;
  request.url = path;
  request.maxBytes = kSignatureFileBound;
  DownloadResult result = DownloadFile(request);
  if (!result.error.empty()) return std::string();
  // A server that answers a missing file with a page of its own has no
  // signature either; the page is no DER and would be refused anyway.
  return IsHtmlErrorPage("", result.content) ? std::string() : result.content;
}

bool Refuse(const std::string& what, const ReleaseCheck& check, std::string& error) {
  error = what + ": " + check.reason;
  WriteLog("ERROR: " + error);
  PidTrace(" ReleaseRefused: " + error);
  return false;
}

// This agent's product and today's date, which a signed release must fit.
ReleaseScope OwnScope(const SettingsFiles& files) {
  ReleaseScope scope;
  Sha256OfBytes(ProductBindingText(files.infoName, OwnPackage().GetProductToken(true)), scope.product);
  SYSTEMTIME now;
  GetSystemTime(&now);
  char today[16];
  wsprintfA(today, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  scope.today = today;
  return scope;
}

void NoteVerified(const ReleaseCheck& check) {
  WriteLog("Release verified: " + check.reason);
  PidTrace(" ReleaseVerified: " + check.reason);
}

}  // namespace

// ---- interface -----------------------------------------------------------------

bool AcceptInfo(const InfoSource& source, const std::string& text, const SettingsFiles& files,
                std::string& error) {
  const std::string key = OwnPackage().GetReleaseKey();
  if (key.empty()) {
    WriteLog(kUnsignedReleaseLog);
    return StoreVerifiedInfo(files.info, text, std::string());
  }
  const std::string signature = FetchSignature(source);
  const int32_t installed = OriginalSettings(files.original).VersionOriginal();
  const ReleaseCheck check = CheckNewInfo(key, text, signature, OwnScope(files), installed, files.info);
  if (check.trust != ReleaseTrust::kVerified) return Refuse("release refused", check, error);
  NoteVerified(check);
  if (StoreVerifiedInfo(files.info, text, signature)) return true;
  error = "Unable to store " + files.info;
  WriteLog("ERROR: " + error);
  return false;
}

bool AcceptReleaseFile(int kind, const std::string& local, const std::string& name, const SettingsFiles& files,
                       std::string& error) {
  const std::string key = OwnPackage().GetReleaseKey();
  const ReleaseFileKind fileKind = kind == 3 ? ReleaseFileKind::kInform : ReleaseFileKind::kUpdate;
  const ReleaseCheck check = CheckDownloadedFile(key, files.info, fileKind, local, name);
  if (check.trust == ReleaseTrust::kUnsigned) return true;
  if (check.trust == ReleaseTrust::kVerified) {
    NoteVerified(check);
    return true;
  }
  DeleteFileA(local.c_str());
  return Refuse("downloaded file refused", check, error);
}

}  // namespace kestro
