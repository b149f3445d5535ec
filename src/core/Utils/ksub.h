// Self-delimited lists and the text routines every module shares.
//
// A self-delimited list is one text whose first character D is its delimiter
// and whose last character is D as well; the items are the texts between
// consecutive D characters:
//
//     "|Error|Attention|Confirm|"   ->  Error, Attention, Confirm
//     "||"                          ->  one empty item
//
// Items are numbered from 0; index -1 names the last item. Lists under
// construction use the zero character as provisional delimiter and
// FixDelimiter picks the first free one of kDelimiterCandidates. Every
// operation takes texts and returns a new text; nothing is modified in place.
// Case-insensitive comparisons concern the ASCII letters only.
#pragma once

// <windows.h> maps ReplaceText to ReplaceTextA (a common dialog); SUB's
// routine must keep its own name where both headers meet. Include this
// header after <windows.h>.
#ifdef ReplaceText
#undef ReplaceText
#endif

#include <cstdint>
#include <string>
#include <vector>

namespace kestro {

class SUB {
 public:
  // Tried in this order when a list needs a delimiter no item contains.
  static constexpr const char kDelimiterCandidates[] = "|*~^!@#$&\xFF";

  // ---- lists ----
  static int ItemCount(const std::string& list);
  // The items as a vector (text after the last D is not an item).
  static std::vector<std::string> Items(const std::string& list);
  static std::string GetItem(const std::string& list, int index,
                             const std::string& def = "");
  static int64_t GetItemInt(const std::string& list, int index, int64_t def);
  static int ItemIndex(const std::string& list, const std::string& item,
                       int def = -1, bool prefix = false);
  static bool HasItem(const std::string& list, const std::string& item,
                      bool trim = false, bool ignoreCase = false);
  static std::string GetValue(const std::string& list, const std::string& key,
                              bool strip = false,
                              const std::string& ifEmpty = "",
                              const std::string& def = "");
  static std::string SetItem(const std::string& list, int index,
                             const std::string& value);
  static std::string DeleteItem(const std::string& list, int index);
  static std::string JoinItems(const std::vector<std::string>& items,
                               bool dedupe = false);
  static std::string AppendItems(const std::string& list,
                                 const std::vector<std::string>& items,
                                 bool dedupe = false);
  static std::string ReverseItems(const std::string& list);
  static std::string UniqueItems(const std::string& list);
  static std::string TrimEmptyItems(const std::string& list, bool atEnd = true,
                                    bool atStart = false);
  static std::string FixDelimiter(const std::string& list);
  static std::string ChangeDelimiter(const std::string& list, char delimiter);
  static std::string LeftSides(const std::string& list);
  static std::string RightSides(const std::string& list);
  static std::string PairItems(const std::string& keys,
                               const std::string& values, bool trim = false);

  // ---- text ----
  // Removes every character up to and including the blank from both ends.
  static std::string Trim(const std::string& text);
  static std::string Upper(const std::string& text);
  static std::string Lower(const std::string& text);
  static bool SameText(const std::string& a, const std::string& b);
  static bool EqualIgnoreCase(const std::string& a, const std::string& b);

  static std::string ReplaceText(const std::string& text,
                                 const std::string& find,
                                 const std::string& replacement,
                                 bool ignoreCase = false, bool trim = false);
  static std::string ReplaceUntilGone(const std::string& text,
                                      const std::string& find,
                                      const std::string& replacement);
  // 1-based position of find in text at or after start; 0 when absent.
  static size_t PosFrom(const std::string& find, const std::string& text,
                        long long start = 1, bool ignoreCase = false);
  static std::string TextBefore(const std::string& text, const std::string& sep,
                                const std::string& def = "", bool trim = false);
  static std::string TextAfter(const std::string& text, const std::string& sep,
                               const std::string& def = "", bool trim = false);
  static bool StartsWith(const std::string& text, const std::string& prefix,
                         bool ignoreCase = false);
  static bool EndsWith(const std::string& text, const std::string& suffix,
                       bool ignoreCase = false);
  static std::string Unquote(const std::string& text, bool all = false);
  static std::string Quote(const std::string& text);
  static std::string PadLeft(const std::string& text, size_t width,
                             char fill = ' ');
  static std::string ZeroPad(int64_t number, size_t width);
  static std::string KeepChars(const std::string& text,
                               const std::string& keep);
  static std::string BoolText(bool b) { return b ? "TRUE" : "FALSE"; }
  static std::string BoolChar(bool b) { return b ? "1" : "0"; }
  static std::string Choose(bool first, const std::string& a,
                            const std::string& b) {
    return first ? a : b;
  }
  static int64_t Choose(bool first, int64_t a, int64_t b) {
    return first ? a : b;
  }

  // ---- numbers ----
  // Decimal, or hexadecimal after "$" or "0x"; optional sign; surrounding
  // blanks allowed. False on anything else or on overflow.
  static bool TryParseInt64(const std::string& text, int64_t& out);
  static int64_t StrToInt64Def(const std::string& text, int64_t def);
  static int64_t ParseIntBase(const std::string& text, int base, int64_t def);
  static int64_t ParseHexNumber(const std::string& text, int64_t def);
  static std::string HexEncode(const std::string& bytes, bool prefixed = false);
  static std::string HexDecode(const std::string& text);
  static double DecimalFromText(const std::string& text, double def);
  static std::string DecimalToText(double value, int decimals);
  enum class SizeUnit { Kilobytes, Megabytes };
  static std::string SizeText(int64_t bytes, SizeUnit unit, int decimals,
                              bool thousands = false);
  // Inclusive bounds; bounds given in the wrong order are swapped.
  static int64_t RandomInt(int64_t low, int64_t high);

  // ---- dates ----
  static constexpr const char kMonthList[] =
      "||JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|OCT|NOV|DEC|";
};

// A broken-down local date and time (no time zone; what the clock shows).
struct CivilTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Days from 1 January 1970 to a date of the proleptic Gregorian calendar
// (negative before it).
constexpr int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yoe = year - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// "06-DEC-2026"
std::string DateText(const CivilTime& t);
// DateText + separator + "HH:NN:SS"
std::string DateTimeText(const CivilTime& t, const std::string& separator,
                         char timeSeparator = ':');
// "dd/mm/yy HH:NN:SS" with the locale's separators.
std::string LogTimeStamp(const CivilTime& t, char dateSeparator = '/',
                         char timeSeparator = ':');

// Packed DOS date-time: date in the high 16 bits (years since 1980 << 9,
// month << 5, day), time in the low 16 bits (hour << 11, minute << 5,
// seconds / 2). Years outside 1980..2107 are clamped to that range.
uint32_t PackDosDateTime(const CivilTime& t);
CivilTime UnpackDosDateTime(uint32_t packed);
// A packed value whose fields name a real calendar date and time.
bool IsValidDosDateTime(uint32_t packed);

}  // namespace kestro
