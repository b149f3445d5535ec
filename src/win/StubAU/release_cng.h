// SHA-256 and ECDSA P-256 verification through the system's crypto library
// (CNG, bcrypt.dll). The library is loaded by name on first use and bound at
// run time, so the stub still starts where it is missing (before Vista);
// there every call here fails, and a release that must be verified is
// refused.
#pragma once

#include <cstdint>
#include <string>

#include "core/StubAU/release_key.h"
#include "core/StubAU/release_signature.h"

namespace kestro {

// Whether bcrypt.dll and every routine used here could be bound.
bool CngAvailable();

// The 32-byte digest of `bytes`; false when CNG fails.
bool Sha256OfBytes(const std::string& bytes, std::string& digest);

// The digest of a file read in 64 KB pieces, and its size; false when the
// file cannot be read whole or CNG fails.
bool Sha256OfFile(const std::string& path, std::string& digest, uint64_t& size);

// True exactly when `signature` (raw r||s) is a valid ECDSA signature of the
// 32-byte `digest` under the public key `point`.
bool VerifyP256(const P256Point& point, const std::string& digest, const RawSignature& signature);

}  // namespace kestro
