// Read-only registry access: the program never creates, writes or deletes
// keys or values. Every failure gives the caller's default, silently.
#pragma once

#include <windows.h>

#include <string>

namespace kestro {

struct RegistryKeyPath {
  HKEY root;
  std::string subKey;
};

// "HKLM\Software\..." -> HKEY_LOCAL_MACHINE + "Software\..." (see
// core/registry_text.h for the rules).
RegistryKeyPath ParseRegistryPath(const std::string& path);
HKEY RootKeyFromName(const std::string& name);

// An empty value name reads the key's default value. view64 asks for the
// 64-bit registry view (read access 0x20119 instead of 0x20019).
std::string RegReadString(const std::string& path, const std::string& valueName,
                          const std::string& def, bool view64 = false);

// The system's message text for the calling thread's last error code, or
// for a given code.
std::string LastErrorText();
std::string SystemErrorText(DWORD code);

}  // namespace kestro
