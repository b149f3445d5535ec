#include "core/Utils/ksub.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "core/Utils/fixed_text.h"

namespace kestro {

// ---------------------------------------------------------------- helpers
namespace {

char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }
char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

size_t FindFrom(const std::string& text, const std::string& find, size_t from,
                bool ignoreCase) {
  if (!ignoreCase) return text.find(find, from);
  if (find.size() > text.size()) return std::string::npos;
  for (size_t i = from; i + find.size() <= text.size(); ++i) {
    size_t k = 0;
    while (k < find.size() && LowerChar(text[i + k]) == LowerChar(find[k])) ++k;
    if (k == find.size()) return i;
  }
  return std::string::npos;
}

bool Contains(const std::string& text, const std::string& find,
              bool ignoreCase = false) {
  return FindFrom(text, find, 0, ignoreCase) != std::string::npos;
}

// Joins items with D before each and one after the last; when an item
// contains D the list is re-delimited with a free character.
std::string BuildList(const std::vector<std::string>& items, char d) {
  bool clash = false;
  for (const auto& it : items)
    if (it.find(d) != std::string::npos) clash = true;
  char sep = clash ? '\0' : d;
  std::string out(1, sep);
  for (const auto& it : items) {
    out += it;
    out += sep;
  }
  if (clash) return SUB::FixDelimiter(out);
  return out.size() == 1 ? std::string() : out;
}

void DropEmptyTail(std::vector<std::string>& items) {
  while (!items.empty() && items.back().empty()) items.pop_back();
}

// Delimiters tried when every usual candidate is taken. Any free byte keeps
// the items apart, but printable ones come first: Trim strips blanks and
// control bytes from a list's ends, a profile value cannot hold control
// bytes and loses enclosing quotes when it is read back.
const std::string& FallbackDelimiters() {
  static const std::string order = [] {
    // Rank 0: printable, 1: quotes and DEL, 2: blank and control bytes.
    auto rank = [](int c) { return c <= ' ' ? 2 : (c == '"' || c == '\'' || c == 0x7F) ? 1 : 0; };
    std::string out;
    for (int r = 0; r < 3; ++r)
      for (int c = 1; c < 256; ++c)
        if (rank(c) == r) out += char(c);
    return out;
  }();
  return order;
}

int ResolveIndex(int index, int count) {
  return index == -1 ? count - 1 : index;
}

std::string FormatFixed(double value, int decimals) { return FixedText(value, decimals); }

std::string GroupThousands(const std::string& number) {
  size_t start = (!number.empty() && number[0] == '-') ? 1 : 0;
  size_t dot = number.find('.');
  size_t end = dot == std::string::npos ? number.size() : dot;
  std::string out = number.substr(0, start);
  for (size_t i = start; i < end; ++i) {
    out += number[i];
    size_t left = end - i - 1;
    if (left > 0 && left % 3 == 0) out += ',';
  }
  return out + number.substr(end);
}

std::string TwoDigits(int n) { return SUB::ZeroPad(n, 2); }

}  // namespace

// ---------------------------------------------------------------- lists

int SUB::ItemCount(const std::string& list) {
  if (list.size() < 2 || list.back() != list.front()) return 0;
  return int(std::count(list.begin() + 1, list.end(), list.front()));
}

std::vector<std::string> SUB::Items(const std::string& list) {
  std::vector<std::string> items;
  if (list.size() < 2) return items;
  const char d = list[0];
  size_t pos = 0;
  for (;;) {
    size_t next = list.find(d, pos + 1);
    if (next == std::string::npos) break;
    items.push_back(list.substr(pos + 1, next - pos - 1));
    pos = next;
  }
  return items;
}

