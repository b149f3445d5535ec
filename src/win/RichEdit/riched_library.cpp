#include "win/RichEdit/riched_library.h"

#include <richedit.h>

namespace kestro {

HMODULE RichEditLibrary() {
  static const HMODULE module = [] {
    HMODULE m = LoadLibraryA(kRichEditDll);
    // Handles of 32 and below were error codes on the systems this ran on first.
    return reinterpret_cast<UINT_PTR>(m) > 32 ? m : nullptr;
  }();
  return module;
}

void LiftTextLimit(HWND control, bool richEdit, std::size_t textLength) {
  if (richEdit)
    SendMessageA(control, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(textLength + 1));
  else
    SendMessageA(control, EM_LIMITTEXT, static_cast<WPARAM>(textLength + 1), 0);
}

}  // namespace kestro
