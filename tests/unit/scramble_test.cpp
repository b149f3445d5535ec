#include "core/StubAU/scramble.h"

#include <gtest/gtest.h>

#include <random>

#include "core/Utils/ksub.h"

using namespace kestro;

namespace {
std::string RandomBytes(std::mt19937& rng, size_t n) {
  std::string s(n, '\0');
  for (char& c : s) c = char(rng() & 0xFF);
  return s;
}
}  // namespace

TEST(Scramble, RoundTripsAnyByteString) {
  std::mt19937 rng(12345);
  for (size_t n : {1u, 2u, 3u, 12u, 13u, 255u, 256u, 257u, 1000u}) {
    for (int k = 0; k < 20; ++k) {
      std::string plain = RandomBytes(rng, n);
      std::string scrambled = Scramble(plain, true, false);
      ASSERT_TRUE(SUB::StartsWith(scrambled, kScrambleMarker));
      ASSERT_EQ(scrambled.size(), plain.size() + 13);
      int salt = (unsigned char)scrambled[12];
      ASSERT_GE(salt, 33);
      ASSERT_LE(salt, 122);
      EXPECT_EQ(Scramble(scrambled, false, false), plain);
      std::string hex = Scramble(plain, true, true);
      ASSERT_EQ(hex.size(), 2 * (plain.size() + 13));
      EXPECT_EQ(Scramble(hex, false, true), plain);
    }
  }
}

TEST(Scramble, KnownBytesForAGivenSalt) {
  // Salt 'A' (65): byte 1 ^ (1+65), byte 2 ^ ((2-65) & 255), byte 3 ^ (3+65).
  std::string scrambled = std::string(kScrambleMarker) + "A" +
                          char('x' ^ 66) + char('y' ^ ((2 - 65) & 255)) + char('z' ^ 68);
  EXPECT_EQ(Scramble(scrambled, false, false), "xyz");
}

TEST(Scramble, LeavesTextsAlreadyInTheWantedForm) {
  EXPECT_EQ(Scramble("plain text", false, false), "plain text");
  EXPECT_EQ(Scramble("41424344", false, true), "41424344");
  const std::string marked = std::string(kScrambleMarker) + "Axyz";
  EXPECT_EQ(Scramble(marked, true, false), marked);
  EXPECT_EQ(Scramble("", true, true), "");
  // The bare marker holds nothing to unscramble.
  EXPECT_EQ(Scramble(kScrambleMarker, false, false), "");
}
