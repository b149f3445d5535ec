#include "core/KMsgBox/markup.h"

#include <cctype>

namespace kestro {

// ---- helpers ---------------------------------------------------------------
namespace {

bool MatchesAt(const std::string& s, std::size_t pos, const char* tag) {
  for (std::size_t i = 0; tag[i]; ++i) {
    if (pos + i >= s.size()) return false;
    const unsigned char c = static_cast<unsigned char>(s[pos + i]);
    if (std::toupper(c) != std::toupper(static_cast<unsigned char>(tag[i]))) return false;
  }
  return true;
}

// Replaces every occurrence of find, left to right, without rescanning what
// was put in.
std::string ReplaceAll(const std::string& s, const char* find, std::size_t findLen,
                       const char* with, bool ignoreCase) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const bool hit = ignoreCase ? MatchesAt(s, i, find) : s.compare(i, findLen, find) == 0;
    if (hit) {
      out += with;
      i += findLen;
    } else {
      out += s[i++];
    }
  }
  return out;
}

}  // namespace

// ---- the markup pass ---------------------------------------------------------

std::string MarkupToPlain(const std::string& markup) {
  std::string s = ReplaceAll(markup, "\\\\n", 3, "\r\n", false);
  s = ReplaceAll(s, "\\\\t", 3, "\t", false);
  s = ReplaceAll(s, "<P>", 3, "\r\n", true);
  s = ReplaceAll(s, "<T>", 3, "\t", true);
  // The mode-0 heading is written "<<b>" so that a title that happens to
  // start with "<" cannot merge with the tag.
  if (MatchesAt(s, 0, "<<B>")) s.erase(0, 1);
  return s;
}

// One left-to-right scan rather than repeated searches: a stray "</B>" before
// a pair, or a nested "<B>", would otherwise shift text under runs that were
// already recorded.
std::vector<BoldRun> ExtractBoldRuns(std::string& text) {
  std::vector<BoldRun> runs;
  std::string out;
  out.reserve(text.size());
  bool open = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (MatchesAt(text, i, "<B>")) {
      if (!open) {
        open = true;
        start = out.size();
      }
      i += 3;
    } else if (MatchesAt(text, i, "</B>")) {
      if (open && out.size() > start) runs.push_back({start, out.size()});
      open = false;
      i += 4;
    } else {
      out += text[i++];
    }
  }
  text.swap(out);
  return runs;
}

PlainText ParseMarkup(const std::string& markup) {
  PlainText p;
  p.text = MarkupToPlain(markup);
  p.bold = ExtractBoldRuns(p.text);
  return p;
}

}  // namespace kestro
