#include "core/StubAU/update_decision.h"

#include "core/Files/file_names.h"
#include "core/StubAU/agent_clock.h"
#include "core/Utils/ksub.h"

namespace kestro {

std::string DecisionText(int code) { return SUB::GetItem(kDecisionTexts, code); }

int DecideUpdate(const DecisionFacts& f, const std::function<bool()>& sizeMatches) {
  if (!f.infoDownloaded) return kDecInfoDownloadError;
  if (f.versionOriginal <= 0) return kDecOriginalReadError;
  if (f.stampInfo == f.stampOriginal && !f.reAskDue && !f.interactiveTestRun) return kDecTooEarly;
  if (f.versionNew <= f.versionOriginal) return kDecNotNewer;
  if (!VersionListed(f.validVersions, f.versionOriginal)) return kDecVersionMismatch;
  if (!sizeMatches()) return kDecSizeError;
  return kDecOk;
}

bool ReAskDue(int64_t now, int64_t reAskLast, int64_t reAskInterval) {
  return reAskInterval > 0 && now > SaturatingAdd(reAskLast, reAskInterval);
}

bool VersionListed(const std::string& validVersions, int32_t versionOriginal) {
  if (validVersions.empty()) return true;
  const std::string needle = "," + std::to_string(versionOriginal) + ",";
  return ("," + validVersions + ",").find(needle) != std::string::npos;
}

bool SizeWithinTolerance(int64_t actual, int64_t expected) {
  const int64_t diff = actual - expected;
  return diff > -kSizeTolerance && diff < kSizeTolerance;
}

SizeProbe ChooseSizeProbe(bool autoInform, const std::string& updateName, int32_t updateSize,
                          const std::string& informName, int32_t informSize) {
  SizeProbe p;
  p.name = ExtractFileName(autoInform ? informName : updateName);
  p.expected = autoInform ? informSize : updateSize;
  return p;
}

}  // namespace kestro
