#include "win/CommUtils/progbar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "core/CommUtils/bytes_rate.h"

namespace kestro {

namespace {

constexpr int kBusyRange = 5;
int g_busyCounter = 0;

// The bar takes a 32-bit range, so any file or chunk count fits whole (a
// 16-bit range would wrap past 65,535); only beyond that is it held.
void ResetBars(HWND stepBar, HWND busyBar, std::int64_t range, int position) {
  const std::int64_t high = std::clamp<std::int64_t>(range, 0, INT32_MAX);
  SendMessageA(stepBar, PBM_SETRANGE32, 0, static_cast<LPARAM>(high));
  SendMessageA(stepBar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  SendMessageA(stepBar, PBM_SETSTEP, 1, 0);
  SendMessageA(busyBar, PBM_SETRANGE, 0, MAKELPARAM(0, kBusyRange));
  SendMessageA(busyBar, PBM_SETPOS, 0, 0);
  SendMessageA(busyBar, PBM_SETSTEP, 1, 0);
}

}  // namespace

ProgressSink MakeProgressBarsSink(HWND stepBar, HWND busyBar, int& busyCounter) {
  return [stepBar, busyBar, &busyCounter](ProgressEvent event, std::int64_t range, int position) {
    if (event == ProgressEvent::kStart) {
      ResetBars(stepBar, busyBar, range, position);
    } else if (event == ProgressEvent::kStep) {
      SendMessageA(stepBar, PBM_STEPIT, 0, 0);
      busyCounter = NextBusyPosition(busyCounter);
      SendMessageA(busyBar, PBM_SETPOS, static_cast<WPARAM>(busyCounter), 0);
    }
  };
}

TProgBar& StubProgressBar(const ProgressSink& sink) {
  static TProgBar* bar = new TProgBar(sink);  // never destroyed: no events at exit
  return *bar;
}

ProgressSink MakeStubProgressSink(HWND stepBar, HWND busyBar) {
  return MakeProgressBarsSink(stepBar, busyBar, g_busyCounter);
}

}  // namespace kestro
