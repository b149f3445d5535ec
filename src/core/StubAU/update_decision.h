// May the release a freshly downloaded ".INFO" file describes be offered to
// this installation now? Six tests in a fixed order; the first that fails
// gives the answer, and "OK" (6) when all pass.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kestro {

enum DecisionCode {
  kDecInfoDownloadError = 0,
  kDecOriginalReadError = 1,
  kDecTooEarly = 2,
  kDecNotNewer = 3,
  kDecVersionMismatch = 4,
  kDecSizeError = 5,
  kDecOk = 6,
};

constexpr const char kDecisionTexts[] =
    "|Error downloading .INFO file|Error reading .ORIGINAL file|Too early for retesting"
    "|New version is not higher then old version|\"Valid for version\" mismatch"
    "|Download file size error|OK|";

std::string DecisionText(int code);

// What the tests look at; versions and stamps are the low 32 bits of the
// stored values.
struct DecisionFacts {
  bool infoDownloaded = false;
  int32_t versionOriginal = 0;
  int32_t versionNew = 0;
  int32_t stampOriginal = 0;
  int32_t stampInfo = 0;
  bool reAskDue = false;            // see ReAskDue
  bool interactiveTestRun = false;  // test run level 1: the stamp never holds back
  std::string validVersions;        // "3,4,7"; empty = every version
};

// sizeMatches runs only when every earlier test passed (it may ask a server).
int DecideUpdate(const DecisionFacts& facts, const std::function<bool()>& sizeMatches);

// The user may be asked again about a release already offered.
bool ReAskDue(int64_t now, int64_t reAskLast, int64_t reAskInterval);

// "," + version + "," within "," + list + "," (a plain text search: the list
// is written without blanks).
bool VersionListed(const std::string& validVersions, int32_t versionOriginal);

// The size a download has (-1 = unknown) is close enough to the announced
// one: less than kSizeTolerance bytes apart.
inline constexpr std::int64_t kSizeTolerance = 100;
bool SizeWithinTolerance(int64_t actual, int64_t expected);

// Which file the size test measures: the INFORM file in auto-inform mode,
// otherwise the UPDATE file; the name loses any folder part.
struct SizeProbe {
  std::string name;
  int32_t expected = 0;
};
SizeProbe ChooseSizeProbe(bool autoInform, const std::string& updateName, int32_t updateSize,
                          const std::string& informName, int32_t informSize);

}  // namespace kestro
