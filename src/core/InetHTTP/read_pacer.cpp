#include "core/InetHTTP/read_pacer.h"

#include <algorithm>

namespace kestro {

std::uint32_t ReadPacer::Ask(std::uint32_t available) const {
  if (available == 0) return 1;
  // The connection's count is the other side's word: never more than the
  // buffer holds.
  return available < kSmallest ? available : std::min(std::max(available, piece_), kLargest);
}

void ReadPacer::Took(std::uint32_t asked, std::uint32_t got, std::int64_t ms) {
  if (ms > kSlowMs)
    piece_ = std::max(kSmallest, piece_ / 2);
  else if (ms < kQuickMs && got == asked && asked >= piece_)
    piece_ = std::min(kLargest, piece_ * 2);
}

}  // namespace kestro
