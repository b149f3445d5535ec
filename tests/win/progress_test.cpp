// The progress notifier driving real "msctls_progress32" controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "win/CommUtils/progbar.h"
#include "win/KProgBar/kprogbar.h"

namespace kestro {
namespace {

class ProgressBars : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    parent_ = CreateWindowExA(0, "STATIC", "bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 100, nullptr,
                              nullptr, nullptr, nullptr);
    step_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 5, 5, 280, 15, parent_, nullptr,
                            nullptr, nullptr);
    busy_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 5, 30, 280, 15, parent_, nullptr,
                            nullptr, nullptr);
    ASSERT_TRUE(step_ && busy_);
  }
  void TearDown() override { DestroyWindow(parent_); }

  static int Pos(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0)); }
  static int High(HWND bar) { return static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0)); }

  HWND parent_ = nullptr, step_ = nullptr, busy_ = nullptr;
};

TEST_F(ProgressBars, TwentyChunksFillTheStepBarAndCycleTheBusyBar) {
  int busyCounter = 0;
  TProgBar bar(MakeProgressBarsSink(step_, busy_, busyCounter));
  bar.Start(1, 21);
  EXPECT_EQ(High(step_), 21);
  EXPECT_EQ(Pos(step_), 1);
  EXPECT_EQ(High(busy_), 5);
  std::vector<int> busy;
  for (int i = 0; i < 20; ++i) {
    bar.Step("progress text");
    busy.push_back(Pos(busy_));
  }
  EXPECT_EQ(Pos(step_), 21);
  EXPECT_EQ(std::vector<int>(busy.begin(), busy.begin() + 7), (std::vector<int>{1, 2, 3, 4, 5, 0, 1}));
  EXPECT_EQ(Pos(busy_), 2);
  EXPECT_EQ(busyCounter, 2);

  // The next download starts the busy bar at 0 but continues the cycle.
  bar.Finish(0, 0);
  EXPECT_EQ(Pos(step_), 0);
  EXPECT_EQ(Pos(busy_), 0);
  bar.Start(0, 10);
  bar.Step("");
  EXPECT_EQ(Pos(busy_), 3);
}

// A package of more than 65,535 files: the step bar takes the whole count,
// so it is full with the last file, not after the first few.
TEST_F(ProgressBars, CountsBeyondSixteenBitsReachTheStepBarWhole) {
  struct Case {
    std::int64_t range;
    int high;
  } cases[] = {{65536, 65536}, {70001, 70001}, {int64_t(1) << 33, INT32_MAX}, {-5, 0}};
  int busyCounter = 0;
  const ProgressSink bars = MakeProgressBarsSink(step_, busy_, busyCounter);
  for (const Case& c : cases) {
    bars(ProgressEvent::kStart, c.range, 0);
    EXPECT_EQ(High(step_), c.high) << c.range;
  }
  bars(ProgressEvent::kStart, 70001, 69999);
  bars(ProgressEvent::kStep, 0, 0);
  EXPECT_EQ(Pos(step_), 70000) << "one file to go";
}

TEST(ProgressNotifier, EventsReachTheSinkInOrder) {
  using Event = std::tuple<ProgressEvent, std::int64_t, int>;
  std::vector<Event> events;
  {
    TProgBar bar([&](ProgressEvent event, std::int64_t range, int position) {
      events.emplace_back(event, range, position);
    });
    bar.Start(3, 100);
    bar.Step("12.0/100.0 KB");
    bar.SetCaption("nothing for the sink");
    bar.Start(0, 70000);  // passed on whole: the bars fit it to themselves
  }  // the destructor resets
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0], Event(ProgressEvent::kStart, 100, 3));
  EXPECT_EQ(std::get<0>(events[1]), ProgressEvent::kStep);
  EXPECT_EQ(std::get<1>(events[2]), 70000);
  EXPECT_EQ(events[3], Event(ProgressEvent::kStart, 0, 0));
}

// Window messages keep flowing around every event: a message posted before
// a step has been handled when the step returns.
int g_seen = 0;
LRESULT CALLBACK CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_APP) ++g_seen;
  return DefWindowProcA(w, m, wp, lp);
}

TEST(ProgressNotifier, LetsPendingMessagesThrough) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountingProc;
  wc.lpszClassName = "KestroProgressPumpTest";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  TProgBar bar(nullptr);  // no sink: events go nowhere, messages still flow
  g_seen = 0;
  PostMessageA(w, WM_APP, 0, 0);
  bar.Step("");
  EXPECT_EQ(g_seen, 1);
  PostMessageA(w, WM_APP, 0, 0);
  bar.SetCaption("");
  EXPECT_EQ(g_seen, 2);
  DestroyWindow(w);
}

}  // namespace
}  // namespace kestro
