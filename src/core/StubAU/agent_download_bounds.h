// How much the agent takes from a server for each of its downloads, so that
// an endless or oversized answer ends with an error instead of filling the
// agent's memory or the disk.
#pragma once

#include <cstdint>

#include "core/StubAU/release_signature.h"
#include "core/StubAU/update_decision.h"

namespace kestro {

// A ".INFO" file is a page of settings lines (a few kilobytes); 64 KB leaves
// room for long announcement texts and still fits any memory.
inline constexpr std::uint64_t kInfoFileBound = 64 * 1024;
// Its signature: the longest strict DER form of a P-256 signature.
inline constexpr std::uint64_t kSignatureFileBound = kMaxDerSignatureSize;

// An UPDATE or INFORM file: the size a verified release signed (anything
// else is refused afterwards anyway); without one, the size the ".INFO"
// names, within the tolerance the size test already demands of the server;
// 0 (the download client's own bound) when neither is known.
inline std::uint64_t ReleaseFileBound(std::int64_t signedSize, std::int32_t namedSize) {
  if (signedSize > 0) return static_cast<std::uint64_t>(signedSize);
  if (namedSize > 0) return static_cast<std::uint64_t>(namedSize) + kSizeTolerance - 1;
  return 0;
}

}  // namespace kestro
