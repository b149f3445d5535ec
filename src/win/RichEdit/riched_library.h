// The first-generation rich-edit library shared by the message box and the
// text box: loaded on first use and kept for the rest of the process.
#pragma once
#include <windows.h>

#include <cstddef>

#include "win/Utils/system_library.h"

namespace kestro {

constexpr char kRichEditDll[] = "RICHED32.DLL";
constexpr char kRichEditClass[] = "RICHEDIT";

// The library, or null when it cannot be loaded.
HMODULE RichEditLibrary();

// A read-only text control of the boxes: the rich-edit control (request-
// resize notifications on, window-coloured background), or a plain edit
// control with the same styles when the library is missing, so the text is
// still shown. It has the font and room for textLength characters (both
// controls stop at 32K unless told otherwise).
struct TextControl {
  HWND wnd = nullptr;
  bool rich = false;
};
TextControl CreateTextControl(HWND parent, DWORD style, DWORD exStyle, const RECT& place, HMENU id, HFONT font,
                              std::size_t textLength);

// The window class of the message box and the text box, registered for each
// showing (a box shown from inside another finds it registered already).
bool RegisterBoxClass(const char* name, WNDPROC proc);

// One more reference for the length of a showing, released at its end.
class RichEditReference {
 public:
  RichEditReference() : module_(LoadSystemLibrary(kRichEditDll)) {}
  ~RichEditReference() {
    if (module_) FreeLibrary(module_);
  }
  RichEditReference(const RichEditReference&) = delete;
  RichEditReference& operator=(const RichEditReference&) = delete;

 private:
  HMODULE module_;
};

}  // namespace kestro
