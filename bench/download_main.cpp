// Download benchmark under Wine: one file fetched from a server on
// 127.0.0.1, either with the download client as the stub uses it, or with
// the paced loop it replaced (kept here only to show the difference).
//   kbench-download.exe client|paced URL DEST
// Prints "<seconds> <bytes>" for the download alone.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/CommUtils/bytes_rate.h"
#include "core/InetHTTP/download_rules.h"
#include "win/Files/files.h"
#include "win/InetHTTP/inet_http.h"
#include "win/InetHTTP/inet_session.h"
#include "win/Utils/utils.h"

namespace {

using namespace kestro;

// ---- the paced loop ----------------------------------------------------------
// Primes as it did: the whole body asked for and left unread, which the
// internet library drains when the handle closes.
void PrimeAskingForTheWholeBody(const std::string& url) {
  InternetHandle session = OpenSession(kPrimingAgentName);
  if (session) OpenUrl(session.get(), url);
}

// Pumps messages for 2 ms before every read, reads at most 8 KB (a tenth of
// the file for small ones), and opens, appends to and closes the temporary
// file for every chunk.
std::string PacedDownload(const std::string& url, const std::string& dest) {
  PrimeAskingForTheWholeBody(url);
  InternetHandle session = OpenSession(kDownloadAgentName);
  if (!session) return kInitFailedText;
  SetDownloadTimeouts(session.get());
  InternetHandle file = OpenUrl(session.get(), url, INTERNET_FLAG_RELOAD);
  if (!file) return OpenFailedText(url);
  const ResponseFacts facts = ReadResponseFacts(file.get());
  const std::uint32_t size = static_cast<std::uint32_t>(facts.length);
  const std::string temp = DownloadTempPath(dest, size, facts.lastModified);
  DeleteFiles(dest + ".*", true);
  const DWORD chunk = std::min<DWORD>(8192, std::max<DWORD>(1, size / 10));
  TBytesRate rate(size > 102400, size > 10485760);
  TProgBar bar(nullptr);
  bar.Start(1, int(size / chunk) + 1);
  std::vector<char> buf(8192);
  std::uint64_t received = 0;
  for (DWORD n = 1; n != 0;) {
    WaitWithMessages(2);
    std::fill(buf.begin(), buf.end(), 0);
    if (!inet::InternetReadFile(file.get(), buf.data(), chunk, &n)) return "read failed";
    received += n;
    AppendToFile(temp, std::string(buf.data(), n));
    rate.GetProgressText(size, std::int64_t(received), std::int32_t(n));
    if (n) bar.Step("");
  }
  if (FileSizeByName(temp) != int64_t(size)) return "incomplete";
  DeleteFiles(dest, true);
  MoveFileA(temp.c_str(), dest.c_str());
  return std::string();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: kbench-download client|paced URL DEST\n");
    return 2;
  }
  const std::string mode = argv[1], url = argv[2], dest = argv[3];
  DeleteFiles(dest, true);
  const int64_t start = MilliCounter();
  std::string error;
  if (mode == "paced") {
    error = PacedDownload(url, dest);
  } else {
    TProgBar bar(nullptr);
    DownloadRequest r;
    r.url = url;
    r.destPath = dest;
    r.progress = &bar;
    error = DownloadFile(r).error;
  }
  const double seconds = double(MilliCounter() - start) / 1000.0;
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("%.3f %lld\n", seconds, static_cast<long long>(FileSizeByName(dest)));
  return 0;
}
