// Small glue of the setup run's texts and boxes.
#pragma once
#include <cstdint>
#include <string>

#include "core/PackX/file_info.h"
#include "core/LangRes0/lang_keys.h"
#include "win/StubWin/stubwin.h"

namespace kestro {

inline std::string Lang(const TGFileInfo& package, const LangKey& k) {
  return package.GetLangString(k.key, k.def);
}

// Boxes of the setup run belong to the main window when there is one.
inline std::uintptr_t BoxOwner() {
  HWND main = MainWindow();
  return main ? reinterpret_cast<std::uintptr_t>(main) : 1;
}

}  // namespace kestro
