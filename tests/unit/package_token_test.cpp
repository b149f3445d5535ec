#include <gtest/gtest.h>

#include <set>

#include "core/PackX/package_token.h"

using namespace kestro;

namespace {

TEST(Token, ScrambledTokensUnscrambleToThemselves) {
  const std::string tokens[] = {"", "A", "PRODUCT-7", std::string(300, 'z'), std::string("\0\xff\x01", 3)};
  for (const std::string& token : tokens)
    for (uint32_t seed : {0u, 1u, 77u, 0xFFFFFFFFu}) {
      const std::string stored = ScrambleToken(token, seed);
      auto back = UnscrambleToken(stored);
      ASSERT_TRUE(back) << stored;
      EXPECT_EQ(*back, token);
    }
}

TEST(Token, StoredTextIsShiftedHexOnly) {
  // '0'..'9' shifted by 17 are 'A'..'J', 'A'..'F' are 'R'..'W'.
  const std::string stored = ScrambleToken("token", 5);
  for (char c : stored) EXPECT_TRUE((c >= 'A' && c <= 'J') || (c >= 'R' && c <= 'W')) << c;
  std::set<std::string> differ;
  for (uint32_t seed = 0; seed < 8; ++seed) differ.insert(ScrambleToken("token", seed));
  EXPECT_GT(differ.size(), 4u) << "the key and fillers vary the stored text";
}

TEST(Token, AKnownTextForPublishers) {
  // Bytes 00 00 01 41 42 xx 00: key 0, no leading filler, Q = 1, token "AB";
  // checksum 0+0+1+0x41+0x42+0 = 0x84.
  EXPECT_EQ(UnscrambleToken("AAAAABEBECIEAA"), std::optional<std::string>("AB"));
}

TEST(Token, MalformedTextsNeverGiveAToken) {
  const std::string good = ScrambleToken("secret", 3);
  std::string badSum = good;
  badSum[good.size() - 3] = badSum[good.size() - 3] == 'A' ? 'B' : 'A';  // checksum digit
  const char* cases[] = {"", "A", "AAA", "0123", "ZZZZZZZZZZ", "aaaaaaaaaa",
                         "AAJWAAAAAAAA",  // four bytes: P = 255 leaves no room
                         "AAAARAAAAAAAAAAA"};
  for (const char* c : cases) EXPECT_FALSE(UnscrambleToken(c)) << c;
  EXPECT_FALSE(UnscrambleToken(badSum));
  for (int i = 0; i < 20; ++i) {
    std::string r = UnscrambleTokenOrRandom("not a token");
    int64_t n = std::stoll(r);
    EXPECT_GE(n, 0);
    EXPECT_LT(n, 99999);
  }
}

}  // namespace
