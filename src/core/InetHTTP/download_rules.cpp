#include "core/InetHTTP/download_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "core/Utils/ksub.h"

namespace kestro {

// ---- helpers -------------------------------------------------------------
namespace {

constexpr size_t kHtmlProbeBytes = 1000;
constexpr std::uint64_t kProgressSteps = 100;
constexpr size_t kVolumeSuffixDigits = 3;

// 1-based position of find in text from start, ignoring case; 0 when absent.
size_t FindFrom(const std::string& find, const std::string& text, size_t start = 1) {
  return SUB::PosFrom(find, text, static_cast<long long>(start), true);
}

bool AllDigits(const std::string& s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A scheme opens the address: a letter, then letters, digits, "+", "-" or
// ".", then "://".
bool HasScheme(const std::string& url) {
  const size_t colon = url.find("://");
  if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0]))) return false;
  return std::all_of(url.begin(), url.begin() + colon, [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
  });
}

std::string WithReason(const std::string& text, const std::string& reason) {
  return reason.empty() ? text : text + " (" + reason + ")";
}

}  // namespace

std::int64_t ContentRangeTotal(const std::string& contentRange) {
  const size_t slash = contentRange.rfind('/');
  if (slash == std::string::npos || !SUB::SameText(SUB::Trim(contentRange).substr(0, 5), "bytes")) return -1;
  const std::string total = SUB::Trim(contentRange.substr(slash + 1));
  std::int64_t n = 0;
  return AllDigits(total) && SUB::TryParseInt64(total, n) ? n : -1;
}

// ---- what counts as the file ----------------------------------------------

bool IsWholeAnswer(unsigned status, bool askedForRange) {
  return status == kWholeFileStatus || (askedForRange && status == kPartialContentStatus);
}

std::int32_t SizeQueryAnswer(std::int64_t wholeLength) {
  return wholeLength < 0 || wholeLength > INT32_MAX ? -1 : static_cast<std::int32_t>(wholeLength);
}

// ---- bounds in size and time -------------------------------------------------

std::uint64_t BodyCap(std::uint64_t maxBytes, bool toMemory) {
  const std::uint64_t largest = toMemory ? kLargestMemoryBody : kLargestFileBody;
  return maxBytes == 0 ? largest : std::min(maxBytes, largest);
}

std::string TooLargeText(const std::string& displayName, std::uint64_t bytes, std::uint64_t cap) {
  return ReadFailedText(displayName, std::to_string(bytes) + " bytes, more than the " + std::to_string(cap) +
                                         " this file may have");
}

std::int64_t DownloadTimeLimitMs(std::uint64_t bodyBytes) {
  const std::uint64_t bodyMs = std::min<std::uint64_t>(bodyBytes, kLargestFileBody) * 1000 / kSlowestLinkBytesPerSecond;
  return kAnswerWithinMs + static_cast<std::int64_t>(bodyMs);
}

std::string TimedOutText(const std::string& displayName, std::int64_t limitMs) {
  return ReadFailedText(displayName, "not complete after " + std::to_string((limitMs + 999) / 1000) + " seconds");
}

// ---- addresses and names ---------------------------------------------------

std::string DownloadUrl(const std::string& url) {
  return HasScheme(url) ? url : "http://" + url;
}

bool IsSecureUrl(const std::string& url) { return SUB::StartsWith(url, "https://", true); }

std::string DownloadDisplayName(const std::string& url) {
  const size_t slash = url.find_last_of('/');
  return slash == std::string::npos ? url : url.substr(slash + 1);
}

std::string DownloadTempPath(const std::string& dest, std::uint64_t size, std::uint32_t stamp) {
  return dest + "." + std::to_string(static_cast<std::uint32_t>(size + stamp));
}

bool IsDownloadTempName(const std::string& destName, const std::string& fileName) {
  if (fileName.size() <= destName.size() + 1) return false;
  if (!SUB::StartsWith(fileName, destName + ".", true)) return false;
  const std::string suffix = fileName.substr(destName.size() + 1);
  return AllDigits(suffix) && suffix.size() != kVolumeSuffixDigits;
}

// ---- error texts -----------------------------------------------------------

std::string OpenFailedText(const std::string& url, const std::string& reason) {
  return WithReason("Unable to open Internet Connection: " + url, reason);
}

std::string FileNotFoundText(const std::string& url) { return url + " --- File Not Found !"; }

std::string ReadFailedText(const std::string& displayName, const std::string& reason) {
  return WithReason(displayName + " --- Error downloading file", reason);
}

std::string InternetErrorFallbackText(std::uint32_t code) {
  static const struct {
    std::uint32_t code;
    const char* text;
  } kKnown[] = {
      {12037, "the server's certificate has expired or is not yet valid"},
      {12038, "the server's certificate is issued for another host name"},
      {12044, "the server asks for a client certificate"},
      {12045, "the server's certificate is not issued by a trusted authority"},
      {12057, "the server's certificate could not be checked for revocation or is not trusted"},
      {12157, "the secure channel to the server failed"},
      {12169, "the server's certificate is invalid"},
      {12175, "the server's certificate could not be decoded"},
  };
  for (const auto& known : kKnown)
    if (known.code == code) return std::string(known.text) + " (error " + std::to_string(code) + ")";
  return "error " + std::to_string(code);
}

std::string HttpStatusText(const std::string& url, unsigned status, const std::string& statusText) {
  return WithReason(url + " --- HTTP status " + std::to_string(status), SUB::Trim(statusText));
}

std::string IncompleteText(const std::string& displayName, std::uint64_t received, std::uint64_t announced) {
  return ReadFailedText(displayName, "received " + std::to_string(received) + " of " +
                                         std::to_string(announced) + " bytes");
}

std::string WriteFailedText(const std::string& path) { return "Unable to write " + path; }

// ---- progress ----------------------------------------------------------------

ProgressPlan PlanProgress(std::uint64_t announced) {
  ProgressPlan plan;
  if (announced == kUnknownSize || announced == 0) {
    plan.range = static_cast<int>(kProgressSteps) + 1;
    return plan;
  }
  plan.size = announced;
  plan.unit = std::max<std::uint64_t>(1, (announced + kProgressSteps - 1) / kProgressSteps);
  plan.range = static_cast<int>((announced + plan.unit - 1) / plan.unit) + 1;
  return plan;
}

int ProgressSteps(const ProgressPlan& plan, std::uint64_t received) {
  if (plan.unit == 0) return 0;
  if (received >= plan.size) return plan.range - plan.position;
  return static_cast<int>(std::min<std::uint64_t>(received / plan.unit, plan.range - 1));
}

// ---- HTML error pages ----------------------------------------------------------

bool IsHtmlErrorPage(const std::string& text) {
  const std::string head = text.substr(0, kHtmlProbeBytes);
  if (size_t title = FindFrom("<TITLE", head)) {
    if (size_t code = FindFrom("404", head, title + 1))
      if (FindFrom("</TITLE>", head, code + 1)) return true;
  }
  size_t at = 0;
  for (const char* tag : {"<HTML>", "<HEAD>", "<TITLE>", "</TITLE>"}) {
    const size_t found = FindFrom(tag, head);
    if (found == 0 || found <= at) return false;
    at = found;
  }
  return true;
}

std::string HtmlErrorPageText(const std::string& url) {
  return "<B>404 File Not Found...</B><P><P>URL:  " + url + "." +
         "<P><P>Please make sure the file is available and access is allowed to this file.";
}

}  // namespace kestro
