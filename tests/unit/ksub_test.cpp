#include "core/Utils/ksub.h"

#include <gtest/gtest.h>

#include <set>

using kestro::SUB;

namespace {
const std::string kZero(1, '\0');
std::string Z(const char* text) {  // "0" in the text stands for a zero byte
  std::string s = text;
  for (char& c : s)
    if (c == '0') c = '\0';
  return s;
}
}  // namespace

// ---------------------------------------------------------------- lists

TEST(SelfDelimitedList, CountsItemsOnlyWhenClosedByItsDelimiter) {
  struct Case { std::string list; int count; } cases[] = {
      {"", 0}, {"|", 0}, {"||", 1}, {"|a|b|c|", 3}, {"|a|b", 0},
      {"*a|b*", 1}, {kZero, 0}, {"|||", 2}};
  for (const auto& c : cases) EXPECT_EQ(SUB::ItemCount(c.list), c.count) << c.list;
}

TEST(SelfDelimitedList, GetsItemsByIndexWithDefaults) {
  const std::string list = "|Error||Confirm|tail";
  EXPECT_EQ(SUB::GetItem(list, 0, "d"), "Error");
  EXPECT_EQ(SUB::GetItem(list, 1, "d"), "d");  // empty item
  EXPECT_EQ(SUB::GetItem(list, 2, "d"), "Confirm");
  EXPECT_EQ(SUB::GetItem(list, 3, "d"), "d");  // text after the last D
  EXPECT_EQ(SUB::GetItem("|a|b|c|", -1), "c");
  EXPECT_EQ(SUB::GetItem("|a|b|c|", -2, "d"), "d");
  EXPECT_EQ(SUB::GetItem("", 0, "d"), "d");
  EXPECT_EQ(SUB::GetItemInt("|12|$1F|x|-7|", 0, -1), 12);
  EXPECT_EQ(SUB::GetItemInt("|12|$1F|x|-7|", 1, -1), 31);
  EXPECT_EQ(SUB::GetItemInt("|12|$1F|x|-7|", 2, -1), -1);
  EXPECT_EQ(SUB::GetItemInt("|12|$1F|x|-7|", 3, -1), -7);
}

TEST(SelfDelimitedList, FindsItemsIgnoringCaseAndBlanks) {
  const std::string list = "  |Alpha|Beta| gamma |";
  EXPECT_EQ(SUB::ItemIndex(list, "beta"), 1);
  EXPECT_EQ(SUB::ItemIndex(list, " ALPHA "), 0);  // tried again trimmed
  EXPECT_EQ(SUB::ItemIndex(list, " gamma "), 2);  // found as passed
  EXPECT_EQ(SUB::ItemIndex(list, "delta", 9), 9);
  EXPECT_EQ(SUB::ItemIndex(list, "be", -1, true), 1);
  EXPECT_EQ(SUB::ItemIndex(list, "be", -1, false), -1);
  EXPECT_TRUE(SUB::HasItem("|a|B|", "B"));
  EXPECT_FALSE(SUB::HasItem("|a|B|", "b"));
  EXPECT_TRUE(SUB::HasItem("|a|B|", "b", false, true));
  EXPECT_TRUE(SUB::HasItem(" |a|B| ", " a ", true));
  EXPECT_FALSE(SUB::HasItem("", "a"));
}

TEST(SelfDelimitedList, ReadsKeyValueItems) {
  const std::string list = "|Name=Kestro|Lang  =en|Empty=|Size=10|";
  EXPECT_EQ(SUB::GetValue(list, "name"), "Kestro");
  EXPECT_EQ(SUB::GetValue(list, "NAME="), "Kestro");
  EXPECT_EQ(SUB::GetValue(list, "lang"), "en");  // blanks before "=" go
  EXPECT_EQ(SUB::GetValue(list, "empty", false, "none", "def"), "none");
  EXPECT_EQ(SUB::GetValue(list, "missing", false, "none", "def"), "def");
  EXPECT_EQ(SUB::GetValue("|a=1", "a", false, "", "def"), "def");  // not closed
  // Without the strip flag only the first run of blanks before "=" goes.
  const std::string two = "|A =1|B =2|";
  EXPECT_EQ(SUB::GetValue(two, "a"), "1");
  EXPECT_EQ(SUB::GetValue(two, "b", false, "", "def"), "def");
  EXPECT_EQ(SUB::GetValue(two, "b", true), "2");
}

