// The download client against the tests' scripted HTTP server on 127.0.0.1:
// what a caller gets back, what stays on disk and what the server saw.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "core/Utils/ksub.h"
#include "../support/nginx_server.h"
#include "../support/scripted_server.h"
#include "../support/setup_road.h"
#include "win/InetHTTP/inet_http.h"
#include "win/InetHTTP/wininet_library.h"

namespace {

using namespace kestro;
using ktest::ScriptedServer;

const char kPackage[] = "pkg.bin";

// Bytes that no text search mistakes for a page, with every byte value.
std::string Body(size_t size, unsigned seed) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131 + seed + i / 251) & 0xFF);
  return s;
}

// Names in a folder other than "." and "..".
std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string n = fd.cFileName;
    if (n != "." && n != "..") names.push_back(n);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return names;
}

class InetHttp : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = ktest::BinaryDir() + "\\e2e\\inet_http_server";
    DeleteTree(root_, true);
    ForceDirectories(root_);
    body_ = Body(300000, 7);
    ktest::WriteFileText(root_ + "\\" + kPackage, body_);
    server_ = new ScriptedServer(root_);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(server_->Up()) << "the scripted server did not start";
    SetDownloadAbort(false);
    dir_ = ktest::ScratchDir();
    dest_ = dir_ + "\\" + kPackage;
  }
  static std::string Url(const std::string& mode) { return server_->Url(mode, kPackage); }

  static std::string root_, body_;
  static ScriptedServer* server_;
  std::string dir_, dest_;
};
std::string InetHttp::root_, InetHttp::body_;
ScriptedServer* InetHttp::server_ = nullptr;

// ---- to a file -------------------------------------------------------------

struct FileCase {
  const char* mode;
  const char* error;  // part of the error text; "" = success
  bool htmlPage;      // the file that arrived is an HTML page
};

TEST_F(InetHttp, DownloadsToAFileOnlyWhatArrivedWhole) {
  const FileCase cases[] = {
      {"plain", "", false},
      {"nolength", "", false},  // the whole body until a clean end is the file
      {"chunked", "", false},
      {"redirect", "", false},
      {"half", "pkg.bin --- Error downloading file (received 150000 of 300000 bytes)", false},
      {"status/404", " --- HTTP status 404", false},
      {"status/500", " --- HTTP status 500", false},
      // Only a whole answer is the file: no content, another 2xx, a
      // redirect the library did not follow.
      {"status/204", " --- HTTP status 204 (No Content)", false},
      {"status/202", " --- HTTP status 202", false},
      {"status/301", " --- HTTP status 301", false},
      {"status/300", " --- HTTP status 300", false},
      {"empty", " --- File Not Found !", false},
      {"errorpage", "", true},  // a 200 page: the caller's token check finds it
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.mode);
    const std::string previous = "previous download";
    ASSERT_TRUE(ktest::WriteFileText(dest_, previous));
    DownloadRequest r;
    r.url = Url(c.mode);
    r.destPath = dest_;
    const DownloadResult got = DownloadFile(r);
    if (*c.error) {
      EXPECT_NE(got.error.find(c.error), std::string::npos) << got.error;
      EXPECT_EQ(ktest::ReadFileText(dest_), previous);
    } else {
      EXPECT_EQ(got.error, "");
      if (!c.htmlPage) {
        EXPECT_EQ(ktest::ReadFileText(dest_), body_);
      }
    }
    EXPECT_EQ(IsHtmlErrorPage(dest_, ""), c.htmlPage);
    // Nothing partial stays: the destination is the only file.
    EXPECT_EQ(FolderNames(dir_), std::vector<std::string>{kPackage});
  }
}

TEST_F(InetHttp, ANewDownloadNeedsNoPreviousFile) {
  DownloadRequest r;
  r.url = Url("plain");
  r.destPath = dest_;
  EXPECT_EQ(DownloadFile(r).error, "");
  EXPECT_EQ(ktest::ReadFileText(dest_), body_);
}

TEST_F(InetHttp, FilesSharingTheDestinationsNameSurviveOnlyOldTempFilesGo) {
  const std::vector<std::string> keep = {kPackage, std::string(kPackage) + ".config",
                                         std::string(kPackage) + ".001"};
  for (const std::string& n : keep) ktest::WriteFileText(dir_ + "\\" + n, "keep " + n);
  ktest::WriteFileText(dest_ + ".123456789", "a partial file of a run that died");
  DownloadRequest r;
  r.url = Url("half");
  r.destPath = dest_;
  EXPECT_NE(DownloadFile(r).error, "");
  std::vector<std::string> names = FolderNames(dir_);
  std::sort(names.begin(), names.end());
  std::vector<std::string> expected = keep;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected);
  for (const std::string& n : keep) EXPECT_EQ(ktest::ReadFileText(dir_ + "\\" + n), "keep " + n);
}

