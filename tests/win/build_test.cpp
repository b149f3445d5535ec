#include <windows.h>
#include <gtest/gtest.h>
#include "core/StubGlob/version.h"
TEST(Build, RunsUnderWindowsApi) {
  char buf[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(buf, MAX_PATH), 0u);
  HWND w = CreateWindowExA(0, "STATIC", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  DestroyWindow(w);
}
