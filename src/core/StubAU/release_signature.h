// The detached signature of a ".INFO" file.
//
// The signature file holds ECDSA-Sig-Value in DER, the form OpenSSL writes
// (`openssl dgst -sha256 -sign`):
//
//   30 L  02 Lr r  02 Ls s       r, s: positive integers of at most 32 bytes,
//                                minimal encoding (a 00 only before a byte >= 80)
//
// The system's crypto library verifies the raw form instead: r and s, each
// left-padded with zeros to 32 bytes, one after the other (64 bytes).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kestro {

constexpr size_t kRawSignatureSize = 64;
// The longest DER form: two 33-byte integers and three 2-byte heads.
constexpr size_t kMaxDerSignatureSize = 72;
using RawSignature = std::array<uint8_t, kRawSignatureSize>;

// nullopt unless the bytes are exactly one strict DER signature of P-256
// size: no trailing bytes, no long lengths, no zero or negative integers.
std::optional<RawSignature> DerSignatureToRaw(const std::string& der);

}  // namespace kestro
