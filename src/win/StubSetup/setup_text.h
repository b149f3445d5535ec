// Small glue of the setup run's texts.
#pragma once
#include <string>

#include "core/PackX/file_info.h"
#include "core/LangRes0/lang_keys.h"

namespace kestro {

inline std::string Lang(const TGFileInfo& package, const LangKey& k) {
  return package.GetLangString(k.key, k.def);
}

}  // namespace kestro
