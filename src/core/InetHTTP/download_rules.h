// Rules of the HTTP download client that need no network: the address it
// opens, the names it writes, its error texts, the progress units, the check
// of what arrived against what the server announced, and the recognition of
// an HTML error page served in place of a file.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// User-agent texts: the priming open and the size query, and the download.
inline constexpr char kPrimingAgentName[] = "HTTP_Connect_2";
inline constexpr char kDownloadAgentName[] = "HTTP_Connect_3";
// Connect, send and receive time-outs of the download.
inline constexpr std::uint32_t kDownloadTimeoutMs = 180000;
// The priming open and the size query ask for the first byte only: a body
// opened and left unread is drained by the internet library when its handle
// closes, which on a fast link fetched the whole package once more per open.
// A server that ignores ranges answers as before.
inline constexpr char kFirstByteOnlyHeader[] = "Range: bytes=0-0\r\n";
inline constexpr unsigned kPartialContentStatus = 206;
inline constexpr unsigned kRangeNotSatisfiableStatus = 416;
// The whole length from a Content-Range answer ("bytes 0-0/12345", or
// "bytes */0" for an empty file); -1 when it names none.
std::int64_t ContentRangeTotal(const std::string& contentRange);

// ---- what counts as the file ----
// Only a whole answer is the file: 200, or 206 where the client asked for a
// range. Everything else, a 204, a redirect the library did not follow (a
// 3xx without a usable Location) and a 4xx or 5xx among them, is an error
// that names the status; taking its body would store a page or nothing as
// the file.
inline constexpr unsigned kWholeFileStatus = 200;
bool IsWholeAnswer(unsigned status, bool askedForRange);
// What the size query reports for the whole length a server named: the
// length, or -1 when it is negative or does not fit the 32-bit answer (a
// length cut to 32 bits would look like another, valid size).
std::int32_t SizeQueryAnswer(std::int64_t wholeLength);

// ---- bounds in size and time ----
// A download takes at most maxBytes (its caller knows what the file may
// weigh); without a bound, a file up to the largest size the size query and
// the release files express, and a body kept in memory far less: the process
// is 32-bit and has no exceptions, so a string that cannot grow ends it.
inline constexpr std::uint64_t kLargestFileBody = 0x7FFFFFFF;
inline constexpr std::uint64_t kLargestMemoryBody = 16u << 20;
std::uint64_t BodyCap(std::uint64_t maxBytes, bool toMemory);
// The body announced or received is longer than the cap.
std::string TooLargeText(const std::string& displayName, std::uint64_t bytes, std::uint64_t cap);
// A server must answer within a minute (a busy server on a slow link does),
// and then bring the body at no less than 4 KB a second, about half of what
// a dial-up modem carries: a real link is never cut, while a server that
// stalls or sends a byte now and then ends the download in bounded time.
inline constexpr std::int64_t kAnswerWithinMs = 60000;
inline constexpr std::uint64_t kSlowestLinkBytesPerSecond = 4096;
// The whole time a download may take for a body of bodyBytes (0 before the
// answer has named or bounded it).
std::int64_t DownloadTimeLimitMs(std::uint64_t bodyBytes);
std::string TimedOutText(const std::string& displayName, std::int64_t limitMs);

// ---- addresses and names ----
// "http://" in front when the address does not begin with a scheme and
// "://", so "https://" and other schemes pass unchanged.
std::string DownloadUrl(const std::string& url);
// True for an "https://" address (any case): it is opened with the secure
// flag, so the request goes over TLS with the server certificate checked.
bool IsSecureUrl(const std::string& url);
// The last path element of the address (after "/" became "\").
std::string DownloadDisplayName(const std::string& url);
// The file a download fills before it becomes the destination:
// dest + "." + (size + stamp) modulo 2^32 in decimal.
std::string DownloadTempPath(const std::string& dest, std::uint64_t size, std::uint32_t stamp);
// True when fileName (a name in the destination's folder) is one of this
// client's temporary names for dest: the destination's name, ".", and
// decimal digits. Three digits name the volumes of a spanned setup and are
// never taken for a temporary file.
bool IsDownloadTempName(const std::string& destName, const std::string& fileName);

// ---- error texts ----
inline constexpr char kInitFailedText[] = "Unable to initialize \"WinINet.dll\"";
inline constexpr char kDownloadAbortedText[] = "Download Aborted";
// The address that could not be opened, with the system's reason when known
// (an untrusted server certificate, a refused connection).
std::string OpenFailedText(const std::string& url, const std::string& reason = "");
std::string FileNotFoundText(const std::string& url);
// displayName --- Error downloading file ( reason), the reason when known.
std::string ReadFailedText(const std::string& displayName, const std::string& reason);
// A status that is not a whole answer.
std::string HttpStatusText(const std::string& url, unsigned status, const std::string& statusText);
// A body that ended before (or ran past) the announced length.
std::string IncompleteText(const std::string& displayName, std::uint64_t received, std::uint64_t announced);
std::string WriteFailedText(const std::string& path);
// A reason for an internet error code the system has no text for: the
// certificate errors in words (an untrusted, expired or misnamed server
// certificate must read as such), any other code as its number.
std::string InternetErrorFallbackText(std::uint32_t code);

// ---- what arrived ----
// The announced length, or none (kUnknownSize): a body without a length is
// whole when it ended cleanly.
inline constexpr std::uint64_t kUnknownSize = ~std::uint64_t(0);
inline bool ReceivedWhole(std::uint64_t announced, std::uint64_t received) {
  return announced == kUnknownSize || announced == received;
}

// ---- progress ----
// The step bar counts units of a hundredth of the announced size, so a bar
// is full after the body whatever its size; range and start position as the
// progress object takes them.
struct ProgressPlan {
  std::uint64_t size = 0;  // the announced length
  std::uint64_t unit = 0;  // bytes per step, 0 when the size is unknown
  int range = 0;
  int position = 1;
};
ProgressPlan PlanProgress(std::uint64_t announced);
// Steps completed after `received` bytes.
int ProgressSteps(const ProgressPlan& plan, std::uint64_t received);

// ---- HTML error pages ----
// The first 1000 bytes look like an HTML page: a title holding "404", or
// <HTML>, <HEAD>, <TITLE> and </TITLE> in that order (any letter case).
bool IsHtmlErrorPage(const std::string& text);
std::string HtmlErrorPageText(const std::string& url);

}  // namespace kestro
