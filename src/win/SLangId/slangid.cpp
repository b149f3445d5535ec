#include "win/SLangId/slangid.h"

#include <windows.h>

#include "core/LangRes0/lang_select.h"

namespace kestro {

std::string ThreadLocaleLanguageName() {
  return LanguageNameForId(PrimaryLanguageId(static_cast<std::uint32_t>(GetThreadLocale())));
}

std::string GetUserLanguageName() {
  static const std::string name = ThreadLocaleLanguageName();
  return name;
}

}  // namespace kestro
