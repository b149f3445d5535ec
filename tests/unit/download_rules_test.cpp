#include "core/InetHTTP/download_rules.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

TEST(DownloadUrl, AddsTheSchemeOnlyWhenNoneIsNamedAndOpensHttpsSecure) {
  struct Case {
    const char* given;
    const char* opened;
    bool secure;
  } cases[] = {
      {"host/dir/pkg.exe", "http://host/dir/pkg.exe", false},
      {"http://host/pkg.exe", "http://host/pkg.exe", false},
      {"HTTP://host/pkg.exe", "HTTP://host/pkg.exe", false},
      {"https://host/pkg.exe", "https://host/pkg.exe", true},
      {"HTTPS://host:8443/a/b", "HTTPS://host:8443/a/b", true},
      {"ftp://host/pkg.exe", "ftp://host/pkg.exe", false},
      // "://" further on names no scheme of this address.
      {"host/go?to=http://other/x", "http://host/go?to=http://other/x", false},
      {"host/go?to=https://other/x", "http://host/go?to=https://other/x", false},
      {"127.0.0.1:8080/pkg.exe", "http://127.0.0.1:8080/pkg.exe", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DownloadUrl(c.given), c.opened) << c.given;
    EXPECT_EQ(IsSecureUrl(DownloadUrl(c.given)), c.secure) << c.given;
  }
}

TEST(DownloadNames, DisplayNameIsTheLastPathElement) {
  EXPECT_EQ(DownloadDisplayName("http://h/a/b/setup.exe"), "setup.exe");
  EXPECT_EQ(DownloadDisplayName("setup.exe"), "setup.exe");
  EXPECT_EQ(DownloadDisplayName("http://h/dir/"), "");
}

TEST(DownloadNames, TempPathAddsSizePlusStampModulo2To32) {
  EXPECT_EQ(DownloadTempPath("C:\\t\\pkg.exe", 1000, 24), "C:\\t\\pkg.exe.1024");
  EXPECT_EQ(DownloadTempPath("p", 0xFFFFFFFFull, 2), "p.1");
  EXPECT_EQ(DownloadTempPath("p", kUnknownSize, 0), "p.4294967295");
}

