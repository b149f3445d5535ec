// Answers a markup box of another program the way its user would, for
// scripts that drive the real programs (the demo):
//   box_answer TEXT KEY RECT_FILE [SECONDS]
// Waits up to SECONDS (default 120) for a box whose text holds TEXT, prints
// its text, writes its screen rectangle ("left top width height") to
// RECT_FILE, waits until the caller deletes that file (it photographs the
// box meanwhile), then presses KEY (a letter or digit) on the box.
// Exit codes: 0 answered, 1 no such box in time, 2 the rectangle file was
// never taken, 3 bad arguments.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../../support/ui_driver.h"
#include "win/KMsgBox/kmsgbox.h"

namespace {

// The complete box (its buttons are there, its modal loop runs) whose text
// holds `text`; null when none came before `deadline`.
HWND WaitForBox(const std::string& text, DWORD deadline) {
  for (DWORD now = GetTickCount(); now < deadline; now = GetTickCount()) {
    HWND box = ktest::WaitForWindow(kestro::kMsgBoxClass, "Button", deadline - now);
    if (box && ktest::BoxText(box).find(text) != std::string::npos) return box;
    Sleep(50);
  }
  return nullptr;
}

bool WriteRect(HWND box, const char* file) {
  RECT r;
  if (!GetWindowRect(box, &r)) return false;
  FILE* f = std::fopen(file, "w");
  if (!f) return false;
  std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  return std::fclose(f) == 0;
}

bool WaitUntilGone(const char* file, DWORD deadline) {
  while (GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount() >= deadline) return false;
    Sleep(50);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || std::strlen(argv[2]) != 1 || !std::isalnum(static_cast<unsigned char>(argv[2][0]))) {
    std::fprintf(stderr, "usage: box_answer TEXT KEY RECT_FILE [SECONDS]\n");
    return 3;
  }
  const DWORD seconds = argc > 4 ? DWORD(std::atoi(argv[4])) : 120;
  const DWORD deadline = GetTickCount() + seconds * 1000;
  HWND box = WaitForBox(argv[1], deadline);
  if (!box) {
    std::fprintf(stderr, "no box with \"%s\" within %lu s\n", argv[1], static_cast<unsigned long>(seconds));
    return 1;
  }
  std::printf("%s\n", ktest::BoxText(box).c_str());
  std::fflush(stdout);
  if (!WriteRect(box, argv[3]) || !WaitUntilGone(argv[3], deadline)) {
    std::fprintf(stderr, "the box's rectangle was not taken\n");
    return 2;
  }
  ktest::BringToFront(box);
  ktest::PressKey(static_cast<WORD>(std::toupper(static_cast<unsigned char>(argv[2][0]))));
  return 0;
}
