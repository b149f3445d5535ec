// Progress texts of a download: how much of how much has arrived, and the
// transfer rate averaged over the last four chunks, recomputed at most twice
// a second so the figure stays readable.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace kestro {

// Millisecond tick count (GetTickCount on Windows; any monotonic clock works).
using TickSource = std::function<std::uint32_t()>;
TickSource DefaultTickSource();

class TBytesRate {
 public:
  static constexpr std::uint32_t kRefreshMs = 500;

  TBytesRate(bool showKilobytes, bool showMegabytes, TickSource ticks = DefaultTickSource());

  void Reset();
  // Takes one sample of a chunk of n bytes; returns the rate in KB/s with two
  // decimals, or the last one computed ("" before the fifth sample).
  std::string GetRateText(std::int32_t chunkBytes);
  // "received/total unit", plus "   -   rate KB/Sec" once a rate exists.
  std::string GetProgressText(std::int64_t total, std::int64_t received, std::int32_t chunkBytes);

 private:
  std::array<std::uint32_t, 5> ticks_{};
  std::array<std::int32_t, 5> bytes_{};
  bool showKb_;
  bool showMb_;
  std::string rate_;
  std::uint32_t lastRefresh_ = 0;
  TickSource clock_;
};

// Unit choice of the download client by the announced size.
constexpr std::int64_t kShowKilobytesAbove = 102400;
constexpr std::int64_t kShowMegabytesAbove = 10485760;

// Position of the busy bar after one more step: 1, 2, 3, 4, 5, 0, 1, ...
int NextBusyPosition(int counter);

}  // namespace kestro
