// Drives modal windows of the test process the way a person would: a second
// thread waits for the window to come up and answers it with real keyboard
// and mouse input, while the test's own thread runs the window's modal loop.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace ktest {

// The top-level window of a class once it is visible, has its child
// controls (the box is created first and filled afterwards) and its thread
// takes messages again: a sent message is answered only from the thread's
// message loop, so input sent afterwards finds the box complete and focused
// however slowly the machine runs.
inline HWND WaitForWindow(const char* cls, const char* childClass, DWORD timeoutMs = 10000) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    HWND w = FindWindowA(cls, nullptr);
    if (w && IsWindowVisible(w) && (!childClass || FindWindowExA(w, nullptr, childClass, nullptr))) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored);
      return w;
    }
    Sleep(20);
  }
  return nullptr;
}

inline void SendKeyEvent(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
  Sleep(30);
}

inline void PressKey(WORD vk) {
  SendKeyEvent(vk, false);
  SendKeyEvent(vk, true);
}

// Alt held down around a key: what a person does for Alt+Y or Alt+F4.
inline void PressAltKey(WORD vk) {
  SendKeyEvent(VK_MENU, false);
  PressKey(vk);
  SendKeyEvent(VK_MENU, true);
}

inline void ClickAt(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  Sleep(30);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof in[0]);
  Sleep(30);
}

inline void ClickWindow(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

inline void BringToFront(HWND w) {
  SetForegroundWindow(w);
  Sleep(50);
}

// Child windows of a class, left to right by screen position.
inline std::vector<HWND> ChildrenLeftToRight(HWND parent, const char* cls) {
  std::vector<HWND> out;
  for (HWND c = FindWindowExA(parent, nullptr, cls, nullptr); c; c = FindWindowExA(parent, c, cls, nullptr))
    out.push_back(c);
  auto left = [](HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r.left;
  };
  for (size_t i = 1; i < out.size(); ++i)
    for (size_t j = i; j > 0 && left(out[j]) < left(out[j - 1]); --j) std::swap(out[j], out[j - 1]);
  return out;
}

// A child's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND child, HWND parent) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline std::string WindowText(HWND w) {
  char buf[512] = {};
  GetWindowTextA(w, buf, sizeof buf);
  return buf;
}

// The text of a markup box of another process (its rich-edit child holds
// the plain text).
inline std::string BoxText(HWND box) {
  std::string all;
  for (HWND c = FindWindowExA(box, nullptr, nullptr, nullptr); c;
       c = FindWindowExA(box, c, nullptr, nullptr)) {
    char cls[64] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (std::string(cls) == "Button") continue;
    // WM_GETTEXT itself: GetWindowText does not ask controls of other
    // processes for their text.
    char buf[4096] = {};
    SendMessageTimeoutA(c, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_BLOCK,
                        2000, nullptr);
    all += buf;
  }
  return all;
}

// Runs action(window) on a second thread once the window is up; joins on
// destruction, so the test's modal call has returned by then.
class WindowDriver {
 public:
  WindowDriver(const char* cls, const char* childClass, std::function<void(HWND)> action)
      : thread_([=] {
          HWND w = WaitForWindow(cls, childClass);
          if (w) action(w);
        }) {}
  ~WindowDriver() { thread_.join(); }
  WindowDriver(const WindowDriver&) = delete;
  WindowDriver& operator=(const WindowDriver&) = delete;

 private:
  std::thread thread_;
};

}  // namespace ktest
