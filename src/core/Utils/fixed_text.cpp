#include "core/Utils/fixed_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace kestro {

namespace {

// ---------------------------------------------------------------- a small unsigned big number
// Words of 32 bits, least significant first; enough for any double scaled
// by a power of ten (about 1100 bits).
using Big = std::vector<uint32_t>;

void MultiplySmall(Big& n, uint32_t factor) {
  uint64_t carry = 0;
  for (uint32_t& w : n) {
    carry += uint64_t(w) * factor;
    w = uint32_t(carry);
    carry >>= 32;
  }
  if (carry) n.push_back(uint32_t(carry));
}

void ShiftLeft(Big& n, unsigned bits) {
  n.insert(n.begin(), bits / 32, 0u);
  if (unsigned rest = bits % 32) {
    uint32_t carry = 0;
    for (uint32_t& w : n) {
      const uint32_t next = w >> (32 - rest);
      w = w << rest | carry;
      carry = next;
    }
    if (carry) n.push_back(carry);
  }
}

bool Bit(const Big& n, uint64_t at) {
  return at / 32 < n.size() && (n[at / 32] >> (at % 32) & 1u);
}

bool AnyBitBelow(const Big& n, uint64_t end) {
  for (uint64_t i = 0; i < end && i / 32 < n.size(); ++i)
    if (Bit(n, i)) return true;
  return false;
}

// n >> bits, rounded half to even on the bits shifted out.
Big ShiftRightRounded(const Big& n, uint64_t bits) {
  Big out;
  for (uint64_t at = bits; at / 32 < n.size(); at += 32) {
    uint32_t w = 0;
    for (unsigned b = 0; b < 32; ++b) w |= uint32_t(Bit(n, at + b)) << b;
    out.push_back(w);
  }
  const bool half = bits > 0 && Bit(n, bits - 1);
  const bool odd = !out.empty() && (out[0] & 1u);
  if (half && (odd || AnyBitBelow(n, bits - 1))) {
    out.push_back(0);
    for (uint32_t& w : out)
      if (++w != 0) break;
  }
  return out;
}

// Decimal digits, most significant first; "0" for zero.
std::string DecimalDigits(Big n) {
  std::string digits;
  while (!n.empty()) {
    uint64_t rest = 0;
    for (size_t i = n.size(); i-- > 0;) {
      const uint64_t cur = rest << 32 | n[i];
      n[i] = uint32_t(cur / 10);
      rest = cur % 10;
    }
    digits += char('0' + rest);
    while (!n.empty() && n.back() == 0) n.pop_back();
  }
  if (digits.empty()) digits = "0";
  std::reverse(digits.begin(), digits.end());
  return digits;
}

}  // namespace

std::string FixedText(double value, int decimals) {
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isnan(value)) return sign + "nan";
  if (std::isinf(value)) return sign + "inf";
  decimals = std::max(decimals, 0);
  // value = mantissa * 2^exponent exactly, the mantissa below 2^53.
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  const uint64_t mantissa = uint64_t(std::ldexp(fraction, 53));
  exponent -= 53;
  Big scaled = {uint32_t(mantissa), uint32_t(mantissa >> 32)};
  for (int i = 0; i < decimals; ++i) MultiplySmall(scaled, 10);
  if (exponent >= 0) ShiftLeft(scaled, unsigned(exponent));
  else scaled = ShiftRightRounded(scaled, uint64_t(-int64_t(exponent)));
  while (!scaled.empty() && scaled.back() == 0) scaled.pop_back();
  std::string digits = DecimalDigits(scaled);
  if (digits.size() <= size_t(decimals)) digits.insert(0, size_t(decimals) + 1 - digits.size(), '0');
  if (decimals == 0) return sign + digits;
  return sign + digits.substr(0, digits.size() - decimals) + "." + digits.substr(digits.size() - decimals);
}

}  // namespace kestro
