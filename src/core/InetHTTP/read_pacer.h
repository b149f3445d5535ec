// How much a download asks for in one read. A read returns only when it is
// filled or the body ends, so the piece grows while reads come back at once
// (a fast link is read in large pieces, few calls per megabyte) and shrinks
// when a read kept the caller's windows waiting (a slow link).
#pragma once

#include <cstdint>

namespace kestro {

class ReadPacer {
 public:
  static constexpr std::uint32_t kSmallest = 8192;
  static constexpr std::uint32_t kLargest = 1u << 20;
  static constexpr std::int64_t kQuickMs = 10;
  static constexpr std::int64_t kSlowMs = 50;

  // What to ask for when the connection holds `available` bytes: less than
  // a small piece is taken as it is (the read cannot wait), else the piece
  // or what it holds, never more than kLargest (the reader's buffer).
  std::uint32_t Ask(std::uint32_t available) const;
  // A read of `asked` bytes brought `got` in `ms` milliseconds.
  void Took(std::uint32_t asked, std::uint32_t got, std::int64_t ms);
  std::uint32_t Piece() const { return piece_; }

 private:
  std::uint32_t piece_ = kSmallest;
};

}  // namespace kestro
