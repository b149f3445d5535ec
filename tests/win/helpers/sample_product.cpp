// A sample product for the shut-down paths and, later, the update cycle's
// "installed product": a main window ("Kestro Sample Product"), a tool
// window it owns and a hidden untitled window, plus the hidden "Default IME"
// window every GUI thread gets.
//   /IgnoreClose   WM_CLOSE is refused
//   /NoWindows     runs without any window
//   /LifeMs=n      ends by itself with exit code 77 after n ms (default 120 s)
// It ends with 0 after WM_CLOSE and with wParam after WM_QUIT.
#include <windows.h>

#include "win/StubGlob/switches.h"
#include "win/StubGlob/stubglob.h"

namespace {

constexpr const char* kMainClass = "KestroSampleProduct";
constexpr const char* kToolClass = "KestroSampleTool";
constexpr const char* kHiddenClass = "KestroSampleHidden";
constexpr UINT_PTR kLifeTimer = 1;
constexpr int kLifeExit = 77;
bool g_ignoreClose = false;

LRESULT CALLBACK MainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_CLOSE:
      if (!g_ignoreClose) DestroyWindow(w);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_TIMER:
      if (wp == kLifeTimer) ExitProcess(kLifeExit);
      return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

void Register(const char* name, WNDPROC proc) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = name;
  RegisterClassA(&wc);
}

void CreateWindows(UINT lifeMs) {
  Register(kMainClass, MainProc);
  Register(kToolClass, DefWindowProcA);
  Register(kHiddenClass, DefWindowProcA);
  HINSTANCE inst = GetModuleHandleA(nullptr);
  HWND main = CreateWindowA(kMainClass, "Kestro Sample Product", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            40, 40, 320, 200, nullptr, nullptr, inst, nullptr);
  CreateWindowExA(WS_EX_TOOLWINDOW, kToolClass, "Tools", WS_POPUP | WS_CAPTION | WS_VISIBLE, 380,
                  40, 120, 120, main, nullptr, inst, nullptr);
  CreateWindowA(kHiddenClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, inst, nullptr);
  SetTimer(main, kLifeTimer, lifeMs, nullptr);
}

}  // namespace

int main() {
  const std::string params = kestro::OwnParams();
  g_ignoreClose = kestro::HasSwitch(params, "/IgnoreClose");
  const UINT lifeMs = UINT(kestro::GetSwitchInt(params, "/LifeMs=", 120000));
  if (kestro::HasSwitch(params, "/NoWindows")) {
    Sleep(lifeMs);
    return kLifeExit;
  }
  CreateWindows(lifeMs);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return msg.message == WM_QUIT ? int(msg.wParam) : 0;
}
