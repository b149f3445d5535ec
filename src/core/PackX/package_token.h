// Product and web tokens as a package stores them: scrambled, so that a token
// is not readable in the file and a damaged one never compares equal.
//
// Stored text: every character of a string of two-digit hexadecimal numbers,
// shifted up by kTokenCharShift ('0'..'9' -> 'A'..'J', 'A'..'F' -> 'R'..'W').
// The bytes it encodes (positions from 1, n bytes in all):
//   1            random byte R1
//   2            P, count of leading filler bytes      } XOR key
//   3            Q, count of trailing bytes after the  }
//                token (Q-1 fillers, the checksum, R2)  }
//   4..P+3       filler                                 }
//   P+4..        the token, n - P - Q - 4 bytes         }
//   ..n-2        Q-1 filler bytes                       }
//   n-1          checksum: sum mod 256 of all other stored bytes
//   n            random byte R2;  XOR key = R1 ^ R2
// Bytes 2 to n-1 are stored XORed with the key.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kestro {

constexpr int kTokenCharShift = 17;

// The token, or nothing when the text is not a well-formed scrambled token.
std::optional<std::string> UnscrambleToken(const std::string& stored);

// As the accessors give it: the token, or a random decimal number below
// 99,999 for a malformed text, so that it never matches a real token.
std::string UnscrambleTokenOrRandom(const std::string& stored);

// Scrambles a token; `seed` chooses the fillers and the key (any value gives a
// text that unscrambles to the same token).
std::string ScrambleToken(const std::string& token, uint32_t seed);

}  // namespace kestro
