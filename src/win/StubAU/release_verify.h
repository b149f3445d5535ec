// What the update agent asks before it acts on a release, when its package
// carries the publisher's release key (TGFileInfo::GetReleaseKey):
//
//   1. a downloaded ".INFO" text and its signature file (".INFO" name +
//      ".sig" beside it on the server): CheckNewInfo. Only a verified text
//      of this product, not expired and not older than what is installed or
//      stored may replace the stored ".INFO"; StoreVerifiedInfo then writes
//      it with its signature.
//   2. a downloaded UPDATE or INFORM file: CheckDownloadedFile, against the
//      size and SHA-256 named by the stored, verified ".INFO".
//
// Without a key every answer is kUnsigned and the agent goes on as it always
// did. With a key nothing is trusted unless it verifies: a damaged key item,
// a missing or foreign signature, an edited text, a system without CNG all
// give kRefused with the reason for the agent log and the trace.
#pragma once

#include <cstdint>
#include <string>

#include "core/StubAU/release_info.h"

namespace kestro {

enum class ReleaseTrust { kUnsigned, kVerified, kRefused };

struct ReleaseCheck {
  ReleaseTrust trust = ReleaseTrust::kRefused;
  std::string reason;  // why it was refused, or what was verified
};

// The agent-log line of an agent without a release key.
constexpr const char* kUnsignedReleaseLog = "Release not signed: this agent carries no release key";

// Where the signature of a ".INFO" file lies: on the server and beside the
// stored copy alike.
std::string SignatureFileName(const std::string& infoName);

// The signature of `info` under `keyItem` only.
ReleaseCheck CheckInfoSignature(const std::string& keyItem, const std::string& info, const std::string& signature);

// CheckInfoSignature, then the product and the expiry (ScopeRefusal), then
// the rollback rule: a verified text whose version is below
// `versionOriginal`, or whose version and stamp come before those of the
// verified copy at `storedInfoPath`, is refused.
ReleaseCheck CheckNewInfo(const std::string& keyItem, const std::string& info, const std::string& signature,
                          const ReleaseScope& scope, int32_t versionOriginal, const std::string& storedInfoPath);

// Writes the ".INFO" text and, beside it, its signature (none for an
// unsigned release: an old signature file is removed). False when a write
// fails.
bool StoreVerifiedInfo(const std::string& storedInfoPath, const std::string& info, const std::string& signature);

enum class ReleaseFileKind { kUpdate = 2, kInform = 3 };  // the agent's download kinds

// The file downloaded to `path` for the name `name` against the stored
// ".INFO" and its signature, verified again: the name must be the signed
// one, its size and SHA-256 the signed ones.
ReleaseCheck CheckDownloadedFile(const std::string& keyItem, const std::string& storedInfoPath, ReleaseFileKind kind,
                                 const std::string& path, const std::string& name);

}  // namespace kestro
