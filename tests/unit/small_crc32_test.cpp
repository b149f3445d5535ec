// The small CRC-32 gives what zlib's gives, for whole buffers and when the
// value is carried from piece to piece.
#include "core/ZLibOpen/small_crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

using kestro::SmallCrc32;

namespace {

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

}  // namespace

TEST(SmallCrc32, MatchesZlib) {
  std::string all;
  for (int i = 0; i < 1000; ++i) all += char(i * 7 + (i >> 3));
  const std::string cases[] = {"", "a", "123456789", std::string(3, '\0'), all};
  for (const std::string& s : cases) {
    EXPECT_EQ(SmallCrc32(0, Bytes(s), s.size()), crc32(0, Bytes(s), uInt(s.size()))) << s.size();
  }
  EXPECT_EQ(SmallCrc32(0, Bytes(cases[2]), 9), 0xCBF43926u);  // the standard check value
  EXPECT_EQ(SmallCrc32(0x12345678, nullptr, 5), 0u);
}

TEST(SmallCrc32, CarriesOverPieces) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += char('a' + i % 26);
  uint32_t crc = SmallCrc32(0, nullptr, 0);
  for (size_t at = 0; at < text.size(); at += 77)
    crc = SmallCrc32(crc, Bytes(text) + at, std::min<size_t>(77, text.size() - at));
  EXPECT_EQ(crc, crc32(0, Bytes(text), uInt(text.size())));
}
