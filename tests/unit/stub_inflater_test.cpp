// The stub's own inflater (third_party/zlib, whose inner loop loads the bit
// buffer a word at a time and copies matches eight bytes at a time) gives what
// the system's zlib gives: the same bytes, the same return code and the same
// message, for every kind of match and however the stream is cut into input
// and output pieces. Built twice: with the machine's word, and with the
// 32-bit word the shipped stub uses.
#include "zlib.h"  // the stub's, built with Z_PREFIX

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../support/inflate_driver.h"
#include "../support/system_zlib.h"

namespace {

struct Lcg {
  uint32_t state;
  uint32_t Next() { return state = state * 1664525u + 1013904223u; }
};

std::string RandomBytes(size_t n, uint32_t seed) {
  Lcg rng{seed};
  std::string s(n, '\0');
  for (char& c : s) c = char(rng.Next() >> 24);
  return s;
}

// Text from a small vocabulary: short and middle distances, many literals.
std::string Words(size_t n, uint32_t seed) {
  static const char* const kWords[] = {"setup ", "file ", "the ", "package ", "of ", "update ",
                                       "agent\r\n", "Program Files\\", "kestro ", "0x7f "};
  Lcg rng{seed};
  std::string s;
  while (s.size() < n) s += kWords[(rng.Next() >> 16) % 10];
  s.resize(n);
  return s;
}

// Runs repeating every `period` bytes (period 1 is a run of one byte).
std::string Periodic(size_t n, size_t period) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char('a' + (i % period) * 7 % 26);
  return s;
}

// A random block met again almost 32 KB later: matches from the far end of
// the window, which small output pieces move out of the output buffer.
std::string FarRepeats() {
  const std::string block = RandomBytes(3000, 7);
  std::string s;
  for (int i = 0; i < 6; ++i) s += block + RandomBytes(29000, 100 + i);
  return s;
}

// A real program: a mix of code, tables and padding runs.
std::string ThisProgram() {
  std::ifstream f("/proc/self/exe", std::ios::binary);
  std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  s.resize(std::min<size_t>(s.size(), 400000));
  return s;
}

struct Sample {
  const char* name;
  std::string data;
};

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = [] {
    std::vector<Sample> v = {{"random", RandomBytes(70000, 1)},
                             {"words", Words(120000, 2)},
                             {"zeros", std::string(100000, '\0')},
                             {"far repeats", FarRepeats()},
                             {"program", ThisProgram()},
                             {"empty", ""}};
    for (size_t period : {2, 3, 5, 7, 8, 9, 16, 300}) {
      v.push_back({"periodic", Periodic(20000 + period, period)});
    }
    return v;
  }();
  return samples;
}

void ExpectSame(const ktest::InflateOutcome& stub, const ktest::InflateOutcome& system, const std::string& what) {
  EXPECT_EQ(stub.code, system.code) << what;
  EXPECT_EQ(stub.msg, system.msg) << what;
  EXPECT_EQ(stub.out.size(), system.out.size()) << what;
  EXPECT_TRUE(stub.out == system.out) << what;
}

struct Cut {
  size_t in_piece, out_piece;
};
// Whole buffers; small input pieces (the inner loop is left and entered
// again often); output pieces just above the inner loop's minimum (matches
// reach back into the window, which wraps); a byte at a time (never the inner
// loop).
const Cut kCuts[] = {{1 << 20, 1 << 20}, {25, 64 * 1024}, {4096, 270}, {1000, 300}, {3, 1}};

}  // namespace

TEST(StubInflater, GivesTheOriginalBytesForEveryKindOfStream) {
  struct Way {
    int level, window_bits, strategy;
  };
  const Way kWays[] = {{9, 15, Z_DEFAULT_STRATEGY}, {1, 15, Z_DEFAULT_STRATEGY}, {6, 9, Z_DEFAULT_STRATEGY},
                       {6, -15, Z_DEFAULT_STRATEGY}, {6, 15, Z_FILTERED},        {6, 15, Z_HUFFMAN_ONLY},
                       {6, 15, Z_RLE},               {6, 15, Z_FIXED}};
  for (const Sample& sample : Samples()) {
    for (const Way& way : kWays) {
      const std::string stream =
          ktest::DeflateWithSystemZlib(sample.data, way.level, way.window_bits, way.strategy);
      ASSERT_FALSE(stream.empty());
      for (const Cut& cut : kCuts) {
        if (cut.out_piece == 1 && sample.data.size() > 30000) continue;  // slow, and no inner loop
        const std::string what = std::string(sample.name) + " " + std::to_string(sample.data.size()) +
                                 " level " + std::to_string(way.level) + " window " +
                                 std::to_string(way.window_bits) + " strategy " + std::to_string(way.strategy) +
                                 " pieces " + std::to_string(cut.in_piece) + "/" + std::to_string(cut.out_piece);
        const auto stub = ktest::InflateInPieces(stream, way.window_bits, cut.in_piece, cut.out_piece);
        EXPECT_EQ(stub.code, Z_STREAM_END) << what << " " << stub.msg;
        EXPECT_TRUE(stub.out == sample.data) << what;
      }
    }
  }
}

// Damaged streams: bits flipped, bytes overwritten, the stream cut short.
// Whatever the damage, the stub's inflater stops where the system's does,
// with the same bytes out and the same error.
TEST(StubInflater, StopsOnDamageExactlyLikeTheSystemZlib) {
  const std::string data = Words(40000, 3) + ThisProgram().substr(0, 60000) + FarRepeats().substr(0, 70000);
  for (int window_bits : {15, -15}) {
    const std::string stream = ktest::DeflateWithSystemZlib(data, 9, window_bits, Z_DEFAULT_STRATEGY);
    ASSERT_FALSE(stream.empty());
    Lcg rng{static_cast<uint32_t>(window_bits + 100)};
    for (int i = 0; i < 150; ++i) {
      std::string damaged = stream;
      const size_t at = rng.Next() % damaged.size();
      switch (i % 3) {
        case 0: damaged[at] = char(damaged[at] ^ (1 << (rng.Next() % 8))); break;
        case 1: damaged.replace(at, std::min<size_t>(8, damaged.size() - at), 8, char(rng.Next() >> 24)); break;
        default: damaged.resize(at); break;
      }
      damaged.resize(std::min(damaged.size(), stream.size()));
      for (const Cut& cut : {kCuts[0], kCuts[3]}) {
        const std::string what = "case " + std::to_string(i) + " at " + std::to_string(at) + " window " +
                                 std::to_string(window_bits) + " out piece " + std::to_string(cut.out_piece);
        ExpectSame(ktest::InflateInPieces(damaged, window_bits, cut.in_piece, cut.out_piece),
                   ktest::InflateWithSystemZlib(damaged, window_bits, cut.in_piece, cut.out_piece), what);
      }
    }
  }
}