std::string SUB::GetItem(const std::string& list, int index,
                         const std::string& def) {
  if (list.size() < 2) return def;
  if (index == -1) index = ItemCount(list) - 1;
  if (index < 0) return def;
  const char d = list[0];
  size_t pos = 0;
  for (int k = 0;; ++k) {
    size_t next = list.find(d, pos + 1);
    if (next == std::string::npos) return def;
    if (k == index) {
      std::string item = list.substr(pos + 1, next - pos - 1);
      return item.empty() ? def : item;
    }
    pos = next;
  }
}

int64_t SUB::GetItemInt(const std::string& list, int index, int64_t def) {
  return StrToInt64Def(GetItem(list, index), def);
}

int SUB::ItemIndex(const std::string& list, const std::string& item, int def,
                   bool prefix) {
  const std::vector<std::string> items = Items(Trim(list));
  auto search = [&](const std::string& wanted) {
    for (size_t i = 0; i < items.size(); ++i) {
      bool hit = prefix ? StartsWith(items[i], wanted, true)
                        : EqualIgnoreCase(items[i], wanted);
      if (hit) return int(i);
    }
    return -1;
  };
  int found = search(item);
  if (found < 0) found = search(Trim(item));
  return found < 0 ? def : found;
}

bool SUB::HasItem(const std::string& list, const std::string& item, bool trim,
                  bool ignoreCase) {
  std::string l = trim ? Trim(list) : list;
  std::string i = trim ? Trim(item) : item;
  if (l.empty()) return false;
  return Contains(l, l[0] + i + l[0], ignoreCase);
}

std::string SUB::GetValue(const std::string& list, const std::string& key,
                          bool strip, const std::string& ifEmpty,
                          const std::string& def) {
  if (list.size() <= 2 || list.back() != list.front()) return def;
  const char d = list[0];
  std::string pattern = d + key;
  if (!EndsWith(key, "=")) pattern += '=';
  std::string l = list;
  if (l.find(' ') != std::string::npos) {
    if (strip) {
      l = ReplaceUntilGone(l, " =", "=");
    } else {
      size_t eq = l.find(" =");
      if (eq != std::string::npos) {
        size_t start = eq;
        while (start > 0 && l[start - 1] == ' ') --start;
        l.erase(start, eq + 1 - start);
      }
    }
  }
  size_t at = FindFrom(l, pattern, 0, true);
  if (at == std::string::npos) return def;
  size_t from = at + pattern.size();
  size_t end = l.find(d, from);
  std::string value =
      l.substr(from, end == std::string::npos ? std::string::npos : end - from);
  return value.empty() ? ifEmpty : value;
}

std::string SUB::SetItem(const std::string& list, int index,
                         const std::string& value) {
  const std::string l = list.empty() ? std::string("|") : list;
  // Every item GetItem reads is kept, also in a list whose closing D is
  // missing; only text after the last D, which is no item, is dropped.
  std::vector<std::string> items = Items(l);
  index = ResolveIndex(index, int(items.size()));
  if (index < 0) index = 0;
  if (size_t(index) >= items.size()) items.resize(size_t(index) + 1);
  items[size_t(index)] = value;
  return BuildList(items, l[0]);
}

std::string SUB::DeleteItem(const std::string& list, int index) {
  const int count = ItemCount(list);
  index = ResolveIndex(index, count);
  if (index < 0 || index >= count) return list;
  std::vector<std::string> items = Items(list);
  items.erase(items.begin() + index);
  return BuildList(items, list[0]);
}

std::string SUB::JoinItems(const std::vector<std::string>& items,
                           bool dedupe) {
  std::string out(1, '\0');
  for (const auto& it : items) {
    out += it;
    out += '\0';
  }
  out = FixDelimiter(out);
  return dedupe ? UniqueItems(out) : out;
}

