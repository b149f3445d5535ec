#include "win/RichEdit/modal_loop.h"

namespace kestro {

ModalEnd RunModalLoop(HWND box, const bool& done, const std::function<bool(const MSG&)>& filter) {
  ModalEnd end;
  MSG m;
  while (!done) {
    const BOOL got = GetMessageA(&m, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // Closing first gives the owner back its input before the box goes.
      if (IsWindow(box)) SendMessageA(box, WM_CLOSE, 0, 0);
      if (IsWindow(box)) DestroyWindow(box);
      end.quit = got == 0;
      end.quitCode = static_cast<int>(m.wParam);
      return end;
    }
    if (filter && filter(m)) continue;
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return end;
}

}  // namespace kestro
