// The connection test, the abort flag, the size query, the priming open and
// the recognition of HTML error pages.
#include "win/InetHTTP/inet_http.h"

#include "win/Files/files.h"
#include "win/InetHTTP/inet_steps.h"
#include "win/InetHTTP/wininet_library.h"
#include "core/KDebug/trace.h"
#include "win/Utils/registry.h"
#include "win/Utils/utils.h"

namespace kestro {

namespace {
bool g_abort = false;
}  // namespace

bool IsInternetConnected(std::string& message) {
  message.clear();
  DWORD flags = 0;
  if (inet::InternetGetConnectedState(&flags, 0)) return true;
  message = LastErrorText();
  return false;
}

bool IsInternetConnected() {
  std::string ignored;
  return IsInternetConnected(ignored);
}

void SetDownloadAbort(bool abort) { g_abort = abort; }
bool IsDownloadAborted() { return g_abort; }

int32_t HTTP_GetFileSize(const std::string& url) {
  InetWorker worker;
  worker.Call().url = url;
  const int64_t deadline = MilliCounter() + kAnswerWithinMs;
  int32_t size = -1;
  if (worker.Run(PrimeStep, deadline, IsDownloadAborted) == WaitEnd::kDone &&
      worker.Run(SizeStep, deadline, IsDownloadAborted) == WaitEnd::kDone)
    size = worker.Call().wholeLength;
  Trace("HTTP_GetFileSize=" + std::to_string(size) + "  " + url);
  return size;
}

bool IsHtmlErrorPage(const std::string& filePath, const std::string& content) {
  constexpr int64_t kProbe = 1000;
  if (!filePath.empty() && FileExists(filePath)) {
    return IsHtmlErrorPage(ReadFileRange(filePath, kProbe));
  }
  return IsHtmlErrorPage(content);
}

std::string HtmlErrorPageMessage(const std::string& filePath, const std::string& content,
                                 const std::string& url, const std::string& defaultMessage) {
  return IsHtmlErrorPage(filePath, content) ? HtmlErrorPageText(url) : defaultMessage;
}

}  // namespace kestro
