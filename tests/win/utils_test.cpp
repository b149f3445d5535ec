// Message pump, timing, local dates, AutoPlay and window routines under Wine.
#include "win/Utils/utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "win/Files/files.h"
#include "win/Utils/window_utils.h"
#include "../support/debug_viewer.h"

using namespace kestro;

namespace {
int g_ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }
}  // namespace

TEST(MessagePump, YieldXDispatchesPendingMessages) {
  ktest::DebugViewer viewer;  // any window of this thread will do
  g_ticks = 0;
  SetTimer(viewer.Window(), 1, 1, CountTick);
  Sleep(30);
  PostMessageA(viewer.Window(), WM_NULL, 0, 0);
  YieldX(0);
  EXPECT_GE(g_ticks, 1);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_NULL, WM_NULL, PM_NOREMOVE));
  KillTimer(viewer.Window(), 1);
}

TEST(MessagePump, QuitPostedDuringAWaitReachesTheMainLoop) {
  PostQuitMessage(3);
  WaitWithMessages(50);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(MessagePump, WaitWithMessagesLastsItsDurationInSlices) {
  struct Case { uint32_t duration, slice, expected; } cases[] = {
      {100, 0, 10}, {1000, 0, 25}, {5, 0, 1}, {100, 7, 7}, {0, 0, 1}};
  for (const auto& c : cases) EXPECT_EQ(WaitSlice(c.duration, c.slice), c.expected);

  ktest::DebugViewer viewer;
  g_ticks = 0;
  SetTimer(viewer.Window(), 1, 10, CountTick);
  const int64_t start = MilliCounter();
  WaitWithMessages(200);
  const int64_t elapsed = MilliCounter() - start;
  KillTimer(viewer.Window(), 1);
  EXPECT_GE(elapsed, 200);
  EXPECT_LT(elapsed, 1000);
  EXPECT_GE(g_ticks, 3);  // the timer kept firing during the wait
}

TEST(Clock, MilliCounterFollowsTheTickCount) {
  const int64_t m0 = MilliCounter();
  const DWORD t0 = GetTickCount();
  Sleep(120);
  const int64_t dm = MilliCounter() - m0;
  const int64_t dt = int64_t(GetTickCount() - t0);
  EXPECT_GE(dm, 100);
  EXPECT_NEAR(double(dm), double(dt), 40.0);
}

TEST(Clock, TextsOfNow) {
  EXPECT_TRUE(std::regex_match(DateTextNow(), std::regex(R"(\d\d-[A-Z]{3}-\d{4})")))
      << DateTextNow();
  const std::string t(1, LocaleTimeSeparator());
  EXPECT_TRUE(std::regex_match(DateTimeTextNow(" @ "),
                               std::regex(R"(\d\d-[A-Z]{3}-\d{4} @ \d\d)" + t + R"(\d\d)" + t +
                                          R"(\d\d)")))
      << DateTimeTextNow(" @ ");
  CivilTime now = LocalNow();
  EXPECT_GE(now.year, 2020);
  EXPECT_EQ(DateTextNow().substr(7), std::to_string(now.year));
}

TEST(AutoPlay, SuppressionKeepsTheRegisteredMessage) {
  EXPECT_EQ(AutoPlayMessage(), 0u);
  StartAutoPlaySuppression();
  EXPECT_EQ(AutoPlayMessage(), RegisterWindowMessageA("QueryCancelAutoPlay"));
  EXPECT_NE(AutoPlayMessage(), 0u);
  StopAutoPlaySuppression();
  EXPECT_EQ(AutoPlayMessage(), 0u);
}

TEST(WindowRoutines, NamesOwnersAndPlacement) {
  HWND owner = CreateWindowExA(0, "STATIC", "Owner title", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
  HWND middle = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, owner, nullptr,
                                nullptr, nullptr);
  HWND leaf = CreateWindowExA(0, "BUTTON", "Leaf", WS_POPUP, 0, 0, 10, 10, middle, nullptr,
                              nullptr, nullptr);
  ASSERT_TRUE(owner && middle && leaf);
  EXPECT_EQ(WindowClassName(owner), "Static");
  EXPECT_EQ(WindowTitle(owner), "Owner title");
  EXPECT_EQ(WindowTitle(middle), "");
  EXPECT_EQ(WindowClassName(nullptr), "");
  EXPECT_EQ(WindowTitle(nullptr), "");
  EXPECT_EQ(TopOwner(leaf), owner);
  EXPECT_EQ(TopOwner(owner), owner);
  DestroyWindow(owner);

  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  RECT r = CenterInWorkArea(200, 100);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 100);
  EXPECT_EQ(r.left - work.left, work.right - r.right);
  EXPECT_LE(std::abs((r.top - work.top) - (work.bottom - r.bottom)), 1);

  EXPECT_EQ(PointsToPixels(72), ScreenPixelsPerInchY());
  EXPECT_GT(ScreenPixelsPerInchY(), 0);
}

TEST(WindowRoutines, ShellOpenFailsForAMissingDocument) {
  EXPECT_FALSE(ShellOpen(ExeDir(true) + "no_such_document_kestro.txt", "", SW_HIDE));
}
