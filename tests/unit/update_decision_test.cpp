#include "core/StubAU/update_decision.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {
DecisionFacts Offerable() {
  DecisionFacts f;
  f.infoDownloaded = true;
  f.versionOriginal = 12;
  f.versionNew = 13;
  f.stampOriginal = 100;
  f.stampInfo = 101;
  return f;
}
}  // namespace

TEST(UpdateDecision, CodeTexts) {
  EXPECT_EQ(DecisionText(0), "Error downloading .INFO file");
  EXPECT_EQ(DecisionText(3), "New version is not higher then old version");
  EXPECT_EQ(DecisionText(4), "\"Valid for version\" mismatch");
  EXPECT_EQ(DecisionText(6), "OK");
}

TEST(UpdateDecision, FirstFailingTestGivesTheCode) {
  struct Case {
    const char* what;
    void (*change)(DecisionFacts&);
    bool sizeOk;
    int code;
  } cases[] = {
      {"all pass", [](DecisionFacts&) {}, true, kDecOk},
      {"download failed, original fine", [](DecisionFacts& f) { f.infoDownloaded = false; }, true,
       kDecInfoDownloadError},
      {"no original", [](DecisionFacts& f) { f.versionOriginal = 0; }, true, kDecOriginalReadError},
      {"negative original", [](DecisionFacts& f) { f.versionOriginal = -3; }, true,
       kDecOriginalReadError},
      {"same stamp, no re-ask", [](DecisionFacts& f) { f.stampInfo = f.stampOriginal; }, true,
       kDecTooEarly},
      {"same stamp, re-ask due",
       [](DecisionFacts& f) { f.stampInfo = f.stampOriginal, f.reAskDue = true; }, true, kDecOk},
      {"same stamp, interactive test run",
       [](DecisionFacts& f) { f.stampInfo = f.stampOriginal, f.interactiveTestRun = true; }, true,
       kDecOk},
      {"same version", [](DecisionFacts& f) { f.versionNew = 12; }, true, kDecNotNewer},
      {"older version", [](DecisionFacts& f) { f.versionNew = 11; }, true, kDecNotNewer},
      {"not in the valid list", [](DecisionFacts& f) { f.validVersions = "112,120"; }, true,
       kDecVersionMismatch},
      {"in the valid list", [](DecisionFacts& f) { f.validVersions = "7,12"; }, true, kDecOk},
      {"size differs", [](DecisionFacts&) {}, false, kDecSizeError},
      {"earlier failure wins over size", [](DecisionFacts& f) { f.versionNew = 1; }, false,
       kDecNotNewer},
  };
  for (const Case& c : cases) {
    DecisionFacts f = Offerable();
    c.change(f);
    EXPECT_EQ(DecideUpdate(f, [&] { return c.sizeOk; }), c.code) << c.what;
  }
}

TEST(UpdateDecision, SizeIsMeasuredOnlyWhenEverythingElsePassed) {
  int asked = 0;
  DecisionFacts f = Offerable();
  f.versionNew = 12;
  DecideUpdate(f, [&] { return ++asked, true; });
  EXPECT_EQ(asked, 0);
  DecideUpdate(Offerable(), [&] { return ++asked, true; });
  EXPECT_EQ(asked, 1);
}

TEST(UpdateDecision, ReAskTime) {
  const int64_t now = 4000000000LL;
  struct Case {
    int64_t last, interval;
    bool due;
  } cases[] = {
      {now - 86401, 86400, true},  // one day and one second ago
      {now - 86400, 86400, false},  // exactly one day ago
      {0, 0, false},               // 0: never ask again
      {0, -5, false},
      {now, INT64_MAX, false},     // the sum does not wrap
  };
  for (const Case& c : cases) EXPECT_EQ(ReAskDue(now, c.last, c.interval), c.due) << c.last;
}

TEST(UpdateDecision, ValidVersionsIsAPlainListWithoutBlanks) {
  struct Case {
    const char* list;
    int32_t version;
    bool listed;
  } cases[] = {
      {"", 12, true},       {"12", 12, true},       {"7,12", 12, true},
      {"112,120", 12, false}, {"3, 12", 12, false}, {"3,4,7", 4, true},
  };
  for (const Case& c : cases) EXPECT_EQ(VersionListed(c.list, c.version), c.listed) << c.list;
}

TEST(UpdateDecision, SizeTolerance) {
  struct Case {
    int64_t actual, expected;
    bool ok;
  } cases[] = {
      {1000099, 1000000, true},  {1000100, 1000000, false}, {999901, 1000000, true},
      {999900, 1000000, false},  {-1, 0, true},             {100, 0, false},
      {-1, 1000000, false},      {2147483647, -2147483648LL, false},
  };
  for (const Case& c : cases) EXPECT_EQ(SizeWithinTolerance(c.actual, c.expected), c.ok) << c.actual;
}

TEST(UpdateDecision, SizeProbeFollowsAutoInform) {
  SizeProbe update = ChooseSizeProbe(false, "dir\\Setup.exe", 500, "News.txt", 20);
  EXPECT_EQ(update.name, "Setup.exe");
  EXPECT_EQ(update.expected, 500);
  SizeProbe inform = ChooseSizeProbe(true, "Setup.exe", 500, "x\\News.txt", 20);
  EXPECT_EQ(inform.name, "News.txt");
  EXPECT_EQ(inform.expected, 20);
}
