#include "core/StubWin/instance_name.h"

#include <cctype>
#include <cstdint>

namespace kestro {

namespace {

// 64-bit FNV-1a over the name's bytes in upper case.
std::uint64_t CaselessHash(const std::string& text) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : text) {
    h ^= static_cast<unsigned char>(std::toupper(c));
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace

std::string FitWindowClassName(const std::string& name) {
  if (name.size() <= kMaxWindowClassName) return name;
  // "#" and the hash in 16 lower-case hexadecimal digits.
  const std::uint64_t hash = CaselessHash(name);
  std::string tail = "#";
  for (int shift = 60; shift >= 0; shift -= 4) tail += "0123456789abcdef"[hash >> shift & 15];
  return name.substr(0, kMaxWindowClassName - 17) + tail;
}

}  // namespace kestro
