#include "win/RichEdit/riched_library.h"

namespace kestro {

HMODULE RichEditLibrary() {
  static const HMODULE module = [] {
    HMODULE m = LoadLibraryA(kRichEditDll);
    // Handles of 32 and below were error codes on the systems this ran on first.
    return reinterpret_cast<UINT_PTR>(m) > 32 ? m : nullptr;
  }();
  return module;
}

}  // namespace kestro
