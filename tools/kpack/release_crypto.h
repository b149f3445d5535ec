// The publisher's side of release signing over OpenSSL: ECDSA P-256 keys,
// SHA-256 of files, signatures in DER.
#pragma once

#include <string>

#include "core/StubAU/release_key.h"

namespace kestro {

// Writes NAME.key (the private key, PKCS#8 PEM, readable by its owner only)
// and NAME.pub (the public key, SubjectPublicKeyInfo PEM); never overwrites.
std::string WriteKeyPair(const std::string& base);

// The 32 bytes of the SHA-256 of `bytes`.
std::string Sha256OfBytes(const std::string& bytes);

// The 32 bytes of a file's SHA-256.
std::string Sha256OfFile(const std::string& path, std::string& digest);

// Signs `bytes` with the private key in `keyPath` (ECDSA P-256 over SHA-256);
// `der` gets ECDSA-Sig-Value in DER, `point` the key's public point.
std::string SignBytes(const std::string& keyPath, const std::string& bytes, std::string& der,
                      P256Point& point);

}  // namespace kestro