TEST_F(InetHttp, TheClassicFormFillsTheErrorTextAndAUrlWithoutSchemeWorks) {
  std::string error = "stale", content = "stale";
  const std::string noScheme = Url("plain").substr(std::string("http://").size());
  HTTP_DownloadFile_Incremental(nullptr, noScheme, dest_, error, nullptr, content);
  EXPECT_EQ(error, "");
  EXPECT_EQ(content, "");
  EXPECT_EQ(ktest::ReadFileText(dest_), body_);
}

// ---- to memory ---------------------------------------------------------------

TEST_F(InetHttp, DownloadsToMemoryOnlyWhatArrivedWhole) {
  const FileCase cases[] = {
      {"plain", "", false},
      {"nolength", "", false},
      {"chunked", "", false},
      {"half", " --- Error downloading file (received 150000 of 300000 bytes)", false},
      {"status/404", " --- HTTP status 404", false},
      {"empty", " --- File Not Found !", false},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.mode);
    DownloadRequest r;
    r.url = Url(c.mode);
    const DownloadResult got = DownloadFile(r);
    if (*c.error) {
      EXPECT_NE(got.error.find(c.error), std::string::npos) << got.error;
      EXPECT_EQ(got.content, "");  // nothing truncated is handed on
    } else {
      EXPECT_EQ(got.error, "");
      EXPECT_TRUE(got.content == body_) << got.content.size();
    }
  }
}

// ---- bounds in size and time ------------------------------------------------------

// A body longer than the caller's bound is refused, to a file and to memory
// alike, and nothing of it is kept; a length announced beyond it is refused
// before the body is read.
TEST_F(InetHttp, ABodyLongerThanItsBoundIsRefusedAndNothingKept) {
  const struct {
    const char* address;  // mode and query around the package's name
    std::uint64_t maxBytes;
    const char* error;    // part of the error text; "" = success
    bool readNothing;     // refused on the announcement alone
  } cases[] = {
      {"plain", 300000, "", false},  // exactly the bound
      {"plain", 299999, "(300000 bytes, more than the 299999 this file may have)", true},
      {"nolength", 100000, "(100001 bytes, more than the 100000 this file may have)", false},
      {"chunked", 100000, "more than the 100000 this file may have", false},
      {"endless", 65536, "(65537 bytes, more than the 65536 this file may have)", false},
      // A length beyond every file, and no bound named by the caller.
      {"claims?length=1000000000000", 0, "(1000000000000 bytes, more than the ", true},
  };
  for (const auto& c : cases) {
    for (const bool toFile : {true, false}) {
      SCOPED_TRACE(std::string(c.address) + (toFile ? " to a file" : " to memory"));
      const std::string address = c.address;
      const size_t query = address.find('?');
      DownloadRequest r;
      r.url = query == std::string::npos ? Url(address)
                                         : Url(address.substr(0, query)) + address.substr(query);
      r.maxBytes = c.maxBytes;
      if (toFile) {
        ASSERT_TRUE(ktest::WriteFileText(dest_, "previous"));
        r.destPath = dest_;
      }
      const DownloadResult got = DownloadFile(r);
      if (!*c.error) {
        EXPECT_EQ(got.error, "");
        EXPECT_TRUE((toFile ? ktest::ReadFileText(dest_) : got.content) == body_);
        continue;
      }
      EXPECT_NE(got.error.find(c.error), std::string::npos) << got.error;
      EXPECT_EQ(got.content, "");
      if (c.readNothing) {
        EXPECT_EQ(got.received, 0u);
      }
      EXPECT_LE(got.received, c.maxBytes);
      if (toFile) {
        EXPECT_EQ(ktest::ReadFileText(dest_), "previous");
        EXPECT_EQ(FolderNames(dir_), std::vector<std::string>{kPackage});
      }
    }
  }
}

