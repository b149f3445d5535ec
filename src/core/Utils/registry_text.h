// How registry paths are split and registry values turned into text; the
// Windows side (win/Utils/registry.h) opens keys and queries values.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// Registry value types that read differently.
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;
// Values larger than this read as missing.
constexpr std::size_t kRegValueBufferSize = 10241;

struct RegistryPath {
  std::string root;    // canonical root name, e.g. "HKEY_CURRENT_USER"
  std::string subKey;  // may be empty (the root key itself)
};

// "HKLM", "HKEY_LOCAL_MACHINE" (any case) and the other roots; anything
// else names HKEY_CURRENT_USER.
std::string CanonicalRootName(const std::string& name);
// The path is trimmed; "HK..." without a backslash is a root alone; a path
// that does not start with "HK" is a sub-key of HKEY_CURRENT_USER.
RegistryPath SplitRegistryPath(const std::string& path);
// DWORD of 4 bytes: unsigned decimal. Multi-string over 2 bytes: trailing
// zeros dropped, inner zeros shown as "<0>". Anything else: the bytes up to
// the first zero.
std::string RegistryValueText(uint32_t type, const std::string& data);

}  // namespace kestro
