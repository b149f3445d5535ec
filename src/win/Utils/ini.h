// INI-style settings files through the system's profile functions. Callers
// pass full paths: a bare file name would be looked up in the Windows folder.
#pragma once

#include <cstdint>
#include <string>

namespace kestro {

// Longest value read, in characters.
constexpr std::size_t kIniValueBufferSize = 102401;

// Empty section or key, missing file or key, and an empty value all give
// the default.
std::string ReadIniString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& def);
// Decimal, or hexadecimal after "$"; anything else gives the default.
int64_t ReadIniInteger(const std::string& file, const std::string& section,
                       const std::string& key, int64_t def);
// False for an empty file, section or key, or when the system call fails.
bool WriteIniString(const std::string& file, const std::string& section,
                    const std::string& key, const std::string& value);
bool WriteIniInteger(const std::string& file, const std::string& section,
                     const std::string& key, int64_t value);

}  // namespace kestro
