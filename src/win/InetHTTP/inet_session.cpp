#include "win/InetHTTP/inet_session.h"

#include "core/InetHTTP/download_rules.h"
#include "core/Utils/ksub.h"
#include "win/Utils/registry.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

std::string QueryText(HINTERNET file, DWORD info) {
  char buf[256] = {};
  DWORD length = sizeof buf - 1;
  if (!inet::HttpQueryInfoA(file, info, buf, &length, nullptr)) return std::string();
  return std::string(buf, length);
}

unsigned StatusOf(HINTERNET file) {
  DWORD status = 0, length = sizeof status;
  return inet::HttpQueryInfoA(file, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)
             ? status
             : 0;
}

// Internet errors live in the library's own message table.
std::string LibraryErrorText(DWORD code) {
  HMODULE lib = GetModuleHandleA("WinINet.dll");
  char* text = nullptr;
  const DWORD n = lib ? FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                           FORMAT_MESSAGE_IGNORE_INSERTS,
                                       lib, code, 0, reinterpret_cast<char*>(&text), 0, nullptr)
                      : 0;
  std::string out = n && text ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  while (!out.empty() && (static_cast<unsigned char>(out.back()) <= ' ' || out.back() == '.')) out.pop_back();
  return out;
}

}  // namespace

// ---- handles -----------------------------------------------------------------

InternetHandle OpenSession(const char* agentName) {
  return InternetHandle(inet::InternetOpenA(agentName, INTERNET_OPEN_TYPE_PRECONFIG, "", nullptr, 0));
}

InternetHandle OpenUrl(HINTERNET session, const std::string& url, DWORD flags, const char* headers) {
  if (IsSecureUrl(url)) flags |= INTERNET_FLAG_SECURE;
  const DWORD headersLength = headers ? DWORD(-1) : 0;  // -1: a terminated text
  return InternetHandle(inet::InternetOpenUrlA(session, url.c_str(), headers, headersLength, flags, 0));
}

void PrimeUrl(const std::string& url) {
  InternetHandle session = OpenSession(kPrimingAgentName);
  if (session) OpenUrl(session.get(), url, kNoCacheFlags, kFirstByteOnlyHeader);
}

void SetDownloadTimeouts(HINTERNET session) {
  for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                       INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                       INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
    DWORD ms = kDownloadTimeoutMs;
    inet::InternetSetOptionA(session, option, &ms, sizeof ms);
  }
}

// ---- response ----------------------------------------------------------------

ResponseFacts ReadResponseFacts(HINTERNET file) {
  ResponseFacts facts;
  facts.status = StatusOf(file);
  facts.statusText = QueryText(file, HTTP_QUERY_STATUS_TEXT);
  // As text: a length beyond 4 GB stays whole.
  int64_t announced = 0;
  if (SUB::TryParseInt64(QueryText(file, HTTP_QUERY_CONTENT_LENGTH), announced) && announced >= 0)
    facts.length = static_cast<std::uint64_t>(announced);
  SYSTEMTIME st = {};
  DWORD length = sizeof st;
  FILETIME ft;
  WORD date = 0, time = 0;
  if (inet::HttpQueryInfoA(file, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &st, &length, nullptr) &&
      SystemTimeToFileTime(&st, &ft) && FileTimeToDosDateTime(&ft, &date, &time))
    facts.lastModified = static_cast<std::uint32_t>(date) << 16 | time;
  return facts;
}

std::int32_t WholeLength(HINTERNET file) {
  const unsigned status = StatusOf(file);
  if (status == kPartialContentStatus || status == kRangeNotSatisfiableStatus)
    return SizeQueryAnswer(ContentRangeTotal(QueryText(file, HTTP_QUERY_CONTENT_RANGE)));
  // A page in place of the file (404, an unfollowed redirect) has a length
  // of its own, not the file's.
  if (!IsWholeAnswer(status, true)) return -1;
  std::int64_t n = -1;
  return SUB::TryParseInt64(QueryText(file, HTTP_QUERY_CONTENT_LENGTH), n) ? SizeQueryAnswer(n) : -1;
}

std::string InternetErrorReason(DWORD code) {
  std::string reason = code >= INTERNET_ERROR_BASE && code <= INTERNET_ERROR_LAST ? LibraryErrorText(code)
                                                                                  : SystemErrorText(code);
  if (!reason.empty()) return reason;
  DWORD error = 0, length = 0;
  inet::InternetGetLastResponseInfoA(&error, nullptr, &length);
  std::string text(length + 1, '\0');
  if (length == 0 || !inet::InternetGetLastResponseInfoA(&error, &text[0], &length))
    return code ? InternetErrorFallbackText(code) : std::string();
  text.resize(length);
  return SUB::Trim(text);
}

}  // namespace kestro
