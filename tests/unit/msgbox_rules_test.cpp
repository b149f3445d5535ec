#include "core/KMsgBox/msgbox_rules.h"

#include <gtest/gtest.h>

#include "core/KMsgBox/markup.h"

namespace kestro {
namespace {

// ---- front end ---------------------------------------------------------------

TEST(MsgBoxFrontEnd, ModeZeroPutsTheTitleInAsBoldHeading) {
  const MsgBoxRequest r = PrepareMsgBox(0, "Disk full", "Error", 0x10, 0);
  EXPECT_EQ(r.text, "<<b>ERROR</b><P><P>Disk full<P>");
  const PlainText p = ParseMarkup(r.text);
  EXPECT_EQ(p.text, "ERROR\r\n\r\nDisk full\r\n");
  EXPECT_EQ(p.bold, (std::vector<BoldRun>{{0, 5}}));
  EXPECT_EQ(r.flags, 0x10u | kMbAlwaysSet);
}

TEST(MsgBoxFrontEnd, TranslatedTitleKeepsItsCase) {
  EXPECT_EQ(PrepareMsgBox(0, "x", "Hata", 0, 0).text, "<<b>Hata</b><P><P>x<P>");
  EXPECT_EQ(PrepareMsgBox(0, "x", "", 0, 0).text, "<<b></b><P><P>x<P>");
}

TEST(MsgBoxFrontEnd, ModesAndOwners) {
  struct Case {
    std::uintptr_t mode;
    bool heading;
    bool noClose;
  } cases[] = {{0, true, false}, {1, false, false}, {2, false, true}, {0x10042, false, false}};
  for (const Case& c : cases) {
    const MsgBoxRequest r = PrepareMsgBox(c.mode, "body", "Confirm", 0x24, 0);
    EXPECT_EQ(r.text != "body", c.heading) << c.mode;
    EXPECT_EQ((r.flags & kMbNoClose) != 0, c.noClose) << c.mode;
    EXPECT_EQ(r.flags & 0xFFF, 0x24u) << c.mode;
  }
}

TEST(MsgBoxFrontEnd, HebrewAndArabicCharsetsReadRightToLeft) {
  for (int charset : {0, 1, 161, 162, 177, 178, 204}) {
    const std::uint32_t f = PrepareMsgBox(1, "x", "", 0, charset).flags;
    const bool rtl = charset == 177 || charset == 178;
    EXPECT_EQ((f & (kMbRight | kMbRtlReading)) == (kMbRight | kMbRtlReading), rtl) << charset;
    EXPECT_EQ((f & (kMbRight | kMbRtlReading)) == 0, !rtl) << charset;
  }
}

// ---- measuring ---------------------------------------------------------------

int SixPixelsPerChar(const std::string& line) { return static_cast<int>(line.size()) * 6; }

TEST(MsgBoxMeasure, LinesAndWrapping) {
  const int lh = 13;
  struct Case {
    const char* name;
    std::string text;
    Extent want;
  } cases[] = {
      {"empty text is one space", "", {16, 13}},
      {"final CR LF adds no line", "abcd\r\n", {34, 13}},
      {"empty line inside counts", "ab\r\n\r\nabcdef", {46, 39}},
      {"line of 700 px is two lines, width capped", std::string(700 / 6 + 1, 'x'), {600, 26}},
      {"line of exactly 600 px is two lines", std::string(100, 'x'), {600, 26}},
      {"line of 1300 px is three lines", std::string(1300 / 6 + 1, 'x'), {600, 39}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MeasureMsgBoxText(c.text, lh, SixPixelsPerChar), c.want) << c.name;
}

TEST(MsgBoxMeasure, LineHeightOfPGothicIsOnePixelTaller) {
  EXPECT_EQ(MsgBoxLineHeight(13, 0, "Tahoma"), 13);
  EXPECT_EQ(MsgBoxLineHeight(13, 2, " ms pgothic "), 16);
}

TEST(MsgBoxMeasure, EmptyTextGivesMinimumWidthBox) {
  const Extent text = MeasureMsgBoxText("", 13, SixPixelsPerChar);
  const Metrics m{3, 3, 19};
  const Extent box = MsgBoxOuterSize(text.width + 10, text.height, m);
  EXPECT_EQ(box.width, kMinBoxWidth);
  EXPECT_EQ(box.height, 13 + 36 + 2 * 45 + 6 + 19);
}

TEST(MsgBoxMeasure, MarginsFollowTheTextSize) {
  const Metrics m{4, 4, 20};
  // Wide and tall text: 32-pixel margins.
  EXPECT_EQ(MsgBoxOuterSize(610, 100, m), (Extent{610 + 54 + 64 + 8, 100 + 36 + 64 + 8 + 20}));
  // Narrow text: 64-pixel horizontal margin, still at least 360.
  EXPECT_EQ(MsgBoxOuterSize(199, 39, m).width, 199 + 54 + 128 + 8);
  EXPECT_EQ(MsgBoxOuterSize(100, 38, m), (Extent{360, 38 + 36 + 90 + 8 + 20}));
}

TEST(MsgBoxMeasure, TallTextIsLimitedToWhatFitsTheWorkArea) {
  const struct {
    int workHeight;
    Metrics m;
  } cases[] = {{768, {4, 4, 20}}, {600, {3, 3, 19}}, {1050, {8, 8, 23}}};
  for (const auto& c : cases) {
    const int limit = MsgBoxTextHeightLimit(c.workHeight, c.m);
    EXPECT_EQ(MsgBoxOuterSize(600, limit, c.m).height, c.workHeight) << c.workHeight;
    EXPECT_GT(MsgBoxOuterSize(600, limit + 1, c.m).height, c.workHeight) << c.workHeight;
  }
  EXPECT_EQ(MsgBoxTextHeightLimit(50, {4, 4, 20}), 39);  // a tiny screen still shows a line
}

TEST(MsgBoxMeasure, TextPlaceCentresBesideTheBand) {
  const Rect r = MsgBoxTextPlace(400, 200, 200, 50);
  EXPECT_EQ(r.left, (400 - 54 - 200) / 2 + 54);
  EXPECT_EQ(r.top, (200 - 36 - 50) / 2);
  EXPECT_EQ(r.width, 200);
  EXPECT_EQ(r.height, 200 - r.top - 39);
}

TEST(MsgBoxMeasure, BoldWideningStopsAtTheFirstWidthThatFits) {
  std::vector<int> tried;
  // The bold line needs 25 more pixels than measured.
  const auto control = [&](int width) {
    tried.push_back(width);
    return width >= 125 ? Extent{width, 26} : Extent{width, 39};
  };
  EXPECT_EQ(WidenForBold({100, 26}, control), 130);
  EXPECT_EQ(tried, (std::vector<int>{100, 110, 120, 130}));
}

TEST(MsgBoxMeasure, BoldWideningGivesUpAfterTwentyOneSteps) {
  int calls = 0;
  const auto control = [&](int width) {
    ++calls;
    return Extent{width + 7, 99};
  };
  EXPECT_EQ(WidenForBold({100, 26}, control), 100 + 200 + 7 + 10);
  EXPECT_EQ(calls, 22);
}

// ---- buttons ---------------------------------------------------------------

TEST(MsgBoxButtons, SetsAndCodes) {
  using V = std::vector<std::pair<int, int>>;
  const V want[] = {{{0, 1}},
                    {{0, 1}, {1, 2}},
                    {{4, 3}, {5, 4}, {6, 5}},
                    {{2, 6}, {3, 7}, {1, 2}},
                    {{2, 6}, {3, 7}},
                    {{5, 4}, {1, 2}}};
  for (std::uint32_t set = 0; set < 16; ++set) {
    V got;
    for (const ButtonSpec& b : ButtonSet(0x20 | set)) got.push_back({b.listItem, b.code});
    EXPECT_EQ(got, set < 6 ? want[set] : V{}) << set;
  }
}

TEST(MsgBoxButtons, RightmostAtRightEdgeMinus80AndTouching) {
  EXPECT_EQ(ButtonPlace(2, 3, 400, 150).left, 320);
  EXPECT_EQ(ButtonPlace(1, 3, 400, 150).left, 250);
  EXPECT_EQ(ButtonPlace(0, 3, 400, 150).left, 180);
  EXPECT_EQ(ButtonPlace(0, 1, 400, 150).left, 320);
  EXPECT_EQ(ButtonPlace(0, 1, 400, 150).top, 121);
}

TEST(MsgBoxButtons, FocusIndexWraps) {
  EXPECT_EQ(FocusSlot(1, 1), 0);
  EXPECT_EQ(FocusSlot(-1, 3), 2);
  EXPECT_EQ(FocusSlot(3, 3), 0);
  EXPECT_EQ(FocusSlot(15, 2), 1);
  EXPECT_EQ(FocusSlot(0, 0), -1);
}

TEST(MsgBoxKeys, AltCharacterMatchesSecondCharacterLeftmostFirst) {
  const std::vector<std::string> yesNo{"&Yes", "&No"};
  EXPECT_EQ(AltKeySlot(yesNo, 'y'), 0);
  EXPECT_EQ(AltKeySlot(yesNo, 'N'), 1);
  EXPECT_EQ(AltKeySlot(yesNo, 'x'), -1);
  EXPECT_EQ(AltKeySlot({"&Yes", "&Yak", "Y"}, 'Y'), 0);
  EXPECT_EQ(AltKeySlot({"Y", "&Yak"}, 'y'), 1);  // too short to match
}

TEST(MsgBoxKeys, LetterMatchesMnemonicRightmostFirst) {
  EXPECT_EQ(LetterKeySlot({"&Yes", "&No"}, 'N'), 1);
  EXPECT_EQ(LetterKeySlot({"&Yes", "&No"}, 'Y'), 0);
  EXPECT_EQ(LetterKeySlot({"&Yes", "&No"}, 'Q'), -1);
  EXPECT_EQ(LetterKeySlot({"&Evet", "Ha&yir", "Yok"}, 'Y'), 2);
  EXPECT_EQ(LetterKeySlot({"OK", "Cancel"}, 'C'), 1);
  EXPECT_EQ(LetterKeySlot({"OK&", "Cancel"}, 'O'), -1);
  EXPECT_EQ(LetterKeySlot({"&Yes", "&No"}, 0x0D), -1);  // Enter is not a letter
  EXPECT_EQ(LetterKeySlot({"&1", "&No"}, '1'), -1);
  // F1 (0x70) and numeric-keypad 1 (0x61) are not the letters p and a.
  EXPECT_EQ(LetterKeySlot({"&Print", "&Abort"}, 0x70), -1);
  EXPECT_EQ(LetterKeySlot({"&Print", "&Abort"}, 0x61), -1);
}

}  // namespace
}  // namespace kestro