// Without a bound a body kept in memory still ends: growing a string past
// what a 32-bit process can hold would end the program.
TEST_F(InetHttp, AnEndlessBodyInMemoryEndsAtTheLargestMemoryBody) {
  DownloadRequest r;
  r.url = Url("endless");
  const DownloadResult got = DownloadFile(r);
  EXPECT_NE(got.error.find("more than the " + std::to_string(kLargestMemoryBody)), std::string::npos) << got.error;
  EXPECT_EQ(got.content, "");
}

// A thread timer counts the messages the download lets through.
int g_timerTicks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_timerTicks; }

// A server that answers nothing, stops halfway or sends a few bytes now and
// then cannot hold the caller past the download's time limit.
TEST_F(InetHttp, AServerThatStallsOrTricklesEndsAtTheTimeLimit) {
  ktest::WriteFileText(root_ + "\\small.bin", Body(2000, 5));
  const char* addresses[] = {"stallhead/small.bin?s=20", "stall/small.bin?after=1000&s=20",
                             "trickle/small.bin?piece=100&ms=200"};  // 4 s in all
  for (const char* address : addresses) {
    SCOPED_TRACE(address);
    ASSERT_TRUE(ktest::WriteFileText(dest_, "previous"));
    DownloadRequest r;
    r.url = server_->Base() + "/" + address;
    r.destPath = dest_;
    r.timeLimitMs = 1500;
    const int64_t start = GetTickCount();
    const DownloadResult got = DownloadFile(r);
    const int64_t took = int64_t(GetTickCount()) - start;
    // The name shown is the address's last element, its query included.
    EXPECT_EQ(got.error.rfind("small.bin", 0), 0u) << got.error;
    EXPECT_NE(got.error.find(" --- Error downloading file (not complete after 2 seconds)"), std::string::npos)
        << got.error;
    EXPECT_GE(took, 1400);
    EXPECT_LT(took, 2500);
    EXPECT_EQ(ktest::ReadFileText(dest_), "previous");
    EXPECT_EQ(FolderNames(dir_), std::vector<std::string>{kPackage});
  }
}

// While a read waits on a silent server the thread's messages flow, so the
// main window's Cancel (here: a timer's third tick) ends the download at once.
TEST_F(InetHttp, CancelWorksWithinASecondWhileAReadWaits) {
  for (const char* mode : {"stallhead", "stall"}) {
    SCOPED_TRACE(mode);
    ASSERT_TRUE(ktest::WriteFileText(dest_, "previous"));
    g_timerTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CountTick);
    int64_t cancelledAt = 0;
    DownloadRequest r;
    r.url = Url(mode) + "?after=1000&s=20";
    r.destPath = dest_;
    r.cancelled = [&] {
      if (g_timerTicks >= 3 && !cancelledAt) cancelledAt = GetTickCount();
      return cancelledAt != 0;
    };
    const DownloadResult got = DownloadFile(r);
    const int64_t took = int64_t(GetTickCount()) - cancelledAt;
    KillTimer(nullptr, timer);
    EXPECT_EQ(got.error, "Download Aborted");
    ASSERT_NE(cancelledAt, 0);
    EXPECT_LT(took, 1000);
    EXPECT_EQ(ktest::ReadFileText(dest_), "previous");
    EXPECT_EQ(FolderNames(dir_), std::vector<std::string>{kPackage});
  }
}

// ---- what the server sees ------------------------------------------------------

TEST_F(InetHttp, PrimesWithOneAgentNameAndDownloadsWithTheOther) {
  const std::string url = Url("plain") + "?agents";
  const size_t before = server_->Requests().size();
  DownloadRequest r;
  r.url = url;
  ASSERT_EQ(DownloadFile(r).error, "");
  ASSERT_EQ(HTTP_GetFileSize(url), int32_t(body_.size()));
  const std::vector<std::string> all = server_->Requests();
  const std::vector<std::string> seen(all.begin() + long(before), all.end());
  const std::string path = "/plain/pkg.bin?agents\t";
  EXPECT_EQ(seen, (std::vector<std::string>{path + "HTTP_Connect_2", path + "HTTP_Connect_3",
                                            path + "HTTP_Connect_2", path + "HTTP_Connect_2"}));
}

