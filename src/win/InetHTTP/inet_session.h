// Internet handles of one request: the session under a user-agent name, the
// opened address, and the facts the response headers carry.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "win/InetHTTP/wininet_library.h"

namespace kestro {

// Nothing of a download goes to, or comes from, the cache.
inline constexpr DWORD kNoCacheFlags =
    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;

// A session with the system's proxy settings.
InternetHandle OpenSession(const char* agentName);
InternetHandle OpenUrl(HINTERNET session, const std::string& url, DWORD flags = kNoCacheFlags,
                       const char* headers = nullptr);
// Opens the address once and closes it unread (lets the system bring up a
// connection or a proxy before the real request); reports nothing. Only the
// first byte is asked for.
void PrimeUrl(const std::string& url);
void SetDownloadTimeouts(HINTERNET session);

struct ResponseFacts {
  unsigned status = 0;
  std::string statusText;
  std::uint64_t length = ~std::uint64_t(0);  // none announced
  std::uint32_t lastModified = 0;           // packed DOS date-time, 0 when none
};
ResponseFacts ReadResponseFacts(HINTERNET file);
// The whole length of a body opened for its first byte only: the total of
// the range answer, or the announced length of a server that ignored the
// range (status 200); -1 when none is known, the answer is no file, or the
// length does not fit 32 bits (SizeQueryAnswer).
std::int32_t WholeLength(HINTERNET file);

// The system's text for a failed internet call, else the server's last
// response text.
std::string InternetErrorReason(DWORD code);

}  // namespace kestro
