#include "core/InetHTTP/read_pacer.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

// A fast link: every read is filled at once, so the piece doubles up to the
// largest and stays there.
TEST(ReadPacer, QuickFullReadsGrowThePieceToTheLargest) {
  ReadPacer pacer;
  std::uint32_t asked = 0;
  for (int i = 0; i < 20; ++i) {
    asked = pacer.Ask(ReadPacer::kSmallest);
    pacer.Took(asked, asked, 1);
  }
  EXPECT_EQ(asked, ReadPacer::kLargest);
  EXPECT_EQ(pacer.Piece(), ReadPacer::kLargest);
}

TEST(ReadPacer, WhatASlowLinkHoldsIsReadAsItIsAndNeverGrowsThePiece) {
  ReadPacer pacer;
  for (std::uint32_t held : {1u, 100u, 8191u}) {
    EXPECT_EQ(pacer.Ask(held), held);
    pacer.Took(held, held, 0);
  }
  EXPECT_EQ(pacer.Piece(), ReadPacer::kSmallest);
  EXPECT_EQ(pacer.Ask(0), 1u) << "an empty answer still reads, to see the end";
  EXPECT_EQ(pacer.Ask(300000), 300000u) << "a connection holding more than the piece gives it all";
}

// The count comes from the connection (WinINet on Windows reports what its
// socket holds, far beyond Wine's 8 KB); the read goes into a buffer of
// kLargest bytes.
TEST(ReadPacer, NeverAsksForMoreThanTheBufferHolds) {
  ReadPacer grown;
  for (int i = 0; i < 20; ++i) grown.Took(grown.Piece(), grown.Piece(), 0);
  for (const ReadPacer& pacer : {ReadPacer(), grown}) {
    for (std::uint32_t held : {ReadPacer::kLargest, ReadPacer::kLargest + 1, 64u << 20, ~0u})
      EXPECT_EQ(pacer.Ask(held), ReadPacer::kLargest) << held << " held, piece " << pacer.Piece();
  }
}

TEST(ReadPacer, AReadThatKeptTheWindowsWaitingHalvesThePiece) {
  ReadPacer pacer;
  for (int i = 0; i < 4; ++i) pacer.Took(pacer.Piece(), pacer.Piece(), 0);
  ASSERT_EQ(pacer.Piece(), 16 * ReadPacer::kSmallest);
  const struct {
    bool filled;  // the read brought all it asked for
    std::int64_t ms;
    std::uint32_t piece;
  } steps[] = {
      {true, ReadPacer::kSlowMs + 1, 8 * ReadPacer::kSmallest},
      {true, ReadPacer::kSlowMs, 8 * ReadPacer::kSmallest},       // neither quick nor slow
      {false, ReadPacer::kQuickMs - 1, 8 * ReadPacer::kSmallest},  // quick but short: the body ended
      {true, 10 * ReadPacer::kSlowMs, 4 * ReadPacer::kSmallest},
      {true, 10 * ReadPacer::kSlowMs, 2 * ReadPacer::kSmallest},
      {true, 10 * ReadPacer::kSlowMs, ReadPacer::kSmallest},
      {true, 10 * ReadPacer::kSlowMs, ReadPacer::kSmallest},      // never below the smallest
  };
  for (const auto& s : steps) {
    pacer.Took(pacer.Piece(), s.filled ? pacer.Piece() : 1, s.ms);
    EXPECT_EQ(pacer.Piece(), s.piece) << s.ms << " ms";
  }
}

}  // namespace
}  // namespace kestro