std::string SUB::AppendItems(const std::string& list,
                             const std::vector<std::string>& items,
                             bool dedupe) {
  if (list.empty()) return JoinItems(items, dedupe);
  std::string out;
  if (!items.empty()) {
    const char d = list[0];
    std::string tail;
    bool clash = false;
    for (const auto& it : items) {
      tail += it;
      tail += '\0';
      if (it.find(d) != std::string::npos) clash = true;
    }
    if (!clash) {
      std::replace(tail.begin(), tail.end(), '\0', d);
      out = list + tail;
    } else {
      out = list;
      std::replace(out.begin(), out.end(), d, '\0');
      out = FixDelimiter(out + tail);
    }
  } else {
    out = list;
  }
  return dedupe ? UniqueItems(out) : out;
}

std::string SUB::ReverseItems(const std::string& list) {
  if (ItemCount(list) == 0) return list;
  std::vector<std::string> items = Items(list);
  std::reverse(items.begin(), items.end());
  return BuildList(items, list[0]);
}

std::string SUB::UniqueItems(const std::string& list) {
  if (ItemCount(list) == 0) return list;
  std::vector<std::string> kept, seen;
  for (const auto& it : Items(list)) {
    if (it.empty()) continue;
    std::string key = Lower(Trim(it));
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
    seen.push_back(key);
    kept.push_back(it);
  }
  return BuildList(kept, list[0]);
}

std::string SUB::TrimEmptyItems(const std::string& list, bool atEnd,
                                bool atStart) {
  if (ItemCount(list) == 0) return list;
  std::vector<std::string> items = Items(list);
  if (atEnd) DropEmptyTail(items);
  if (atStart)
    while (!items.empty() && items.front().empty()) items.erase(items.begin());
  return BuildList(items, list[0]);
}

std::string SUB::FixDelimiter(const std::string& list) {
  if (list.empty()) return list;
  std::string out = list;
  if (out.find('\0') == std::string::npos) {
    const char d = out[0];  // a copy: out[0] itself is about to change
    std::replace(out.begin(), out.end(), d, '\0');
  }
  char chosen = '\xFF';
  bool found = false;
  for (const char* c = kDelimiterCandidates; *c && !found; ++c)
    if (out.find(*c) == std::string::npos) chosen = *c, found = true;
  // All the usual candidates taken: any other free byte still keeps the
  // items apart, where a taken one would split them.
  for (char c : FallbackDelimiters())
    if (!found && out.find(c) == std::string::npos) chosen = c, found = true;
  std::replace(out.begin(), out.end(), '\0', chosen);
  return out.size() == 1 ? std::string() : out;
}

std::string SUB::ChangeDelimiter(const std::string& list, char delimiter) {
  if (list.empty()) return list;
  std::string out = list;
  std::replace(out.begin(), out.end(), list[0], delimiter);
  return out;
}

std::string SUB::LeftSides(const std::string& list) {
  if (ItemCount(list) == 0) return std::string();
  std::vector<std::string> items = Items(list);
  for (auto& it : items) {
    size_t eq = it.find('=');
    it = eq == std::string::npos ? std::string() : it.substr(0, eq);
  }
  return BuildList(items, list[0]);
}

std::string SUB::RightSides(const std::string& list) {
  if (ItemCount(list) == 0) return std::string();
  std::vector<std::string> items = Items(list);
  for (auto& it : items) {
    size_t eq = it.find('=');
    it = eq == std::string::npos ? std::string() : it.substr(eq + 1);
  }
  return BuildList(items, list[0]);
}

std::string SUB::PairItems(const std::string& keys, const std::string& values,
                           bool trim) {
  std::vector<std::string> ki = Items(keys), vi = Items(values);
  if (trim) {
    DropEmptyTail(ki);
    DropEmptyTail(vi);
  }
  size_t n = std::max(ki.size(), vi.size());
  ki.resize(n);
  vi.resize(n);
  std::vector<std::string> pairs;
  for (size_t i = 0; i < n; ++i) pairs.push_back(ki[i] + "=" + vi[i]);
  return JoinItems(pairs);
}

// ---------------------------------------------------------------- text

std::string SUB::Trim(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && (unsigned char)text[b] <= ' ') ++b;
  while (e > b && (unsigned char)text[e - 1] <= ' ') --e;
  return text.substr(b, e - b);
}

