#include "core/StubAU/release_signature.h"

#include <cstring>

namespace kestro {

namespace {

constexpr uint8_t kDerSequence = 0x30;
constexpr uint8_t kDerInteger = 0x02;

// Reads one INTEGER at `pos` into a 32-byte big-endian field.
bool ReadInteger(const std::string& der, size_t& pos, uint8_t* field) {
  if (pos + 2 > der.size() || uint8_t(der[pos]) != kDerInteger) return false;
  size_t len = uint8_t(der[pos + 1]);
  pos += 2;
  if (len == 0 || len > 0x7F || pos + len > der.size()) return false;
  const uint8_t* v = reinterpret_cast<const uint8_t*>(der.data()) + pos;
  pos += len;
  if (v[0] & 0x80) return false;                        // negative
  if (len > 1 && v[0] == 0 && !(v[1] & 0x80)) return false;  // not minimal
  if (v[0] == 0) { ++v; --len; }
  if (len == 0 || len > 32) return false;               // zero, or too large
  std::memset(field, 0, 32);
  std::memcpy(field + 32 - len, v, len);
  return true;
}

}  // namespace

std::optional<RawSignature> DerSignatureToRaw(const std::string& der) {
  if (der.size() < 8 || der.size() > kMaxDerSignatureSize) return std::nullopt;
  if (uint8_t(der[0]) != kDerSequence || size_t(uint8_t(der[1])) != der.size() - 2) return std::nullopt;
  RawSignature raw{};
  size_t pos = 2;
  if (!ReadInteger(der, pos, raw.data()) || !ReadInteger(der, pos, raw.data() + 32)) return std::nullopt;
  if (pos != der.size()) return std::nullopt;
  return raw;
}

}  // namespace kestro