TEST(SelfDelimitedList, SetsItemsGrowingAndRedelimiting) {
  EXPECT_EQ(SUB::SetItem("|a|", 3, "d"), "|a|||d|");
  EXPECT_EQ(SUB::ItemCount(SUB::SetItem("|a|", 3, "d")), 4);
  EXPECT_EQ(SUB::SetItem("|a|b|", 1, "x"), "|a|x|");
  EXPECT_EQ(SUB::SetItem("", 0, "x"), "|x|");
  EXPECT_EQ(SUB::SetItem("|a|b|", 0, "x|y"), "*x|y*b*");
  EXPECT_EQ(SUB::SetItem("|a|b*|", 0, "x|y"), "~x|y~b*~");
  EXPECT_EQ(SUB::SetItem("|a|b|", -1, "z"), "|a|z|");
}

// A list that lost its closing delimiter still has the items GetItem reads
// (text after the last delimiter is none); editing one must keep the others.
TEST(SelfDelimitedList, EditsKeepEveryItemOfAnUnclosedList) {
  struct Case { std::string list; int index; std::string value, out; } cases[] = {
      {"|a|b", 1, "x", "|a|x|"},
      {"|a|b|c", 0, "x", "|x|b|"},
      {"|a|b|c", 3, "x", "|a|b||x|"},
      {"|a|b|c", -1, "x", "|a|x|"},      // "c" is no item: b is the last one
      {"|a|b|c", 0, "x|y", "*x|y*b*"},   // re-delimited, b kept
      {"|255|255|1", 2, "7", "|255|255|7|"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::SetItem(c.list, c.index, c.value), c.out) << c.list << " " << c.index;
  EXPECT_EQ(SUB::PairItems("|a|b|c", "|1|2|"), "|a=1|b=2|");
  EXPECT_EQ(SUB::PairItems("|a|b|", "|1|2|x"), "|a=1|b=2|");
  EXPECT_EQ(SUB::PairItems("|a||", "|1||x", true), "|a=1|");
}

TEST(SelfDelimitedList, DeletesItems) {
  struct Case { std::string list; int index; std::string out; } cases[] = {
      {"|a|b|c|", 1, "|a|c|"}, {"|a|b|c|", -1, "|a|b|"},
      {"|a|b|c|", 3, "|a|b|c|"}, {"|a|", 0, ""}, {"", 0, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(SUB::DeleteItem(c.list, c.index), c.out) << c.list << " " << c.index;
}

TEST(SelfDelimitedList, JoinsAndAppendsWithAFreeDelimiter) {
  EXPECT_EQ(SUB::JoinItems({"a", "b"}), "|a|b|");
  EXPECT_EQ(SUB::JoinItems({"a|1", "b"}), "*a|1*b*");
  EXPECT_EQ(SUB::JoinItems({}), "");
  EXPECT_EQ(SUB::JoinItems({""}), "||");
  EXPECT_EQ(SUB::JoinItems({"a", "A ", "b"}, true), "|a|b|");
  EXPECT_EQ(SUB::AppendItems("|a|", {"b", "c"}), "|a|b|c|");
  EXPECT_EQ(SUB::AppendItems("|a|", {"b|c"}), "*a*b|c*");
  EXPECT_EQ(SUB::AppendItems("", {"b"}), "|b|");
  EXPECT_EQ(SUB::AppendItems("|a|", {}), "|a|");
  EXPECT_EQ(SUB::AppendItems("|a|b|", {"B", "c"}, true), "|a|b|c|");
}

TEST(SelfDelimitedList, FixDelimiterSkipsEveryTakenCandidate) {
  EXPECT_EQ(SUB::FixDelimiter(Z("0a0b0")), "|a|b|");
  EXPECT_EQ(SUB::FixDelimiter("|a|b|"), "|a|b|");
  EXPECT_EQ(SUB::FixDelimiter(Z("0|*~^!@#$&0")), "\xFF|*~^!@#$&\xFF");
  EXPECT_EQ(SUB::FixDelimiter(kZero), "");
  // Every candidate taken: the items must still stay apart.
  std::string crowded = Z("0|*~^!@#$&\xFF" "0x0");
  std::string fixed = SUB::FixDelimiter(crowded);
  ASSERT_EQ(SUB::ItemCount(fixed), 2);
  EXPECT_EQ(SUB::GetItem(fixed, 0), "|*~^!@#$&\xFF");
  EXPECT_EQ(SUB::GetItem(fixed, 1), "x");
}

// Beyond the usual candidates a printable byte is taken before a control
// byte: Trim would strip a control delimiter off the list's ends and a
// profile value cannot hold one.
TEST(SelfDelimitedList, FixDelimiterFallsBackToPrintableBytes) {
  auto allBytesBut = [](const std::string& keep) {
    std::string taken;
    for (int c = 1; c < 256; ++c)
      if (keep.find(char(c)) == std::string::npos) taken += char(c);
    return taken;
  };
  struct Case { std::string taken; char delimiter; } cases[] = {
      {"|*~^!@#$&\xFF", '%'},
      {"|*~^!@#$&\xFF%()", '+'},
      {allBytesBut(std::string("\x01\x80\"", 3)), '\x80'},      // quotes and controls last
      {allBytesBut(std::string("\x01\"", 2)), '"'},
      {allBytesBut(std::string("\x01", 1)), '\x01'},             // nothing else is free
  };
  for (const auto& c : cases) {
    const std::string fixed = SUB::FixDelimiter(kZero + c.taken + kZero + "x" + kZero);
    ASSERT_EQ(SUB::ItemCount(fixed), 2) << int((unsigned char)c.delimiter);
    EXPECT_EQ(fixed[0], c.delimiter);
    EXPECT_EQ(SUB::GetItem(fixed, 0), c.taken);
    EXPECT_EQ(SUB::GetItem(fixed, 1), "x");
  }
}

TEST(SelfDelimitedList, ReordersFiltersAndSplitsItems) {
  EXPECT_EQ(SUB::ReverseItems("|a|b||c|"), "|c||b|a|");
  EXPECT_EQ(SUB::UniqueItems("|a|A| a ||b|"), "|a|b|");
  EXPECT_EQ(SUB::TrimEmptyItems("|||a||b|||"), "|||a||b|");
  EXPECT_EQ(SUB::TrimEmptyItems("|||a||b|||", true, true), "|a||b|");
  EXPECT_EQ(SUB::TrimEmptyItems("||||"), "");
  EXPECT_EQ(SUB::ChangeDelimiter("|a|b|", '*'), "*a*b*");
  EXPECT_EQ(SUB::LeftSides("|a=1|b|c=2=3|"), "|a||c|");
  EXPECT_EQ(SUB::RightSides("|a=1|b|c=2=3|"), "|1||2=3|");
  EXPECT_EQ(SUB::PairItems("|a|b|c|", "|1|2|"), "|a=1|b=2|c=|");
  EXPECT_EQ(SUB::PairItems("|a|b|||", "|1||", true), "|a=1|b=|");
}

// ---------------------------------------------------------------- text

TEST(TextRoutines, ReplaceTextIsLeftToRightAndNotRescanned) {
  struct Case {
    std::string text, find, repl;
    bool ignoreCase, trim;
    std::string out;
  } cases[] = {
      {"aaa", "aa", "b", false, false, "ba"},
      {"<Dir>x<DIR>", "<dir>", "C:", true, false, "C:xC:"},
      {"<Dir>x<DIR>", "<dir>", "C:", false, false, "<Dir>x<DIR>"},
      {"abab", "ab", "abab", false, false, "abababab"},
      {"  a-b  ", "-", " ", false, true, "a b"},
      {"", "a", "b", false, false, ""},
      {"abc", "", "x", false, false, "abc"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::ReplaceText(c.text, c.find, c.repl, c.ignoreCase, c.trim), c.out)
        << c.text;
}

TEST(TextRoutines, ReplaceUntilGoneCollapsesRuns) {
  EXPECT_EQ(SUB::ReplaceUntilGone("|a   =1|b =2|", " =", "="), "|a=1|b=2|");
  EXPECT_EQ(SUB::ReplaceUntilGone("xx", "x", "xx"), "xx");  // would never end
  // A growing replacement that keeps recreating the find text still stops.
  std::string grown = SUB::ReplaceUntilGone("aab", "ab", "bbaa");
  EXPECT_FALSE(grown.empty());
}

TEST(TextRoutines, SearchesAndSplits) {
  EXPECT_EQ(SUB::PosFrom("b", "abcb", 1), 2u);
  EXPECT_EQ(SUB::PosFrom("b", "abcb", 3), 4u);
  EXPECT_EQ(SUB::PosFrom("B", "abcb", 3, true), 4u);
  EXPECT_EQ(SUB::PosFrom("b", "abcb", 0), 0u);
  EXPECT_EQ(SUB::PosFrom("b", "abcb", 9), 0u);
  EXPECT_EQ(SUB::TextBefore("key = value", "=", "d", true), "key");
  EXPECT_EQ(SUB::TextAfter("key = value", "=", "d", true), "value");
  EXPECT_EQ(SUB::TextAfter("key", "=", "d"), "d");
  EXPECT_TRUE(SUB::StartsWith("Setup.EXE", "setup", true));
  EXPECT_FALSE(SUB::StartsWith("Setup.EXE", "setup"));
  EXPECT_TRUE(SUB::EndsWith("Setup.EXE", ".exe", true));
  EXPECT_FALSE(SUB::EndsWith("e", ".exe", true));
  EXPECT_TRUE(SUB::SameText("  Abc ", "aBC"));
}

TEST(TextRoutines, QuotesPadsAndFilters) {
  EXPECT_EQ(SUB::Unquote("  \"\"a\"\"  "), "\"a\"");
  EXPECT_EQ(SUB::Unquote("  \"\"a\"\"  ", true), "a");
  EXPECT_EQ(SUB::Unquote("\""), "\"");
  EXPECT_EQ(SUB::Quote(" \"a b\" "), "\"a b\"");
  EXPECT_EQ(SUB::PadLeft("42", 5), "   42");
  EXPECT_EQ(SUB::PadLeft("123456", 3), "123456");
  EXPECT_EQ(SUB::ZeroPad(7, 3), "007");
  EXPECT_EQ(SUB::ZeroPad(-5, 3), "-05");
  EXPECT_EQ(SUB::KeepChars("v1.2b-3", "0123456789."), "1.23");
  EXPECT_EQ(SUB::BoolText(true) + SUB::BoolChar(false), "TRUE0");
}

// ---------------------------------------------------------------- numbers

TEST(Numbers, ParseIntBaseAndHex) {
  struct Case { std::string text; int base; int64_t out; } cases[] = {
      {"ff", 16, 255}, {" 1A ", 16, 26}, {"1G", 16, -1}, {"", 16, 0},
      {"777", 8, 511}, {"8", 8, -1}, {"101", 2, 5}, {"12", 1, -1}, {"-1", 10, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(SUB::ParseIntBase(c.text, c.base, -1), c.out) << c.text;
  EXPECT_EQ(SUB::ParseHexNumber("0x1f", -1), 31);
  EXPECT_EQ(SUB::ParseHexNumber("0X1F", -1), 31);
  EXPECT_EQ(SUB::ParseHexNumber("0xZ", -1), -1);
}

TEST(Numbers, Int64TextsRejectGarbageAndOverflow) {
  struct Case { std::string text; int64_t out; } cases[] = {
      {"42", 42}, {" -42 ", -42}, {"$FF", 255}, {"0x10", 16},
      {"9223372036854775807", INT64_MAX}, {"-9223372036854775808", INT64_MIN},
      {"9223372036854775808", -1}, {"12ab", -1}, {"", -1}, {"-", -1}, {"$", -1}};
  for (const auto& c : cases) EXPECT_EQ(SUB::StrToInt64Def(c.text, -1), c.out) << c.text;
}

TEST(Numbers, HexRoundTripsEveryByte) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += char(i);
  EXPECT_EQ(SUB::HexDecode(SUB::HexEncode(all)), all);
  EXPECT_EQ(SUB::HexEncode("\x01\xAB"), "01AB");
  EXPECT_EQ(SUB::HexEncode("12345678\x09", true),
            "0x31 0x32 0x33 0x34 0x35 0x36 0x37 0x38  0x09 ");
  EXPECT_EQ(SUB::HexDecode("41zz4"), "A\xFF");  // bad pair, odd tail ignored
}

TEST(Numbers, DecimalTexts) {
  EXPECT_DOUBLE_EQ(SUB::DecimalFromText("1,5", -1), 1.5);
  EXPECT_DOUBLE_EQ(SUB::DecimalFromText("1,234.5", -1), 1234.5);
  EXPECT_DOUBLE_EQ(SUB::DecimalFromText("abc", -1), -1);
  EXPECT_DOUBLE_EQ(SUB::DecimalFromText("", -1), -1);
  EXPECT_EQ(SUB::DecimalToText(3.14159, 2), "3.14");
  EXPECT_EQ(SUB::DecimalToText(2, 0), "2");
}

TEST(Numbers, DecimalFromTextTakesOnlyPlainFiniteNumbers) {
  struct Case { const char* text; double value; } cases[] = {
      {" 2.5 ", 2.5}, {"-.5", -0.5}, {"1e3", 1000}, {"+7", 7},
      {"inf", -1}, {"nan", -1}, {"0x10", -1}, {"1e999", -1},
      {"1e", -1}, {"1 2", -1}, {"1.2.3", -1}, {"--1", -1},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(SUB::DecimalFromText(c.text, -1), c.value) << c.text;
}

TEST(Numbers, SizeTextRoundsAndGroups) {
  using U = SUB::SizeUnit;
  struct Case { int64_t bytes; U unit; int decimals; bool thousands; std::string out; }
  cases[] = {
      {1025, U::Kilobytes, 0, false, "2"},
      {1024, U::Kilobytes, 0, false, "1"},
      {1025, U::Kilobytes, 2, false, "1.00"},
      {1536, U::Kilobytes, 1, false, "1.5"},
      {1536, U::Kilobytes, 7, false, "1.5"},
      {0, U::Kilobytes, 2, false, "0.00"},
      {0, U::Megabytes, 0, false, "0"},
      {5 * 1048576LL + 1, U::Megabytes, 0, false, "6"},
      {1234567LL * 1024, U::Kilobytes, 0, true, "1,234,567"},
      {1234567LL * 1024, U::Kilobytes, 3, true, "1,234,567.000"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SUB::SizeText(c.bytes, c.unit, c.decimals, c.thousands), c.out) << c.bytes;
}

TEST(Numbers, RandomIntStaysInBoundsAndVaries) {
  std::set<int64_t> seen;
  for (int i = 0; i < 500; ++i) {
    int64_t v = SUB::RandomInt(33, 122);
    ASSERT_GE(v, 33);
    ASSERT_LE(v, 122);
    seen.insert(v);
  }
  EXPECT_GT(seen.size(), 40u);
  EXPECT_EQ(SUB::RandomInt(5, 5), 5);
}

// ---------------------------------------------------------------- dates

TEST(Dates, TextsOfACivilTime) {
  kestro::CivilTime t;
  t.year = 2026, t.month = 12, t.day = 6, t.hour = 7, t.minute = 5, t.second = 9;
  EXPECT_EQ(kestro::DateText(t), "06-DEC-2026");
  EXPECT_EQ(kestro::DateTimeText(t, " "), "06-DEC-2026 07:05:09");
  EXPECT_EQ(kestro::LogTimeStamp(t), "06/12/26 07:05:09");
  EXPECT_EQ(kestro::LogTimeStamp(t, '.', '.'), "06.12.26 07.05.09");
  t.month = 1;
  EXPECT_EQ(kestro::DateText(t), "06-JAN-2026");
}

TEST(Dates, PackedDosDateTimeRoundTrips) {
  kestro::CivilTime t;
  t.year = 2026, t.month = 12, t.day = 6, t.hour = 23, t.minute = 59, t.second = 58;
  uint32_t packed = kestro::PackDosDateTime(t);
  EXPECT_EQ(packed >> 16, uint32_t((46 << 9) | (12 << 5) | 6));
  kestro::CivilTime back = kestro::UnpackDosDateTime(packed);
  EXPECT_EQ(back.year, 2026);
  EXPECT_EQ(back.month, 12);
  EXPECT_EQ(back.day, 6);
  EXPECT_EQ(back.hour, 23);
  EXPECT_EQ(back.minute, 59);
  EXPECT_EQ(back.second, 58);
  EXPECT_TRUE(kestro::IsValidDosDateTime(packed));
  EXPECT_FALSE(kestro::IsValidDosDateTime(0));
  EXPECT_FALSE(kestro::IsValidDosDateTime(kestro::PackDosDateTime({2026, 2, 30})));
}