std::string SUB::Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string SUB::Lower(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = LowerChar(c);
  return out;
}

bool SUB::EqualIgnoreCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerChar(a[i]) != LowerChar(b[i])) return false;
  return true;
}

bool SUB::SameText(const std::string& a, const std::string& b) {
  return EqualIgnoreCase(Trim(a), Trim(b));
}

std::string SUB::ReplaceText(const std::string& text, const std::string& find,
                             const std::string& replacement, bool ignoreCase,
                             bool trim) {
  if (text.empty() || find.empty()) return text;
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t at = FindFrom(text, find, pos, ignoreCase);
    if (at == std::string::npos) break;
    out.append(text, pos, at - pos);
    out += replacement;
    pos = at + find.size();
  }
  out.append(text, pos, std::string::npos);
  return trim ? Trim(out) : out;
}

std::string SUB::ReplaceUntilGone(const std::string& text,
                                  const std::string& find,
                                  const std::string& replacement) {
  if (find.empty() || !Contains(text, find) || Contains(replacement, find))
    return text;
  std::string out = text;
  // A replacement that does not shrink the text could in theory rebuild the
  // find text forever; bound the work by the input's size.
  size_t budget = replacement.size() < find.size()
                      ? std::string::npos
                      : 4 * text.size() + 16;
  size_t at;
  while ((at = out.find(find)) != std::string::npos && budget-- > 0)
    out.replace(at, find.size(), replacement);
  return out;
}

size_t SUB::PosFrom(const std::string& find, const std::string& text,
                    long long start, bool ignoreCase) {
  if (start < 1 || find.empty() || size_t(start) > text.size()) return 0;
  size_t at = FindFrom(text, find, size_t(start - 1), ignoreCase);
  return at == std::string::npos ? 0 : at + 1;
}

std::string SUB::TextBefore(const std::string& text, const std::string& sep,
                            const std::string& def, bool trim) {
  size_t at = sep.empty() ? std::string::npos : text.find(sep);
  if (at == std::string::npos) return def;
  std::string out = text.substr(0, at);
  return trim ? Trim(out) : out;
}

std::string SUB::TextAfter(const std::string& text, const std::string& sep,
                           const std::string& def, bool trim) {
  size_t at = sep.empty() ? std::string::npos : text.find(sep);
  if (at == std::string::npos) return def;
  std::string out = text.substr(at + sep.size());
  return trim ? Trim(out) : out;
}

bool SUB::StartsWith(const std::string& text, const std::string& prefix,
                     bool ignoreCase) {
  if (prefix.size() > text.size()) return false;
  std::string head = text.substr(0, prefix.size());
  return ignoreCase ? EqualIgnoreCase(head, prefix) : head == prefix;
}

bool SUB::EndsWith(const std::string& text, const std::string& suffix,
                   bool ignoreCase) {
  if (suffix.size() > text.size()) return false;
  std::string tail = text.substr(text.size() - suffix.size());
  return ignoreCase ? EqualIgnoreCase(tail, suffix) : tail == suffix;
}

std::string SUB::Unquote(const std::string& text, bool all) {
  std::string out = Trim(text);
  while (out.size() >= 2 && out.front() == '"' && out.back() == '"') {
    out = out.substr(1, out.size() - 2);
    if (!all) break;
  }
  return out;
}

std::string SUB::Quote(const std::string& text) {
  return "\"" + Unquote(text) + "\"";
}

std::string SUB::PadLeft(const std::string& text, size_t width, char fill) {
  return text.size() >= width ? text : std::string(width - text.size(), fill) + text;
}

std::string SUB::ZeroPad(int64_t number, size_t width) {
  // The sign stays in front of the zeros: -5 in 3 places is "-05".
  std::string digits = std::to_string(number);
  if (number < 0) return "-" + PadLeft(digits.substr(1), width ? width - 1 : 0, '0');
  return PadLeft(digits, width, '0');
}

