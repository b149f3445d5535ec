// The modal loop of the message box and the text box: it takes every message
// of the thread (so the program's other windows keep their timers and posted
// messages) until the box says it is done.
#pragma once
#include <windows.h>

#include <functional>

namespace kestro {

struct ModalEnd {
  bool quit = false;  // a quit message ended the loop; post it again for the caller
  int quitCode = 0;
};

// filter(msg) returns true when it consumed the message. A quit message, or
// a failing GetMessage, destroys the box and ends the loop.
ModalEnd RunModalLoop(HWND box, const bool& done, const std::function<bool(const MSG&)>& filter = nullptr);

}  // namespace kestro