TEST_F(InetHttp, SizeQueryGivesTheAnnouncedLengthOrMinusOne) {
  EXPECT_EQ(HTTP_GetFileSize(Url("plain")), int32_t(body_.size()));
  EXPECT_EQ(HTTP_GetFileSize(Url("nolength")), -1);
  EXPECT_EQ(HTTP_GetFileSize(Url("empty")), 0);
  EXPECT_EQ(HTTP_GetFileSize("http://127.0.0.1:1/nothing"), -1);
  // A page in place of the file has a length, but not the file's.
  EXPECT_EQ(HTTP_GetFileSize(Url("status/404")), -1);
  EXPECT_EQ(HTTP_GetFileSize(Url("status/301")), -1);
  // A length that does not fit the answer is none, not the length cut to 32 bits.
  EXPECT_EQ(HTTP_GetFileSize(Url("claims") + "?length=4294972296"), -1);  // 2^32 + 5000
  EXPECT_EQ(HTTP_GetFileSize(Url("claims") + "?length=2147483648"), -1);
  EXPECT_EQ(HTTP_GetFileSize(Url("claims") + "?length=2147483647"), INT32_MAX);
}

// nginx answers ranges: the priming open and the size query take one byte
// each, the download alone carries the body, read whole in large pieces.
TEST(InetHttpNginx, OnlyTheDownloadCarriesTheBody) {
  const std::string dir = ktest::ScratchDir();
  const std::string big = Body(6 << 20, 3);
  ForceDirectories(dir + "\\www");
  ASSERT_TRUE(ktest::WriteFileText(dir + "\\www\\big.bin", big));
  ASSERT_TRUE(ktest::WriteFileText(dir + "\\www\\empty.bin", ""));
  ktest::NginxServer nginx(dir + "\\www", dir + "\\nginx");
  ASSERT_TRUE(nginx.Up());
  SetDownloadAbort(false);
  EXPECT_EQ(HTTP_GetFileSize(nginx.Base() + "/big.bin"), int32_t(big.size()));
  EXPECT_EQ(HTTP_GetFileSize(nginx.Base() + "/empty.bin"), 0);
  DownloadRequest r;
  r.url = nginx.Base() + "/big.bin";
  r.destPath = dir + "\\got.bin";
  ASSERT_EQ(DownloadFile(r).error, "");
  EXPECT_TRUE(ktest::ReadFileText(r.destPath) == big);

  // "GET /big.bin HTTP/1.1" status bytes "-" "agent"
  std::vector<std::string> bigRequests;
  const std::string log = ktest::ReadFileText(dir + "\\nginx\\access.log");
  for (size_t at = log.find("GET /big.bin "); at != std::string::npos; at = log.find("GET /big.bin ", at + 1)) {
    const size_t from = log.find("\" ", at) + 2;
    bigRequests.push_back(log.substr(from, log.find('\n', from) - from));
  }
  const std::string body = std::to_string(big.size());
  EXPECT_EQ(bigRequests, (std::vector<std::string>{
                             "206 1 \"-\" \"HTTP_Connect_2\"", "206 1 \"-\" \"HTTP_Connect_2\"",
                             "206 1 \"-\" \"HTTP_Connect_2\"", "200 " + body + " \"-\" \"HTTP_Connect_3\""}));
}

TEST_F(InetHttp, NothingLandsInTheCache) {
  DownloadRequest r;
  r.url = Url("plain") + "?cache";
  r.destPath = dest_;
  ASSERT_EQ(DownloadFile(r).error, "");
  HMODULE lib = LoadLibraryA("wininet.dll");
  using CacheInfo = BOOL(WINAPI*)(LPCSTR, void*, LPDWORD);
  auto info = reinterpret_cast<CacheInfo>(reinterpret_cast<void*>(GetProcAddress(lib, "GetUrlCacheEntryInfoA")));
  ASSERT_TRUE(info);
  DWORD size = 0;
  EXPECT_FALSE(info(r.url.c_str(), nullptr, &size) || GetLastError() == ERROR_INSUFFICIENT_BUFFER);
  FreeLibrary(lib);
}

// ---- progress, window, connection, abort ------------------------------------------

