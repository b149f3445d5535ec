// The obfuscation of downloaded settings files ("Scrambled=01" + a salt
// character + the scrambled bytes). Scrambling and unscrambling are the same
// byte operation; the salt travels in the text, so no key is involved. This
// hides text from casual eyes and is not encryption.
#pragma once

#include <string>

namespace kestro {

constexpr const char* kScrambleMarker = "Scrambled=01";

// encode: scramble a plain text (a text already carrying the marker is
// returned as it is); otherwise unscramble (a text without the marker is
// returned as it is). hex: the scrambled form is written, or read, as
// hexadecimal digits.
std::string Scramble(const std::string& text, bool encode, bool hex);

}  // namespace kestro