std::string SUB::KeepChars(const std::string& text, const std::string& keep) {
  std::string out;
  for (char c : text)
    if (keep.find(c) != std::string::npos) out += c;
  return out;
}

// ---------------------------------------------------------------- numbers

bool SUB::TryParseInt64(const std::string& text, int64_t& out) {
  std::string t = Trim(text);
  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  int base = 10;
  if (i < t.size() && t[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= t.size()) return false;
  uint64_t value = 0;
  // Hexadecimal may spell the full 64-bit pattern (e.g. $FFFFFFFFFFFFFFFF).
  const uint64_t limit = base == 16 ? std::numeric_limits<uint64_t>::max()
                         : negative ? uint64_t(1) << 63
                                    : uint64_t(std::numeric_limits<int64_t>::max());
  for (; i < t.size(); ++i) {
    char c = UpperChar(t[i]);
    int digit = (c >= '0' && c <= '9') ? c - '0'
                : (base == 16 && c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                       : -1;
    if (digit < 0) return false;
    if (value > (limit - uint64_t(digit)) / uint64_t(base)) return false;
    value = value * uint64_t(base) + uint64_t(digit);
  }
  out = negative ? int64_t(0 - value) : int64_t(value);
  return true;
}

int64_t SUB::StrToInt64Def(const std::string& text, int64_t def) {
  int64_t v;
  return TryParseInt64(text, v) ? v : def;
}

int64_t SUB::ParseIntBase(const std::string& text, int base, int64_t def) {
  static const std::string kDigits = "0123456789ABCDEF";
  if (base < 2 || base > 16) return def;
  std::string t = Upper(Trim(text));
  uint64_t value = 0, power = 1;
  for (size_t i = t.size(); i-- > 0;) {
    size_t digit = kDigits.find(t[i]);
    if (digit == std::string::npos || digit >= size_t(base)) return def;
    value += digit * power;  // wraps modulo 2^64 like the register would
    power *= uint64_t(base);
  }
  return int64_t(value);
}

int64_t SUB::ParseHexNumber(const std::string& text, int64_t def) {
  std::string t = Trim(text);
  if (StartsWith(t, "0x", true)) t = t.substr(2);
  return ParseIntBase(t, 16, def);
}

std::string SUB::HexEncode(const std::string& bytes, bool prefixed) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * (prefixed ? 6 : 2));
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = (unsigned char)bytes[i];
    if (prefixed) out += "0x";
    out += kHex[b >> 4];
    out += kHex[b & 15];
    if (prefixed) {
      out += ' ';
      if ((i + 1) % 8 == 0) out += ' ';
    }
  }
  return out;
}

std::string SUB::HexDecode(const std::string& text) {
  auto nibble = [](char c) {
    c = UpperChar(c);
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size() / 2);
  for (size_t i = 0; i + 1 < text.size(); i += 2) {
    int hi = nibble(text[i]), lo = nibble(text[i + 1]);
    out += (hi < 0 || lo < 0) ? '\xFF' : char(hi * 16 + lo);
  }
  return out;
}

double SUB::DecimalFromText(const std::string& text, double def) {
  std::string t = Trim(text);
  if (t.find('.') == std::string::npos) std::replace(t.begin(), t.end(), ',', '.');
  t.erase(std::remove(t.begin(), t.end(), ','), t.end());
  // Plain decimal notation only: strtod alone would also take "inf", "nan"
  // and hexadecimal numbers.
  if (t.empty() || t.find_first_not_of("0123456789+-.eE") != std::string::npos) return def;
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return def;
  return v;
}

std::string SUB::DecimalToText(double value, int decimals) {
  std::string out = FormatFixed(value, std::max(0, std::min(decimals, 20)));
  return out == "." ? "0" : out;
}

