#include "win/LangRes0/langres0.h"

#include "core/LangRes0/lang_select.h"
#include "win/Files/files.h"
#include "win/Utils/ini.h"

namespace kestro {

std::string LanguageIniPath() {
  return ExeDir(true) + kLanguageIniFolder + kLanguageIniName;
}

std::string GetLanguageIniString(const std::string& key, const std::string& def,
                                 const std::string& insert) {
  const std::string path = LanguageIniPath();
  const std::string value = FileExists(path) ? ReadIniString(path, kLanguageIniSection, key, def) : def;
  return CleanLanguageIniValue(value, def, insert);
}

}  // namespace kestro
