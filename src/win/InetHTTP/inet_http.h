// The HTTP download client: the connection test, the size query and one
// download routine that streams a body into a temporary file beside the
// destination (or into memory) while the calling thread's windows stay
// alive, and turns it into the destination only when it arrived whole. A
// failed or aborted download leaves the destination as it was and no
// temporary file behind.
//
// The calls to the server run on a worker thread while the calling
// (user-interface) thread keeps its windows alive, so a cancel answers at
// once and a stalled server ends in the download's time limit; the file, the
// progress and the windows stay on the calling thread. Only a whole answer
// (200) is a file, and a body longer than the request's bound is refused.
// Callers judge a download by its error text: empty means the destination
// (or the content) is complete.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "core/InetHTTP/download_rules.h"
#include "win/KProgBar/kprogbar.h"

namespace kestro {

// The platform's connection test. On false, message holds the system's
// text for the last error (may be empty).
bool IsInternetConnected(std::string& message);
bool IsInternetConnected();

// The process-wide abort flag: a running download stops at its next read
// once it is set, and so does every later one until it is reset.
void SetDownloadAbort(bool abort);
bool IsDownloadAborted();

// The length the server announces for the address; -1 when none, when the
// answer is no file (its status), when the length does not fit 32 bits, when
// the address cannot be opened or no answer came within kAnswerWithinMs.
// Writes "HTTP_GetFileSize=<size>  <url>".
int32_t HTTP_GetFileSize(const std::string& url);

struct DownloadRequest {
  std::string url;
  // The file to produce; empty collects the body in DownloadResult::content.
  std::string destPath;
  // Shown once the server has announced the download; none when null.
  HWND window = nullptr;
  // Called at the same moment (a host that shows its window its own way).
  std::function<void()> started;
  TProgBar* progress = nullptr;
  // Asked between reads besides the abort flag (e.g. the main window's
  // "cancelled?"); may be empty.
  std::function<bool()> cancelled;
  // The most bytes the file may have (what the caller knows it weighs: a
  // recorded or signed size, a cap for its kind). 0: the largest of its kind
  // (BodyCap). A longer announcement or body is refused, nothing kept.
  std::uint64_t maxBytes = 0;
  // The whole time the download may take; 0: DownloadTimeLimitMs of the
  // body's announced length or bound.
  std::int64_t timeLimitMs = 0;
};

struct DownloadResult {
  std::string error;    // empty on success
  std::string content;  // the body, when no destination was given
  std::uint64_t received = 0;
  unsigned status = 0;  // the HTTP status, 0 when none came
};

DownloadResult DownloadFile(const DownloadRequest& request);

// The classic form: window handles of 10 or less mean none; the progress
// object may be null.
void HTTP_DownloadFile_Incremental(HWND window, const std::string& url, const std::string& destPath,
                                   std::string& error, TProgBar* progress, std::string& content);

// The file (when its path is not empty and it exists) or the content looks
// like an HTML page instead of the file asked for.
bool IsHtmlErrorPage(const std::string& filePath, const std::string& content);
// The "404 File Not Found" markup when it is such a page, else defaultMessage.
std::string HtmlErrorPageMessage(const std::string& filePath, const std::string& content,
                                 const std::string& url, const std::string& defaultMessage);

}  // namespace kestro
