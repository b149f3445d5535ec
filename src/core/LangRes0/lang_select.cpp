#include "core/LangRes0/lang_select.h"

#include "core/Utils/ksub.h"

namespace kestro {

const char kLanguageIdTable[] =
    "|AFRIKAANS    = 54|ALBANIAN     = 28|ARABIC       = 01|BASQUE       = 45"
    "|BELARUSIAN   = 35|BULGARIAN    = 02|CATALAN      = 03|CHINESE      = 04"
    "|CROATIAN     = 26|CZECH        = 05|DANISH       = 06|DUTCH        = 19"
    "|ENGLISH      = 09|ESTONIAN     = 37|FAEROESE     = 56|FARSI        = 41"
    "|FINNISH      = 11|FRENCH       = 12|GERMAN       = 07|GREEK        = 08"
    "|HEBREW       = 13|HUNGARIAN    = 14|ICELANDIC    = 15|INDONESIAN   = 33"
    "|ITALIAN      = 16|JAPANESE     = 17|KOREAN       = 18|LATVIAN      = 38"
    "|LITHUANIAN   = 39|NORWEGIAN    = 20|POLISH       = 21|PORTUGUESE   = 22"
    "|ROMANIAN     = 24|RUSSIAN      = 25|SERBIAN      = 26|SLOVAK       = 27"
    "|SLOVENIAN    = 36|SPANISH      = 10|SWEDISH      = 29|THAI         = 30"
    "|TURKISH      = 31|UKRAINIAN    = 34|VIETNAMESE   = 42"
    "|CHINESE(SIMPLIFIED)  = 2052|CHINESE(TRADITIONAL) = 1028"
    "|DUTCH(FLEMISH)       = 2067|DUTCH(STANDARD)      = 1043"
    "|PORTUGUESE(PORTUGAL) = 2070|PORTUGUESE(BRAZIL)   = 1046"
    "|SERBIAN(LATIN)       = 2074|SERBIAN(CYRILIC)     = 3098|";

int PrimaryLanguageId(std::uint32_t lcid) {
  return lcid == 0 ? 9 : static_cast<int>(lcid & 0x3FF);
}

std::string LanguageNameForId(int primaryLanguageId) {
  if (primaryLanguageId < 0) return "";
  const std::string digits = SUB::ZeroPad(primaryLanguageId, 2);
  for (const std::string& entry : SUB::Items(kLanguageIdTable)) {
    const std::size_t eq = entry.find('=');
    if (entry.find(digits) != std::string::npos && eq != std::string::npos && eq > 0)
      return SUB::Trim(entry.substr(0, eq));
  }
  return "";
}

// ---- section choice ------------------------------------------------------------
namespace {

// The named section; when there is no such section a block of exactly one
// section serves every language.
bool FindSection(const std::vector<std::string>& sections, const std::string& name,
                 std::string& found) {
  for (const std::string& s : sections) {
    if (SUB::SameText(SUB::GetItem(s, 0), name)) {
      found = s;
      return true;
    }
  }
  if (sections.size() == 1) {
    found = sections.front();
    return true;
  }
  return false;
}

}  // namespace

std::string ChooseLangSection(const std::string& languageBlock, const std::string& userLanguage) {
  const std::vector<std::string> sections = SUB::Items(languageBlock);
  std::string found;
  if (!SUB::Trim(userLanguage).empty() && FindSection(sections, userLanguage, found)) return found;
  if (FindSection(sections, "English", found)) return found;
  return kNoLangSection;
}

std::string CleanLanguageIniValue(const std::string& value, const std::string& def,
                                  const std::string& insert) {
  std::string v = value;
  if (v == "|") {
    v.clear();
  } else if (v.size() > 1 && v.front() == '|' && v.back() == '|') {
    v = v.substr(1, v.size() - 2);
  }
  if (v.empty()) v = def;
  return SUB::ReplaceText(v, "<?>", insert);
}

}  // namespace kestro
