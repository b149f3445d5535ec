// The publisher's release key as the agent carries it, and the byte forms
// the verifier needs.
//
// Releases are signed with ECDSA over the P-256 curve and SHA-256. The agent
// knows only the public key: an uncompressed curve point
//
//   04 | X (32 bytes, big-endian) | Y (32 bytes, big-endian)      65 bytes
//
// stored in the package settings list as the text "P256:" followed by the
// point in 130 hexadecimal digits. kpack reads it from a PEM public key file
// ("-----BEGIN PUBLIC KEY-----", SubjectPublicKeyInfo) as OpenSSL writes it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace kestro {

constexpr size_t kP256CoordinateSize = 32;
constexpr size_t kP256PointSize = 1 + 2 * kP256CoordinateSize;
using P256Point = std::array<uint8_t, kP256PointSize>;

constexpr const char* kReleaseKeyPrefix = "P256:";

// Digits 0-9 and A-F or a-f, two per byte; nullopt on anything else.
std::optional<std::string> StrictHexDecode(const std::string& text);

// The package item's text; nullopt when it is not exactly the prefix and an
// uncompressed point (the agent then trusts no release at all).
std::optional<P256Point> ParseReleaseKeyItem(const std::string& item);
std::string FormatReleaseKeyItem(const P256Point& point);

// The point of a P-256 public key in PEM (SubjectPublicKeyInfo) or in its DER
// bytes; an error text when the file holds anything else.
std::string PointFromPublicKeyPem(const std::string& pem, P256Point& out);
std::string PointFromPublicKeyDer(const std::string& der, P256Point& out);

// BCRYPT_ECCKEY_BLOB of an ECDSA P-256 public key, the form the system's
// crypto library imports: magic "ECS1" (0x31534345), the coordinate length
// 32, both little-endian 32-bit words, then X and Y as they stand.
constexpr uint32_t kEcdsaP256PublicMagic = 0x31534345;
std::string EccPublicBlob(const P256Point& point);

}  // namespace kestro
