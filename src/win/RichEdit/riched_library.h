// The first-generation rich-edit library shared by the message box and the
// text box: loaded on first use and kept for the rest of the process.
#pragma once
#include <windows.h>

#include <cstddef>

namespace kestro {

constexpr char kRichEditDll[] = "RICHED32.DLL";
constexpr char kRichEditClass[] = "RICHEDIT";

// The library, or null when it cannot be loaded.
HMODULE RichEditLibrary();

// Rich-edit and edit controls stop at 32K characters unless told otherwise;
// a longer text would be cut off silently.
void LiftTextLimit(HWND control, bool richEdit, std::size_t textLength);

// One more reference for the length of a showing, released at its end.
class RichEditReference {
 public:
  RichEditReference() : module_(LoadLibraryA(kRichEditDll)) {}
  ~RichEditReference() {
    if (module_) FreeLibrary(module_);
  }
  RichEditReference(const RichEditReference&) = delete;
  RichEditReference& operator=(const RichEditReference&) = delete;

 private:
  HMODULE module_;
};

}  // namespace kestro