TEST(DownloadNames, OnlyTheClientsOwnTempNamesCount) {
  struct Case {
    const char* file;
    bool temp;
  } cases[] = {
      {"pkg.exe.1024", true},
      {"PKG.EXE.4294967295", true},
      {"pkg.exe.1", true},
      {"pkg.exe", false},          // the destination itself
      {"pkg.exe.config", false},   // a file that shares its name
      {"pkg.exe.001", false},      // a volume of a spanned setup
      {"pkg.exe.", false},
      {"pkg.exe.12a", false},
      {"pkg.exe2.1024", false},
      {"other.exe.1024", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsDownloadTempName("pkg.exe", c.file), c.temp) << c.file;
}

TEST(DownloadErrors, TextsNameWhatFailed) {
  EXPECT_EQ(std::string(kInitFailedText), "Unable to initialize \"WinINet.dll\"");
  EXPECT_EQ(OpenFailedText("h/x"), "Unable to open Internet Connection: h/x");
  EXPECT_EQ(OpenFailedText("https://h/x", "invalid certificate authority"),
            "Unable to open Internet Connection: https://h/x (invalid certificate authority)");
  EXPECT_EQ(FileNotFoundText("http://h/x"), "http://h/x --- File Not Found !");
  EXPECT_EQ(InternetErrorFallbackText(12045),
            "the server's certificate is not issued by a trusted authority (error 12045)");
  EXPECT_EQ(InternetErrorFallbackText(12038), "the server's certificate is issued for another host name (error 12038)");
  EXPECT_EQ(InternetErrorFallbackText(12029), "error 12029");
  EXPECT_EQ(ReadFailedText("x.exe", ""), "x.exe --- Error downloading file");
  EXPECT_EQ(ReadFailedText("x.exe", "timed out"), "x.exe --- Error downloading file (timed out)");
  EXPECT_EQ(IncompleteText("x.exe", 5, 10), "x.exe --- Error downloading file (received 5 of 10 bytes)");
  EXPECT_EQ(HttpStatusText("http://h/x", 404, "Not Found "), "http://h/x --- HTTP status 404 (Not Found)");
  EXPECT_EQ(HttpStatusText("http://h/x", 500, ""), "http://h/x --- HTTP status 500");
}

TEST(DownloadCheck, ABodyIsWholeWhenItMatchesTheAnnouncedLengthOrNoneWasAnnounced) {
  EXPECT_TRUE(ReceivedWhole(10, 10));
  EXPECT_FALSE(ReceivedWhole(10, 5));
  EXPECT_FALSE(ReceivedWhole(10, 11));
  EXPECT_TRUE(ReceivedWhole(kUnknownSize, 123));
  // Lengths beyond 32 bits are lengths, not "unknown".
  EXPECT_FALSE(ReceivedWhole(0x100000000ull, 0));
}

TEST(DownloadCheck, TheWholeLengthComesFromARangeAnswer) {
  const struct {
    const char* header;
    std::int64_t total;
  } cases[] = {
      {"bytes 0-0/104857600", 104857600},
      {"bytes */0", 0},                        // an empty file cannot give its first byte
      {"BYTES 0-0/5000000000", 5000000000},  // beyond 32 bits stays whole here
      {"bytes 0-0/*", -1},                     // the server does not know
      {"bytes 0-0/12x", -1},
      {"items 0-0/12", -1},
      {"", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(ContentRangeTotal(c.header), c.total) << c.header;
}

TEST(DownloadCheck, OnlyAWholeAnswerIsTheFile) {
  struct Case {
    unsigned status;
    bool askedForRange;
    bool whole;
  } cases[] = {
      {200, false, true},  {200, true, true},   {206, true, true},
      {206, false, false},  // a part the client never asked for
      {204, false, false},  // no content
      {203, false, false}, {201, false, false}, {299, false, false},
      {301, false, false},  // a redirect the library did not follow
      {302, false, false}, {304, false, false}, {300, false, false},
      {404, false, false}, {416, true, false},  {500, false, false},
      {0, false, false},    // no status line at all
      {100, false, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsWholeAnswer(c.status, c.askedForRange), c.whole) << c.status;
}

TEST(DownloadCheck, TheSizeQueryNeverReportsALengthCutTo32Bits) {
  const struct {
    std::int64_t whole;
    std::int32_t answer;
  } cases[] = {
      {0, 0}, {300000, 300000}, {INT32_MAX, INT32_MAX}, {-1, -1},
      {std::int64_t(INT32_MAX) + 1, -1},
      {(std::int64_t(1) << 32) + 5000, -1},  // would read as 5000
      {INT64_MAX, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(SizeQueryAnswer(c.whole), c.answer) << c.whole;
}

TEST(DownloadBounds, TheCallersBoundHoldsWithinTheLargestOfItsKind) {
  const struct {
    std::uint64_t maxBytes;
    bool toMemory;
    std::uint64_t cap;
  } cases[] = {
      {0, false, kLargestFileBody},
      {0, true, kLargestMemoryBody},
      {65536, true, 65536},
      {72, true, 72},
      {5000, false, 5000},
      {kLargestFileBody + 1, false, kLargestFileBody},
      {kLargestFileBody, true, kLargestMemoryBody},  // memory never takes a file's bound
  };
  for (const auto& c : cases) EXPECT_EQ(BodyCap(c.maxBytes, c.toMemory), c.cap) << c.maxBytes;
  EXPECT_EQ(TooLargeText("Product.info", 70000, 65536),
            "Product.info --- Error downloading file (70000 bytes, more than the 65536 this file may have)");
}

TEST(DownloadBounds, TheTimeLimitGrowsWithTheBodyAtTheSlowestLinksRate) {
  EXPECT_EQ(DownloadTimeLimitMs(0), kAnswerWithinMs) << "the answer alone";
  EXPECT_EQ(DownloadTimeLimitMs(65536), kAnswerWithinMs + 16000) << "a full .INFO at 4 KB/s";
  EXPECT_EQ(DownloadTimeLimitMs(100u << 20), kAnswerWithinMs + 25600000);
  // A length beyond any file counts as the largest file: no overflow.
  EXPECT_EQ(DownloadTimeLimitMs(~std::uint64_t(0)), DownloadTimeLimitMs(kLargestFileBody));
  EXPECT_GT(DownloadTimeLimitMs(kLargestFileBody), 0);
  EXPECT_EQ(TimedOutText("Setup.exe", 1500), "Setup.exe --- Error downloading file (not complete after 2 seconds)");
}

TEST(DownloadProgress, TheStepBarIsFullAfterTheWholeBody) {
  for (std::uint64_t size : {1ull, 50ull, 99ull, 100ull, 101ull, 500ull, 1000000ull, 209715200ull, 5000000000ull}) {
    const ProgressPlan plan = PlanProgress(size);
    EXPECT_EQ(plan.position, 1);
    EXPECT_LE(plan.range, 101) << size;
    EXPECT_EQ(ProgressSteps(plan, 0), 0) << size;
    EXPECT_EQ(plan.position + ProgressSteps(plan, size), plan.range) << size;
    EXPECT_LT(plan.position + ProgressSteps(plan, size - 1), plan.range) << size;
    EXPECT_EQ(plan.position + ProgressSteps(plan, size + 1), plan.range) << size;
  }
}

TEST(DownloadProgress, UnknownSizeHasNoUnit) {
  const ProgressPlan plan = PlanProgress(kUnknownSize);
  EXPECT_EQ(plan.unit, 0u);
  EXPECT_EQ(ProgressSteps(plan, 12345), 0);
}

TEST(HtmlErrorPage, RecognisesPagesByTheirTags) {
  struct Case {
    std::string text;
    bool page;
  } cases[] = {
      {"<html><head><title>Oops</title></head>", true},
      {"<HTML>\r\n<HEAD>\r\n<TITLE>Error</TITLE>", true},
      {"<title>404 Not Found</title>", true},
      {"<Title>Error 404 - gone</TITLE>", true},
      {"<html><title>x</title><head>", false},  // head after the title
      {"<title>Not here</title>", false},
      {"<title>x</title> 404", false},           // 404 outside the title
      {"MZ\x90\x00 binary <html>", false},
      {"", false},
      // Only the first 1000 bytes count.
      {std::string(1000, ' ') + "<html><head><title>x</title>", false},
      {std::string(990, ' ') + "<title>404</title>", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsHtmlErrorPage(c.text), c.page) << c.text.substr(0, 60);
}

TEST(HtmlErrorPage, MessageNamesTheAddress) {
  EXPECT_EQ(HtmlErrorPageText("http://h/p.exe"),
            "<B>404 File Not Found...</B><P><P>URL:  http://h/p.exe.<P><P>Please make sure the file is "
            "available and access is allowed to this file.");
}

}  // namespace
}  // namespace kestro
