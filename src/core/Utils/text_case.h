// Case-insensitive matching in the terms of a code page. A single-byte
// character is upper-cased through the code page's table; a double-byte
// character (a lead byte and the byte after it) is compared as it stands,
// because its second byte may fall among the ASCII letters without being
// one. Windows code fills the table and the lead-byte test from the system
// code page; the default knows the ASCII letters and no lead bytes.
#pragma once

#include <array>
#include <string>

#include "core/Files/file_names.h"

namespace kestro {

struct TextCase {
  std::array<unsigned char, 256> upper{};  // upper case of each single byte
  LeadByteTest isLead = nullptr;           // nullptr: single-byte code page
};

const TextCase& AsciiCase();

// The text with every single-byte character upper-cased; same length.
std::string UpperText(const std::string& text, const TextCase& textCase);

// Position of find in text at or after from, ignoring case, starting only
// where a character starts (never on the second byte of a double-byte
// character); npos when absent.
size_t FindText(const std::string& text, const std::string& find, const TextCase& textCase,
                size_t from = 0);

}  // namespace kestro