TEST_F(InetHttp, ShowsTheWindowAndLeavesTheStepBarFull) {
  HWND w = CreateWindowExA(0, "STATIC", "download", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  int range = -1, position = -1, steps = 0, starts = 0;
  TProgBar bar([&](ProgressEvent type, std::uint16_t r, int pos) {
    if (type == ProgressEvent::kStart && r != 0) ++starts, range = r, position = pos;
    if (type == ProgressEvent::kStep) ++steps;
  });
  DownloadRequest r;
  r.url = Url("plain");
  r.destPath = dest_;
  r.window = w;
  r.progress = &bar;
  ASSERT_EQ(DownloadFile(r).error, "");
  EXPECT_TRUE(IsWindowVisible(w));
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(position + steps, range);
  DestroyWindow(w);
}

BOOL WINAPI Offline(LPDWORD, DWORD) {
  SetLastError(ERROR_NOT_CONNECTED);
  return FALSE;
}

TEST_F(InetHttp, NoConnectionComesWithTheSystemsText) {
  std::string message;
  EXPECT_TRUE(IsInternetConnected(message));
  EXPECT_EQ(message, "");
  ReplaceConnectedState(Offline);
  EXPECT_FALSE(IsInternetConnected(message));
  EXPECT_FALSE(IsInternetConnected());
  ReplaceConnectedState(nullptr);
  EXPECT_NE(message, "");
  EXPECT_TRUE(IsInternetConnected());
}

TEST_F(InetHttp, AnAbortSetBeforehandStopsAtOnceAndKeepsThePreviousFile) {
  ktest::WriteFileText(dest_, "previous");
  SetDownloadAbort(true);
  DownloadRequest r;
  r.url = Url("plain");
  r.destPath = dest_;
  EXPECT_EQ(DownloadFile(r).error, "Download Aborted");
  EXPECT_TRUE(IsDownloadAborted());  // it stays set until a caller resets it
  EXPECT_EQ(ktest::ReadFileText(dest_), "previous");
  EXPECT_EQ(FolderNames(dir_), std::vector<std::string>{kPackage});
}

TEST_F(InetHttp, AnAbortDuringASlowDownloadEndsItWithinASecond) {
  ktest::WriteFileText(dest_, "previous");
  // 300,000 bytes at 1,000 bytes per 50 ms would take 15 seconds.
  int64_t abortedAt = 0;
  TProgBar bar([&](ProgressEvent type, std::uint16_t, int) {
    if (type == ProgressEvent::kStep && !abortedAt) {
      abortedAt = GetTickCount();
      SetDownloadAbort(true);  // what closing the main window does
    }
  });
  DownloadRequest r;
  r.url = Url("trickle") + "?piece=1000&ms=50";
  r.destPath = dest_;
  r.progress = &bar;
  const DownloadResult got = DownloadFile(r);
  const int64_t took = int64_t(GetTickCount()) - abortedAt;
  EXPECT_EQ(got.error, "Download Aborted");
  ASSERT_NE(abortedAt, 0);
  EXPECT_LT(took, 1000);
  EXPECT_EQ(ktest::ReadFileText(dest_), "previous");
  EXPECT_EQ(FolderNames(dir_), std::vector<std::string>{kPackage});
}

TEST_F(InetHttp, TheCallersCancelQuestionStopsItToo) {
  DownloadRequest r;
  r.url = Url("plain");
  r.destPath = dest_;
  r.cancelled = [] { return true; };
  EXPECT_EQ(DownloadFile(r).error, "Download Aborted");
  EXPECT_FALSE(ktest::Exists(dest_));
}

// ---- HTML pages ---------------------------------------------------------------------

TEST_F(InetHttp, AnHtmlPageGetsThe404MessageOtherFilesTheDefault) {
  const std::string page = dir_ + "\\page.exe", other = dir_ + "\\other.exe";
  ktest::WriteFileText(page, "<HTML><HEAD><TITLE>Moved</TITLE></HEAD>");
  ktest::WriteFileText(other, body_);
  EXPECT_EQ(HtmlErrorPageMessage(page, "", "http://h/p.exe", "Bad Secret Token!"), HtmlErrorPageText("http://h/p.exe"));
  EXPECT_EQ(HtmlErrorPageMessage(other, "", "http://h/p.exe", "Bad Secret Token!"), "Bad Secret Token!");
  // Without a file, the content is judged.
  EXPECT_TRUE(IsHtmlErrorPage("", "<title>404</title>"));
  EXPECT_TRUE(IsHtmlErrorPage(dir_ + "\\missing.exe", "<title>404</title>"));
}

TEST_F(InetHttp, TheLibraryLoadsOnFirstUseAndUnloads) {
  UnloadInternetLibrary();
  EXPECT_FALSE(InternetLibraryLoaded());
  EXPECT_TRUE(IsInternetConnected());
  EXPECT_TRUE(InternetLibraryLoaded());
  UnloadInternetLibrary();
  EXPECT_FALSE(InternetLibraryLoaded());
}

}  // namespace
