#include "win/Utils/utils.h"

#include <windows.h>

#include <algorithm>

#include "core/KDebug/trace.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

unsigned g_autoPlayMessage = 0;

char LocaleSeparator(LCTYPE type, char fallback) {
  char buf[8] = {};
  return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof buf) > 1 ? buf[0] : fallback;
}

}  // namespace

// ---------------------------------------------------------------- pump and clock

void YieldX(uint32_t sleepMs) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    // A quit message taken here belongs to the thread's main loop: put it
    // back and stop pumping, or a window closed during a wait never ends
    // the program.
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  Sleep(sleepMs);
}

uint32_t WaitSlice(uint32_t durationMs, uint32_t sliceMs) {
  if (sliceMs != 0) return sliceMs;
  return std::min<uint32_t>(25, std::max<uint32_t>(1, durationMs / 10));
}

void WaitWithMessages(uint32_t durationMs, uint32_t sliceMs) {
  const uint32_t slice = WaitSlice(durationMs, sliceMs);
  const int64_t start = MilliCounter();
  do YieldX(slice);
  while (MilliCounter() - start < int64_t(durationMs));
}

int64_t MilliCounter() {
  static const int64_t frequency = [] {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? f.QuadPart : 0;
  }();
  if (frequency == 0) return int64_t(GetTickCount());
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  // Split to keep counter * 1000 from overflowing on long uptimes.
  return now.QuadPart / frequency * 1000 + now.QuadPart % frequency * 1000 / frequency;
}

// ---------------------------------------------------------------- dates

CivilTime LocalNow() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  CivilTime t;
  t.year = st.wYear, t.month = st.wMonth, t.day = st.wDay;
  t.hour = st.wHour, t.minute = st.wMinute, t.second = st.wSecond;
  t.millisecond = st.wMilliseconds;
  return t;
}

char LocaleDateSeparator() { return LocaleSeparator(LOCALE_SDATE, '/'); }
char LocaleTimeSeparator() { return LocaleSeparator(LOCALE_STIME, ':'); }

std::string DateTextNow() { return DateText(LocalNow()); }

std::string DateTimeTextNow(const std::string& separator) {
  return DateTimeText(LocalNow(), separator, LocaleTimeSeparator());
}

std::string LogTimeStampNow() {
  return LogTimeStamp(LocalNow(), LocaleDateSeparator(), LocaleTimeSeparator());
}

// ---------------------------------------------------------------- AutoPlay

void StartAutoPlaySuppression() {
  g_autoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
}

void StopAutoPlaySuppression() { g_autoPlayMessage = 0; }

unsigned AutoPlayMessage() { return g_autoPlayMessage; }

}  // namespace kestro
