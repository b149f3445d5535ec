// The clocks under std::chrono (steady_clock, system_clock). The threads
// library's clock_gettime, which the C++ runtime calls, sleeps through that
// library's own thread machinery and brings about 22 KB of it into the stub;
// this one reads the same Windows clocks directly.
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

namespace {

constexpr int64_t kNanosPerSecond = 1000000000;
// FILETIME counts 100 ns from 1601-01-01; Unix time starts at 1970-01-01.
constexpr int64_t kUnixEpochIn100ns = 116444736000000000;

void SetNanoseconds(timespec* tp, int64_t nanoseconds) {
  tp->tv_sec = time_t(nanoseconds / kNanosPerSecond);
  tp->tv_nsec = long(nanoseconds % kNanosPerSecond);
}

int64_t MonotonicNanoseconds() {
  LARGE_INTEGER frequency, count;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&count);
  const int64_t seconds = count.QuadPart / frequency.QuadPart;
  const int64_t rest = count.QuadPart % frequency.QuadPart;
  return seconds * kNanosPerSecond + rest * kNanosPerSecond / frequency.QuadPart;
}

int64_t RealtimeNanoseconds() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  const int64_t ticks = int64_t(uint64_t(ft.dwHighDateTime) << 32 | ft.dwLowDateTime);
  return (ticks - kUnixEpochIn100ns) * 100;
}

}  // namespace

extern "C" int clock_gettime(clockid_t clock, struct timespec* tp) {
  if (!tp || (clock != CLOCK_MONOTONIC && clock != CLOCK_REALTIME)) {
    errno = EINVAL;
    return -1;
  }
  SetNanoseconds(tp, clock == CLOCK_MONOTONIC ? MonotonicNanoseconds() : RealtimeNanoseconds());
  return 0;
}
