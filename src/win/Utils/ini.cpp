#include "win/Utils/ini.h"

#include <windows.h>

#include <vector>

#include "core/Utils/ksub.h"

namespace kestro {

std::string ReadIniString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& def) {
  std::string result = def;
  if (section.empty() || key.empty()) return result;
  std::vector<char> buffer(kIniValueBufferSize);
  DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                     DWORD(buffer.size()), file.c_str());
  if (n > 0) result.assign(buffer.data(), n);
  return result;
}

int64_t ReadIniInteger(const std::string& file, const std::string& section,
                       const std::string& key, int64_t def) {
  return SUB::StrToInt64Def(ReadIniString(file, section, key, std::to_string(def)), def);
}

bool WriteIniString(const std::string& file, const std::string& section,
                    const std::string& key, const std::string& value) {
  if (file.empty() || section.empty() || key.empty()) return false;
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                    file.c_str()) != 0;
}

bool WriteIniInteger(const std::string& file, const std::string& section,
                     const std::string& key, int64_t value) {
  return WriteIniString(file, section, key, std::to_string(value));
}

}  // namespace kestro
