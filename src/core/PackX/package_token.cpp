#include "core/PackX/package_token.h"

#include <random>
#include <vector>

#include "core/Utils/ksub.h"

namespace kestro {

namespace {

int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string RandomBelow99999() { return std::to_string(SUB::RandomInt(0, 99998)); }

}  // namespace

std::optional<std::string> UnscrambleToken(const std::string& stored) {
  if (stored.empty() || stored.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> b;
  b.reserve(stored.size() / 2);
  for (size_t i = 0; i < stored.size(); i += 2) {
    int hi = HexValue(static_cast<unsigned char>(stored[i]) - kTokenCharShift);
    int lo = HexValue(static_cast<unsigned char>(stored[i + 1]) - kTokenCharShift);
    if (hi < 0 || lo < 0) return std::nullopt;
    b.push_back(uint8_t(hi << 4 | lo));
  }
  const size_t n = b.size();
  if (n > 4) {
    uint8_t sum = 0;
    for (size_t i = 0; i < n; ++i)
      if (i != n - 2) sum = uint8_t(sum + b[i]);
    if (sum != b[n - 2]) return std::nullopt;
  }
  if (n < 3) return std::nullopt;
  const uint8_t key = b[0] ^ b[n - 1];
  for (size_t i = 1; i + 1 < n; ++i) b[i] ^= key;
  const size_t p = b[1], q = b[2];
  if (p + q + 4 > n) return std::nullopt;
  return std::string(b.begin() + long(p + 3), b.begin() + long(n - q - 1));
}

std::string UnscrambleTokenOrRandom(const std::string& stored) {
  auto token = UnscrambleToken(stored);
  return token ? *token : RandomBelow99999();
}

std::string ScrambleToken(const std::string& token, uint32_t seed) {
  std::mt19937 rng(seed);
  auto byte = [&] { return uint8_t(rng() & 0xFF); };
  const uint8_t p = uint8_t(rng() % 6), q = uint8_t(1 + rng() % 5);
  std::vector<uint8_t> b;
  b.push_back(byte());
  b.push_back(p);
  b.push_back(q);
  for (int i = 0; i < p; ++i) b.push_back(byte());
  b.insert(b.end(), token.begin(), token.end());
  for (int i = 1; i < q; ++i) b.push_back(byte());
  b.push_back(0);  // checksum, set below
  b.push_back(byte());
  const size_t n = b.size();
  const uint8_t key = b[0] ^ b[n - 1];
  for (size_t i = 1; i + 2 < n; ++i) b[i] ^= key;
  uint8_t sum = 0;
  for (size_t i = 0; i < n; ++i)
    if (i != n - 2) sum = uint8_t(sum + b[i]);
  b[n - 2] = sum;
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (uint8_t v : b) {
    out += char(kHex[v >> 4] + kTokenCharShift);
    out += char(kHex[v & 15] + kTokenCharShift);
  }
  return out;
}

}  // namespace kestro
