#include "win/Utils/window_utils.h"

#include <shellapi.h>

#include <vector>

namespace kestro {

int ScreenPixelsPerInchY() {
  static const int ppi = [] {
    HDC screen = GetDC(nullptr);
    int v = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return v > 0 ? v : 96;
  }();
  return ppi;
}

int PointsToPixels(int points) { return MulDiv(points, ScreenPixelsPerInchY(), 72); }

std::string WindowClassName(HWND hwnd) {
  char buf[256];
  int n = hwnd ? GetClassNameA(hwnd, buf, sizeof buf) : 0;
  return std::string(buf, n > 0 ? size_t(n) : 0);
}

std::string WindowTitle(HWND hwnd) {
  if (!hwnd) return std::string();
  int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return std::string();
  std::vector<char> buf(size_t(length) + 1);
  int n = GetWindowTextA(hwnd, buf.data(), int(buf.size()));
  return std::string(buf.data(), n > 0 ? size_t(n) : 0);
}

HWND TopOwner(HWND hwnd) {
  // Bounded: a broken owner chain must not hang the caller.
  for (int guard = 0; hwnd && guard < 1000; ++guard) {
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (!owner) break;
    hwnd = owner;
  }
  return hwnd;
}

RECT WorkArea() {
  RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

RECT CenterInWorkArea(int width, int height) {
  const RECT work = WorkArea();
  RECT r;
  r.left = work.left + (work.right - work.left - width) / 2;
  r.top = work.top + (work.bottom - work.top - height) / 2;
  r.right = r.left + width;
  r.bottom = r.top + height;
  return r;
}

bool ShellOpen(const std::string& file, const std::string& parameters, int showCommand) {
  HINSTANCE r = ShellExecuteA(GetDesktopWindow(), nullptr, file.c_str(),
                              parameters.empty() ? nullptr : parameters.c_str(), nullptr,
                              showCommand);
  return reinterpret_cast<INT_PTR>(r) > 32;
}

}  // namespace kestro
