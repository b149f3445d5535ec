#include "core/StubAU/release_key.h"

#include <cstring>

#include "core/PackX/package_layout.h"

namespace kestro {

namespace {

// ---- DER and PEM ----------------------------------------------------------------

// SubjectPublicKeyInfo of a P-256 key: SEQUENCE { SEQUENCE { id-ecPublicKey,
// prime256v1 }, BIT STRING (no unused bits) } with the 65-byte point last.
const uint8_t kP256SpkiPrefix[] = {
    0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x02, 0x01,
    0x06, 0x08, 0x2A, 0x86, 0x48, 0xCE, 0x3D, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00};

constexpr const char* kPemBegin = "-----BEGIN PUBLIC KEY-----";
constexpr const char* kPemEnd = "-----END PUBLIC KEY-----";

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

// Base64 with line breaks and blanks ignored and "=" padding at the end.
std::optional<std::string> Base64Decode(const std::string& text) {
  std::string out;
  uint32_t acc = 0;
  int bits = 0;
  size_t padding = 0;
  for (char c : text) {
    if (c == '\r' || c == '\n' || c == ' ' || c == '\t') continue;
    if (c == '=') { ++padding; continue; }
    int v = Base64Value(c);
    if (v < 0 || padding > 0) return std::nullopt;
    acc = (acc << 6) | uint32_t(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += char((acc >> bits) & 0xFF);
    }
  }
  if (padding > 2) return std::nullopt;
  return out;
}

bool IsUncompressedPoint(const std::string& bytes) {
  return bytes.size() == kP256PointSize && uint8_t(bytes[0]) == 0x04;
}

}  // namespace

std::optional<std::string> StrictHexDecode(const std::string& text) {
  auto nibble = [](char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  if (text.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < text.size(); i += 2) {
    int hi = nibble(text[i]), lo = nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += char(hi * 16 + lo);
  }
  return out;
}

std::optional<P256Point> ParseReleaseKeyItem(const std::string& item) {
  const size_t prefix = std::strlen(kReleaseKeyPrefix);
  if (item.compare(0, prefix, kReleaseKeyPrefix) != 0) return std::nullopt;
  std::optional<std::string> bytes = StrictHexDecode(item.substr(prefix));
  if (!bytes || !IsUncompressedPoint(*bytes)) return std::nullopt;
  P256Point point;
  std::memcpy(point.data(), bytes->data(), point.size());
  return point;
}

std::string FormatReleaseKeyItem(const P256Point& point) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text = kReleaseKeyPrefix;
  for (uint8_t b : point) {
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
  return text;
}

std::string PointFromPublicKeyDer(const std::string& der, P256Point& out) {
  const size_t prefix = sizeof kP256SpkiPrefix;
  if (der.size() != prefix + kP256PointSize || std::memcmp(der.data(), kP256SpkiPrefix, prefix) != 0)
    return "not an ECDSA P-256 public key";
  std::string point = der.substr(prefix);
  if (!IsUncompressedPoint(point)) return "the public key's point is not in uncompressed form";
  std::memcpy(out.data(), point.data(), out.size());
  return {};
}

std::string PointFromPublicKeyPem(const std::string& pem, P256Point& out) {
  size_t begin = pem.find(kPemBegin);
  size_t end = pem.find(kPemEnd);
  if (begin == std::string::npos || end == std::string::npos || end < begin)
    return "no \"" + std::string(kPemBegin) + "\" block (a private key is never packed)";
  begin += std::strlen(kPemBegin);
  std::optional<std::string> der = Base64Decode(pem.substr(begin, end - begin));
  if (!der) return "the public key block is not base64";
  return PointFromPublicKeyDer(*der, out);
}

std::string EccPublicBlob(const P256Point& point) {
  std::string blob(8, '\0');
  PutLe32(reinterpret_cast<uint8_t*>(&blob[0]), kEcdsaP256PublicMagic);
  PutLe32(reinterpret_cast<uint8_t*>(&blob[4]), uint32_t(kP256CoordinateSize));
  blob.append(reinterpret_cast<const char*>(point.data()) + 1, 2 * kP256CoordinateSize);
  return blob;
}

}  // namespace kestro
