// The single rules of the token expansion (see path_tokens.h).
#include <cctype>
#include <cmath>

#include "core/ShellDir/path_tokens.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string Two(int n) { return SUB::ZeroPad(n, 2); }

}  // namespace

// ---------------------------------------------------------------- suffix rule

std::string ReplaceFolderToken(const std::string& text, const std::string& token,
                               const std::string& value, const std::string& suffix) {
  const size_t at = SUB::PosFrom(token, text, 1, true);
  if (at == 0) return text;
  const size_t after = at - 1 + token.size();
  bool dropSuffix = after >= text.size();
  if (!dropSuffix) {
    const char c = text[after];
    dropSuffix = c == ' ' ||
                 (c == text.front() && c == text.back() && c != '<' && !IsAsciiLetter(c));
  }
  return SUB::ReplaceText(text, token, dropSuffix ? value : value + suffix, true);
}

// ---------------------------------------------------------------- user tokens

std::string ApplyUserTokens(const std::string& text, const std::string& table) {
  static const std::string kAbsent = std::string(1, '\x01');
  std::string out = text;
  size_t i = 0;
  while (i < out.size()) {
    if (out[i] != '<') { ++i; continue; }
    size_t close = out.find('>', i + 1);
    if (close == std::string::npos) { ++i; continue; }
    // "<<Key>>" is looked up as "<Key>" and replaced whole.
    const bool doubled = i + 1 < out.size() && out[i + 1] == '<';
    if (doubled && close + 1 < out.size() && out[close + 1] == '>') ++close;
    std::string key = out.substr(i, close + 1 - i);
    if (doubled) key = SUB::ReplaceText(SUB::ReplaceText(key, "<<", "<"), ">>", ">");
    const std::string value = SUB::GetValue(table, key, false, "", kAbsent);
    if (value == kAbsent) { i = close + 1; continue; }
    out.replace(i, close + 1 - i, value);
    i += value.size();
  }
  return out;
}

// ---------------------------------------------------------------- date token

// The date codes "1" to "7" and "#" as patterns: d day, m month, y and Y
// the year in two and four digits, n the month's name, H M S the time, / and
// : the locale's separators; any other character stands for itself.
std::string DateTokenText(char code, const TokenEnvironment& env) {
  static const char* const kPatterns[] = {"d-m-y", "m-d-y", "y-m-d", "d-m-Y",
                                          "m-d-Y", "Y-m-d", "Y-m-d H:M:S"};
  const CivilTime& t = env.now;
  if (code == '0')
    return std::to_string(DaysFromCivil(t.year, t.month, t.day) - DaysFromCivil(2000, 1, 1));
  const char* pattern = code == '#' ? "d/n/Y" : code >= '1' && code <= '7' ? kPatterns[code - '1'] : "";
  std::string out;
  for (; *pattern; ++pattern) {
    switch (*pattern) {
      case 'd': out += Two(t.day); break;
      case 'm': out += Two(t.month); break;
      case 'y': out += Two(t.year % 100); break;
      case 'Y': out += SUB::ZeroPad(t.year, 4); break;
      case 'n': out += env.monthName; break;
      case 'H': out += Two(t.hour); break;
      case 'M': out += Two(t.minute); break;
      case 'S': out += Two(t.second); break;
      case '/': out += env.dateSeparator; break;
      case ':': out += env.timeSeparator; break;
      default: out += *pattern;
    }
  }
  return out;
}

std::string ApplyDateToken(const std::string& text, const TokenEnvironment& env) {
  static const std::string kDate = "<Date=";
  const size_t at = SUB::PosFrom(kDate, text, 1, true);
  if (at == 0) return text;
  const size_t code = at - 1 + kDate.size();
  if (code + 1 >= text.size() || text.find('>', code) == std::string::npos) return text;
  const std::string date = DateTokenText(text[code], env);
  if (date.empty()) return text;
  return text.substr(0, at - 1) + date + text.substr(code + 2);
}

// ---------------------------------------------------------------- tidying

std::string CleanPath(const std::string& text, LeadByteTest isLead) {
  if (text.size() <= 2) return text;
  std::string s = text;
  const char first = s.front(), last = s.back();
  // Pairs starting at the third character or later, from the end; the pair
  // that ends the text is reduced as well.
  for (size_t i = s.size() - 1; i >= 3; --i) {
    if (i >= s.size() || s[i - 1] != '\\' || s[i] != '\\') continue;
    const char before = s[i - 2];
    if (isLead && isLead((unsigned char)before)) continue;
    if (first == last && before == first) continue;
    s.erase(i, 1);
  }
  // The pair right after the first character: three leading backslashes
  // become two; but a UNC path in quotes (or between two list delimiters)
  // keeps both of its own.
  const bool enclosed = first == last && first != '\\';
  if (s.size() >= 3 && s[1] == '\\' && s[2] == '\\' && !enclosed) s.erase(2, 1);
  return s;
}

std::string ExpandRelativePaths(const std::string& text, const TokenLookup& absolutePath) {
  auto relative = [](const std::string& s) {
    return s.find("\\..") != std::string::npos || s.find("..\\") != std::string::npos;
  };
  if (!relative(text) || !absolutePath) return text;
  if ((text[0] == ',' || text[0] == '|') && SUB::ItemCount(text) > 0) {
    std::vector<std::string> items = SUB::Items(text);
    for (std::string& item : items)
      if (relative(item)) item = absolutePath(item);
    std::string out(1, text[0]);
    for (const std::string& item : items) out += item + text[0];
    return out;
  }
  return absolutePath(text);
}

std::string ApplyServiceDir(const std::string& text, const std::string& suffix,
                            const std::string& exeDir, const std::string& serviceList) {
  static const std::string kToken = "<ServiceDir>";
  std::string result = ReplaceFolderToken(text, kToken, exeDir, suffix);
  if (serviceList.size() <= 2) return result;
  for (const std::string& service : SUB::Items(serviceList)) {
    std::string candidate = ReplaceFolderToken(text, kToken, ExtractFileDir(service), suffix);
    candidate = SUB::ReplaceUntilGone(candidate, "\\\\", "\\");
    const std::string item = SUB::ReplaceUntilGone(service, "\\\\", "\\");
    if (SUB::PosFrom(item, candidate, 1, true) != 0) return candidate;
  }
  return result;
}

}  // namespace kestro
