#include "core/StubWin/instance_name.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

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
  char tail[18];
  std::snprintf(tail, sizeof tail, "#%016llx", static_cast<unsigned long long>(CaselessHash(name)));
  return name.substr(0, kMaxWindowClassName - 17) + tail;
}

}  // namespace kestro