std::string SUB::SizeText(int64_t bytes, SizeUnit unit, int decimals,
                          bool thousands) {
  const double divisor = unit == SizeUnit::Kilobytes ? 1024.0 : 1048576.0;
  std::string out;
  if (decimals <= 0) {
    int64_t d = int64_t(divisor);
    int64_t q = bytes / d + ((bytes % d) > 0 ? 1 : 0);
    out = std::to_string(q);
  } else {
    int places = (decimals >= 2 && decimals <= 4) ? decimals : 1;
    out = FormatFixed(double(bytes) / divisor, places);
  }
  return thousands ? GroupThousands(out) : out;
}

// Fresh folder names and salts, nothing secret: a SplitMix64 sequence whose
// start mixes both clocks with where this process's stack lies. Its state is
// one word that every thread steps atomically, so it weighs nothing in the
// stub, unlike the library's engines and their lock.
namespace {
uint64_t NextRandom() {
  static std::atomic<uint64_t> state{0};
  const uint64_t kStep = 0x9E3779B97F4A7C15ull;
  uint64_t expected = 0;
  if (state.load() == 0) {
    int here = 0;
    const uint64_t seed =
        (uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) * kStep) ^
        uint64_t(std::chrono::system_clock::now().time_since_epoch().count()) ^
        (uint64_t(reinterpret_cast<uintptr_t>(&here)) << 16);
    state.compare_exchange_strong(expected, seed | 1);
  }
  uint64_t z = state.fetch_add(kStep) + kStep;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}
}  // namespace

int64_t SUB::RandomInt(int64_t low, int64_t high) {
  if (low > high) std::swap(low, high);
  const uint64_t span = uint64_t(high) - uint64_t(low) + 1;  // 0: the whole range
  const uint64_t r = NextRandom();
  return int64_t(uint64_t(low) + (span == 0 ? r : r % span));
}

// ---------------------------------------------------------------- dates

std::string DateText(const CivilTime& t) {
  std::string month = SUB::GetItem(SUB::kMonthList, t.month, "???");
  return TwoDigits(t.day) + "-" + month + "-" + SUB::ZeroPad(t.year, 4);
}

std::string DateTimeText(const CivilTime& t, const std::string& separator,
                         char timeSeparator) {
  return DateText(t) + separator + TwoDigits(t.hour) + timeSeparator +
         TwoDigits(t.minute) + timeSeparator + TwoDigits(t.second);
}

std::string LogTimeStamp(const CivilTime& t, char dateSeparator,
                         char timeSeparator) {
  return TwoDigits(t.day) + dateSeparator + TwoDigits(t.month) + dateSeparator +
         TwoDigits(((t.year % 100) + 100) % 100) + " " + TwoDigits(t.hour) +
         timeSeparator + TwoDigits(t.minute) + timeSeparator +
         TwoDigits(t.second);
}

uint32_t PackDosDateTime(const CivilTime& t) {
  int year = std::min(std::max(t.year, 1980), 2107);
  uint32_t date = uint32_t((year - 1980) << 9 | (t.month & 15) << 5 | (t.day & 31));
  uint32_t time = uint32_t((t.hour & 31) << 11 | (t.minute & 63) << 5 |
                           ((t.second / 2) & 31));
  return date << 16 | time;
}

CivilTime UnpackDosDateTime(uint32_t packed) {
  CivilTime t;
  uint32_t date = packed >> 16, time = packed & 0xFFFF;
  t.year = int(date >> 9) + 1980;
  t.month = int(date >> 5) & 15;
  t.day = int(date) & 31;
  t.hour = int(time >> 11);
  t.minute = int(time >> 5) & 63;
  t.second = int(time & 31) * 2;
  return t;
}

bool IsValidDosDateTime(uint32_t packed) {
  CivilTime t = UnpackDosDateTime(packed);
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.month < 1 || t.month > 12 || t.day < 1) return false;
  bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
  int days = (t.month == 2 && !leap) ? 28 : kDays[t.month - 1];
  return t.day <= days && t.hour < 24 && t.minute < 60 && t.second < 60;
}

}  // namespace kestro
