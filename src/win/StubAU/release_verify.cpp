#include <windows.h>

#include "win/StubAU/release_verify.h"

#include "core/StubAU/release_info.h"
#include "core/StubAU/release_key.h"
#include "core/StubAU/release_signature.h"
#include "win/Files/files.h"
#include "win/StubAU/release_cng.h"

namespace kestro {

namespace {

constexpr const char* kSignatureSuffix = ".sig";

ReleaseCheck Refused(const std::string& why) { return {ReleaseTrust::kRefused, why}; }

// The stored copy's facts when it still verifies; otherwise it says nothing.
bool StoredFacts(const std::string& keyItem, const std::string& storedInfoPath, ReleaseFacts& facts) {
  std::string info = ReadWholeFile(storedInfoPath);
  std::string signature = ReadWholeFile(SignatureFileName(storedInfoPath));
  if (CheckInfoSignature(keyItem, info, signature).trust != ReleaseTrust::kVerified) return false;
  facts = ReadReleaseFacts(info);
  return true;
}

}  // namespace

std::string SignatureFileName(const std::string& infoName) { return infoName + kSignatureSuffix; }

ReleaseCheck CheckInfoSignature(const std::string& keyItem, const std::string& info, const std::string& signature) {
  if (keyItem.empty()) return {ReleaseTrust::kUnsigned, kUnsignedReleaseLog};
  std::optional<P256Point> key = ParseReleaseKeyItem(keyItem);
  if (!key) return Refused("the agent's release key is damaged; no release is trusted");
  if (!CngAvailable()) return Refused("this system has no CNG (bcrypt.dll) to verify the release");
  if (signature.empty()) return Refused("the release has no signature file");
  std::optional<RawSignature> raw = DerSignatureToRaw(signature);
  if (!raw) return Refused("the release's signature file is malformed");
  std::string digest;
  if (!Sha256OfBytes(info, digest)) return Refused("SHA-256 of the .INFO file failed");
  if (!VerifyP256(*key, digest, *raw)) return Refused("the .INFO file's signature does not verify with the release key");
  return {ReleaseTrust::kVerified, "signature verified"};
}

ReleaseCheck CheckNewInfo(const std::string& keyItem, const std::string& info, const std::string& signature,
                          const ReleaseScope& scope, int32_t versionOriginal, const std::string& storedInfoPath) {
  ReleaseCheck check = CheckInfoSignature(keyItem, info, signature);
  if (check.trust != ReleaseTrust::kVerified) return check;
  ReleaseFacts stored;
  const ReleaseFacts* previous = StoredFacts(keyItem, storedInfoPath, stored) ? &stored : nullptr;
  const ReleaseFacts candidate = ReadReleaseFacts(info);
  std::string why = ScopeRefusal(candidate, scope, previous);
  if (why.empty()) why = RollbackRefusal(candidate, versionOriginal, previous);
  return why.empty() ? check : Refused(why);
}

bool StoreVerifiedInfo(const std::string& storedInfoPath, const std::string& info, const std::string& signature) {
  const std::string sigPath = SignatureFileName(storedInfoPath);
  if (signature.empty()) {
    DeleteFileA(sigPath.c_str());
    return WriteTextToFile(storedInfoPath, info);
  }
  return WriteTextToFile(storedInfoPath, info) && WriteTextToFile(sigPath, signature);
}

ReleaseCheck CheckDownloadedFile(const std::string& keyItem, const std::string& storedInfoPath, ReleaseFileKind kind,
                                 const std::string& path, const std::string& name) {
  if (keyItem.empty()) return {ReleaseTrust::kUnsigned, kUnsignedReleaseLog};
  std::string info = ReadWholeFile(storedInfoPath);
  ReleaseCheck check = CheckInfoSignature(keyItem, info, ReadWholeFile(SignatureFileName(storedInfoPath)));
  if (check.trust != ReleaseTrust::kVerified) return Refused("the stored .INFO file: " + check.reason);
  ReleaseFacts facts = ReadReleaseFacts(info);
  const ReleaseFile& expected = kind == ReleaseFileKind::kUpdate ? facts.update : facts.inform;
  std::string digest;
  uint64_t size = 0;
  if (!Sha256OfFile(path, digest, size)) return Refused("cannot read " + path + " to verify it");
  std::string why = FileRefusal(expected, name, size, digest);
  return why.empty() ? ReleaseCheck{ReleaseTrust::kVerified, expected.name + " matches the signed release"}
                     : Refused(why);
}

}  // namespace kestro
