#include "core/StubAU/scramble.h"

#include "core/Utils/ksub.h"

namespace kestro {

namespace {

// Byte i (from 1) is XORed with i + S for odd i and i - S for even i, low
// eight bits.
std::string ApplySalt(std::string t, int salt) {
  for (std::size_t i = 1; i <= t.size(); ++i) {
    int s = (i % 2 == 1) ? salt : -salt;
    t[i - 1] = char((unsigned char)t[i - 1] ^ (unsigned char)((int(i & 0xFF) + s) & 0xFF));
  }
  return t;
}

}  // namespace

std::string Scramble(const std::string& text, bool encode, bool hex) {
  if (text.empty()) return text;
  std::string t = (hex && !encode) ? SUB::HexDecode(text) : text;
  const std::string marker = kScrambleMarker;
  const bool scrambled = SUB::StartsWith(t, marker);
  if (scrambled == encode) return text;
  int salt = int(SUB::RandomInt(33, 122));
  if (scrambled) {
    // The bare marker carries no salt and no bytes: it stands for nothing.
    // (Unscrambling it with a fresh salt would only make up 12 bytes.)
    if (t.size() <= marker.size()) return std::string();
    salt = (unsigned char)t[marker.size()];
    t = t.substr(marker.size() + 1);
  }
  t = ApplySalt(t, salt);
  if (encode) t = marker + char(salt) + t;
  if (hex && encode) t = SUB::HexEncode(t);
  return t;
}

}  // namespace kestro
