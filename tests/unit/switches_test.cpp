#include "core/StubGlob/switches.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

const char kExe[] = "C:\\Setups\\Setup Product.exe";

TEST(Switches, ParamsDropTheProgramName) {
  struct Case {
    const char* raw;
    const char* params;
  } cases[] = {
      {"\"C:\\Setups\\Setup Product.exe\" /hide /x=1", "/hide /x=1"},
      {"\"C:\\Setups\\Setup Product.exe\" ", ""},
      {"\"C:\\Setups\\setup product.EXE\"  /a", "/a"},  // case ignored
      {"C:\\Setups\\Setup Product.exe /a", "/a"},
      {"Setup Product.exe x", ""},  // one character left counts as nothing
      {"Setup /a /b", "/a /b"},     // started without extension
      {"\"Setup\" /a", "/a"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(GetParams(c.raw, kExe, AsciiCase()), c.params) << c.raw;
}

TEST(Switches, ValuesFollowTheReaderRules) {
  const std::string p =
      "/spancdlvl=2 /SpanDiskFName1=\"C:\\My Setups\\Setup.exe.001\" /OriginExe=\"C:\\A B\\s.exe\" "
      "/Empty= /Dup=first /Dup=second /Name =spaced /Url=http://h/x /hide -Dash=d";
  struct Case {
    const char* name;
    const char* value;
  } cases[] = {
      {"/SpanCdLvl=", "2"},
      {"/SpanDiskFName1=", "C:\\My Setups\\Setup.exe.001"},
      {"/OriginExe=", "C:\\A B\\s.exe"},
      {"/Empty=", ""},
      {"/Dup=", "first"},
      {"/Name=", "spaced"},
      {"/Name", "spaced"},
      {"-Dash=", "d"},
      {"/Url=", "http://h/x"},
      {"/Missing=", "<def>"},
      {"/Dash=", "<def>"},  // a "-" switch is not a "/" switch
      {"  ", "<def>"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetSwitchValue(p, c.name, "<def>", AsciiCase()), c.value) << c.name;
}

TEST(Switches, IntegersFallBackToTheDefault) {
  struct Case {
    const char* params;
    int64_t value;
  } cases[] = {
      {"/SpanCdLvl=2", 2},        {"/SPANCDLVL=$1F", 31},      {"/SpanCdLvl=-5", -5},
      {"/SpanCdLvl=abc", 1},      {"/SpanCdLvl=", 1},          {"", 1},
      {"/SpanCdLvl=12x", 1},      {"/SpanCdLvl=99999999999999999999", 1},
      {"/SpanCdLvl=9223372036854775807", INT64_MAX},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetSwitchInt(c.params, kSwSpanCdLvl, 1, AsciiCase()), c.value) << c.params;
}

TEST(Switches, FlagsMustEndAtABlankOrTheEnd) {
  EXPECT_TRUE(HasSwitch("/a=1 /hide", kSwHide, AsciiCase()));
  EXPECT_TRUE(HasSwitch("/HIDE /a=1", kSwHide, AsciiCase()));
  EXPECT_FALSE(HasSwitch("/hidden /a=1", kSwHide, AsciiCase()));
  EXPECT_FALSE(HasSwitch("", kSwHide, AsciiCase()));
  EXPECT_FALSE(HasSwitch("/a", "", AsciiCase()));
}

TEST(Switches, RemovalStopsAtTheNextSwitchCharacter) {
  EXPECT_EQ(RemoveSwitch("e.exe /SpanCdLvl=2 /x", kSwSpanCdLvl), "e.exe /x");
  EXPECT_EQ(RemoveSwitch("e.exe /x /SpanCdLvl=2", kSwSpanCdLvl), "e.exe /x ");
  EXPECT_EQ(RemoveSwitch("e.exe /SpanCdLvl=1 /a /SpanCdLvl=2 /b", kSwSpanCdLvl), "e.exe /a /b");
  EXPECT_EQ(RemoveSwitch("e.exe /spancdlvl=2 /x", kSwSpanCdLvl), "e.exe /spancdlvl=2 /x");
}

TEST(Switches, EngineLineCarriesParamsDefaultsTokenAndOrigin) {
  EngineLineInput in;
  in.folder = "C:\\TEMP\\SETUP_123";
  in.engineEntry = "Engine.exe* /Lang=tr  ";
  in.params = "/hide";
  in.threadId = 42;
  in.ownExe = kExe;
  EngineLine e = BuildEngineLine(in);
  EXPECT_EQ(e.runId, "_42");
  EXPECT_EQ(e.line,
            "C:\\TEMP\\SETUP_123\\Engine.exe /hide /Lang=tr /TH_ID=_42 "
            "/OriginExe=\"C:\\Setups\\Setup Product.exe\"");

  in.engineEntry = "Engine.exe";
  in.params = "";
  in.isAgent = true;
  EXPECT_EQ(BuildEngineLine(in).line,
            "C:\\TEMP\\SETUP_123\\Engine.exe /TH_ID=_42 "
            "/OriginExe=\"C:\\Setups\\Setup Product.exe\" /AutoUpdateProg");
}

TEST(Switches, EngineLineOfTheRelayCopyKeepsItsOriginAndDropsSpanSwitches) {
  const std::string relayLine =
      BuildRelayLine("C:\\T\\SETUP_9\\Y_setup.exe", "/q", "D:\\setup.exe", AsciiCase());
  EXPECT_EQ(relayLine,
            "C:\\T\\SETUP_9\\Y_setup.exe /q /SpanCdLvl=2 /SpanDiskFName1=\"D:\\setup.exe.001\" "
            "/OriginExe=\"D:\\setup.exe\"");
  // Span switches the user gave do not reach the copy before the launcher's:
  // the copy reads the first one and would start a copy again.
  const std::string userSpan = BuildRelayLine("C:\\T\\Y_s.exe",
                                              "/spancdlvl=1 /q /SpanDiskFName1=E:\\x", "D:\\s.exe", AsciiCase());
  EXPECT_EQ(userSpan, "C:\\T\\Y_s.exe /q /SpanCdLvl=2 /SpanDiskFName1=\"D:\\s.exe.001\" "
                      "/OriginExe=\"D:\\s.exe\"");
  EXPECT_EQ(GetSwitchInt(GetParams(userSpan, "C:\\T\\Y_s.exe", AsciiCase()), kSwSpanCdLvl, 1, AsciiCase()), 2);
  EngineLineInput in;
  in.folder = "C:\\T\\SETUP_9\\";
  in.engineEntry = "e.exe";
  in.params = GetParams(relayLine, "C:\\T\\SETUP_9\\Y_setup.exe", AsciiCase());
  in.threadId = 7;
  in.ownExe = "C:\\T\\SETUP_9\\Y_setup.exe";
  EXPECT_EQ(BuildEngineLine(in).line,
            "C:\\T\\SETUP_9\\e.exe /q /OriginExe=\"D:\\setup.exe\" /TH_ID=_7");
}

// Code pages as the system reports them: a double-byte one whose second
// bytes reach into the ASCII letters, and a single-byte one with accented
// capitals.
bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

TextCase ShiftJisCase() {
  TextCase t = AsciiCase();
  t.isLead = ShiftJisLead;
  return t;
}

TextCase WesternCase() {
  TextCase t = AsciiCase();
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) t.upper[size_t(c)] = static_cast<unsigned char>(c - 0x20);
  return t;
}

// "\x83\x62" and "\x83\x42" are two different characters of the double-byte
// code page; upper-casing their second byte would make them one.
TEST(Switches, NamesAreMatchedInTheCodePagesOwnCase) {
  const TextCase sjis = ShiftJisCase(), western = WesternCase();
  struct Case {
    const char* what;
    const TextCase& textCase;
    const char* params;
    const char* name;
    const char* value;
  } cases[] = {
      {"other character, same lead", sjis, "/\x83\x42x=1", "/\x83\x62x=", "<def>"},
      {"same character, letter case", sjis, "/\x83\x62x=1", "/\x83\x62X=", "1"},
      {"not on a second byte", sjis, "/\x83\x62=1 /b=2", "/b=", "2"},
      {"accented capital", western, "/caf\xE9=1", "/CAF\xC9=", "1"},
      {"ASCII only", AsciiCase(), "/caf\xE9=1", "/CAF\xC9=", "<def>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(GetSwitchValue(c.params, c.name, "<def>", c.textCase), c.value) << c.what;

  EXPECT_FALSE(HasSwitch("/\x83\x42 /a", "/\x83\x62", sjis));
  EXPECT_TRUE(HasSwitch("/\x83\x62 /a", "/\x83\x62", sjis));
  // A folder "<\x83\x62>c.exe" holds the bytes of "bc.exe" from a second byte
  // on; the program's own name is the one after it.
  EXPECT_EQ(GetParams("C:\\\x83\x62" "c.exe\\BC.EXE /x", "C:\\\x83\x62" "c.exe\\bc.exe", sjis), "/x");
  // A setup named "<\x83\x42>.exe" in a folder "<\x83\x62>.exe".
  EXPECT_EQ(GetParams("C:\\\x83\x62.exe\\\x83\x42.exe /hide", "C:\\\x83\x62.exe\\\x83\x42.exe", sjis),
            "/hide");
}

TEST(Switches, PathsWithBlanksAreQuotedAtTheHeadOfALine) {
  EXPECT_EQ(CommandPath("C:\\a\\b.exe"), "C:\\a\\b.exe");
  EXPECT_EQ(CommandPath("C:\\Program Files\\b.exe"), "\"C:\\Program Files\\b.exe\"");
  EngineLineInput in;
  in.folder = "C:\\Documents and Settings\\u\\Temp\\SETUP_1";
  in.engineEntry = "e.exe";
  in.threadId = 1;
  in.ownExe = "C:\\s.exe";
  EXPECT_EQ(BuildEngineLine(in).line,
            "\"C:\\Documents and Settings\\u\\Temp\\SETUP_1\\e.exe\" /TH_ID=_1 /OriginExe=\"C:\\s.exe\"");
}

}  // namespace
}  // namespace kestro
