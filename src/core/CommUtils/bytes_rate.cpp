#include "core/CommUtils/bytes_rate.h"

#include <chrono>

#include "core/Utils/fixed_text.h"
#include "core/Utils/ksub.h"

namespace kestro {

TickSource DefaultTickSource() {
  return [] {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  };
}

TBytesRate::TBytesRate(bool showKilobytes, bool showMegabytes, TickSource ticks)
    : showKb_(showKilobytes), showMb_(showMegabytes), clock_(std::move(ticks)) {
  if (!clock_) clock_ = DefaultTickSource();
  Reset();
}

void TBytesRate::Reset() {
  ticks_.fill(0);
  bytes_.fill(0);
  rate_.clear();
  lastRefresh_ = 0;
}

std::string TBytesRate::GetRateText(std::int32_t chunkBytes) {
  const std::uint32_t now = clock_();
  for (std::size_t i = 0; i + 1 < ticks_.size(); ++i) {
    ticks_[i] = ticks_[i + 1];
    bytes_[i] = bytes_[i + 1];
  }
  ticks_.back() = now;
  bytes_.back() = chunkBytes;
  const std::uint32_t span = now - ticks_.front();
  // The oldest chunk arrived before the span began, so it is left out.
  std::int64_t amount = 0;
  for (std::size_t i = 1; i < bytes_.size(); ++i) amount += bytes_[i];
  if (ticks_.front() != 0 && span != 0 && now - lastRefresh_ > kRefreshMs) {
    lastRefresh_ = now;
    const double kbPerSec = static_cast<double>(amount) / (span / 1000.0) / 1024.0;
    rate_ = FixedText(kbPerSec, 2);
  }
  return rate_;
}

std::string TBytesRate::GetProgressText(std::int64_t total, std::int64_t received,
                                        std::int32_t chunkBytes) {
  std::string amounts;
  if (showMb_ || showKb_) {
    const auto unit = showMb_ ? SUB::SizeUnit::Megabytes : SUB::SizeUnit::Kilobytes;
    amounts = SUB::SizeText(received, unit, 1, true) + "/" + SUB::SizeText(total, unit, 1, true) +
              (showMb_ ? " MB" : " KB");
  } else {
    amounts = std::to_string(received) + "/" + std::to_string(total) + " BytesArr";
  }
  const std::string rate = GetRateText(chunkBytes);
  return rate.empty() ? amounts : amounts + "   -   " + rate + " KB/Sec";
}

int NextBusyPosition(int counter) {
  const int next = counter + 1;
  return next > 5 ? 0 : next;
}

}  // namespace kestro
