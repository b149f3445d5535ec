#include "win/RichEdit/riched_library.h"

#include <richedit.h>

#include "win/Utils/system_library.h"

namespace kestro {

HMODULE RichEditLibrary() {
  static const HMODULE module = [] {
    HMODULE m = LoadSystemLibrary(kRichEditDll);
    // Handles of 32 and below were error codes on the systems this ran on first.
    return reinterpret_cast<UINT_PTR>(m) > 32 ? m : nullptr;
  }();
  return module;
}

TextControl CreateTextControl(HWND parent, DWORD style, DWORD exStyle, const RECT& place, HMENU id, HFONT font,
                              std::size_t textLength) {
  const auto create = [&](const char* cls) {
    return CreateWindowExA(exStyle, cls, "", style, place.left, place.top, place.right - place.left,
                           place.bottom - place.top, parent, id, GetModuleHandleA(nullptr), nullptr);
  };
  TextControl t;
  if (RichEditLibrary()) t.wnd = create(kRichEditClass);
  t.rich = t.wnd != nullptr;
  if (!t.wnd) t.wnd = create("EDIT");
  if (!t.wnd) return t;
  SendMessageA(t.wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  if (t.rich) {
    SendMessageA(t.wnd, EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);
    SendMessageA(t.wnd, EM_SETBKGNDCOLOR, 0, GetSysColor(COLOR_WINDOW));
    SendMessageA(t.wnd, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(textLength + 1));
  } else {
    SendMessageA(t.wnd, EM_LIMITTEXT, static_cast<WPARAM>(textLength + 1), 0);
  }
  return t;
}

bool RegisterBoxClass(const char* name, WNDPROC proc) {
  WNDCLASSA wc{};
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = name;
  return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace kestro
