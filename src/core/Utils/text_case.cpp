#include "core/Utils/text_case.h"

namespace kestro {

const TextCase& AsciiCase() {
  static const TextCase ascii = [] {
    TextCase t;
    for (int c = 0; c < 256; ++c) t.upper[size_t(c)] = (c >= 'a' && c <= 'z') ? c - 32 : c;
    return t;
  }();
  return ascii;
}

std::string UpperText(const std::string& text, const TextCase& textCase) {
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(out[i]);
    if (textCase.isLead && textCase.isLead(c)) ++i;  // both bytes stay
    else out[i] = static_cast<char>(textCase.upper[c]);
  }
  return out;
}

size_t FindText(const std::string& text, const std::string& find, const TextCase& textCase,
                size_t from) {
  if (find.size() > text.size()) return std::string::npos;
  const std::string hay = UpperText(text, textCase);
  const std::string needle = UpperText(find, textCase);
  for (size_t i = 0; i + needle.size() <= hay.size(); ++i) {
    const bool lead = textCase.isLead && textCase.isLead(static_cast<unsigned char>(hay[i]));
    if (i >= from && hay.compare(i, needle.size(), needle) == 0) return i;
    if (lead) ++i;
  }
  return std::string::npos;
}

}  // namespace kestro
