// The message box's markup: "<P>" line break, "<T>" tab, "<B>".."</B>" bold.
// The pass turns a marked-up text into the plain text handed to the rich-edit
// control plus the character ranges to embolden.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace kestro {

// A bold range of the plain text: start inclusive, end exclusive. Offsets
// count CR LF as two characters, as the first-generation rich-edit control
// does, so they can be handed to EM_EXSETSEL unchanged.
struct BoldRun {
  std::size_t start;
  std::size_t end;
  bool operator==(const BoldRun& o) const { return start == o.start && end == o.end; }
};

struct PlainText {
  std::string text;
  std::vector<BoldRun> bold;
};

// Line breaks and tabs: "\\n", "\\t" (two backslashes, case-sensitive) and
// "<P>", "<T>" (any case); a leading "<<b>" loses its first character.
std::string MarkupToPlain(const std::string& markup);

// Removes every "<B>" and "</B>" (any case) from text and returns the runs
// they enclosed. An unclosed "<B>", a stray "</B>" and an empty pair are
// removed without a run; a "<B>" inside an open run is dropped.
std::vector<BoldRun> ExtractBoldRuns(std::string& text);

// Both passes in order.
PlainText ParseMarkup(const std::string& markup);

}  // namespace kestro
