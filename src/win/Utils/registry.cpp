#include "win/Utils/registry.h"

#include <memory>
#include <vector>

#include "core/Utils/registry_text.h"

namespace kestro {

namespace {

constexpr REGSAM kReadAccess = 0x20019;      // KEY_READ
constexpr REGSAM kView64Bit = 0x100;         // KEY_WOW64_64KEY

struct KeyCloser {
  void operator()(HKEY k) const { RegCloseKey(k); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer<HKEY>::type, KeyCloser>;

}  // namespace

HKEY RootKeyFromName(const std::string& name) {
  const std::string root = CanonicalRootName(name);
  if (root == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
  if (root == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
  if (root == "HKEY_USERS") return HKEY_USERS;
  if (root == "HKEY_CURRENT_CONFIG") return HKEY_CURRENT_CONFIG;
  if (root == "HKEY_DYN_DATA") return HKEY_DYN_DATA;
  return HKEY_CURRENT_USER;
}

RegistryKeyPath ParseRegistryPath(const std::string& path) {
  RegistryPath split = SplitRegistryPath(path);
  return {RootKeyFromName(split.root), split.subKey};
}

std::string RegReadString(const std::string& path, const std::string& valueName,
                          const std::string& def, bool view64) {
  const RegistryKeyPath key = ParseRegistryPath(path);
  HKEY raw = nullptr;
  if (RegOpenKeyExA(key.root, key.subKey.c_str(), 0,
                    kReadAccess | (view64 ? kView64Bit : 0), &raw) != ERROR_SUCCESS)
    return def;
  UniqueKey opened(raw);
  std::vector<char> buffer(kRegValueBufferSize);
  DWORD type = 0, size = DWORD(buffer.size());
  if (RegQueryValueExA(raw, valueName.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS ||
      size > buffer.size())
    return def;
  return RegistryValueText(type, std::string(buffer.data(), size));
}

std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = n && text ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  // The system ends its messages with a period and a line break.
  while (!out.empty() && ((unsigned char)out.back() <= ' ' || out.back() == '.')) out.pop_back();
  return out;
}

std::string LastErrorText() { return SystemErrorText(GetLastError()); }

}  // namespace kestro
