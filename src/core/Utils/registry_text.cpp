#include "core/Utils/registry_text.h"

#include "core/Utils/ksub.h"

namespace kestro {

namespace {

const struct {
  const char* name;
  const char* abbreviation;
} kRoots[] = {
    {"HKEY_CLASSES_ROOT", "HKCR"},   {"HKEY_CURRENT_USER", "HKCU"},
    {"HKEY_LOCAL_MACHINE", "HKLM"},  {"HKEY_USERS", "HKU"},
    {"HKEY_CURRENT_CONFIG", "HKCC"}, {"HKEY_DYN_DATA", "HKDD"},
};

}  // namespace

std::string CanonicalRootName(const std::string& name) {
  const std::string upper = SUB::Upper(name);  // exact: not trimmed
  for (const auto& root : kRoots)
    if (upper == root.name || upper == root.abbreviation) return root.name;
  return "HKEY_CURRENT_USER";
}

RegistryPath SplitRegistryPath(const std::string& path) {
  const std::string p = SUB::Trim(path);
  if (!SUB::StartsWith(p, "HK", true)) return {"HKEY_CURRENT_USER", p};
  size_t slash = p.find('\\');
  if (slash == std::string::npos) return {CanonicalRootName(p), ""};
  return {CanonicalRootName(p.substr(0, slash)), p.substr(slash + 1)};
}

std::string RegistryValueText(uint32_t type, const std::string& data) {
  if (type == kRegDword && data.size() == 4) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | (unsigned char)data[size_t(i)];
    return std::to_string(v);
  }
  if (type == kRegMultiSz && data.size() > 2) {
    size_t end = data.find_last_not_of('\0');
    std::string text = end == std::string::npos ? std::string() : data.substr(0, end + 1);
    return SUB::ReplaceText(text, std::string(1, '\0'), "<0>");
  }
  return data.substr(0, data.find('\0'));
}

}  // namespace kestro
