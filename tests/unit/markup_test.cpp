#include "core/KMsgBox/markup.h"

#include <gtest/gtest.h>

namespace kestro {
namespace {

struct MarkupCase {
  const char* name;
  const char* markup;
  const char* plain;
  std::vector<BoldRun> bold;
};

const MarkupCase kCases[] = {
    {"bold word, tags of mixed case", "<b>word</B> rest", "word rest", {{0, 4}}},
    {"paragraph and tab in any case", "x<p><T>y<P>", "x\r\n\ty\r\n", {}},
    {"escaped breaks need two backslashes", "a\\\\nb\\\\tc \\n", "a\r\nb\tc \\n", {}},
    {"CR LF counts as two characters", "1<P>2<B>bold</B>", "1\r\n2bold", {{4, 8}}},
    {"heading written <<b> loses one <", "<<b>ERROR</b><P><P>text<P>", "ERROR\r\n\r\ntext\r\n",
     {{0, 5}}},
    {"<< elsewhere is kept", "a <<b>b</b>", "a <b", {{3, 4}}},
    {"unclosed <B> is removed, nothing bold", "<B>never closed", "never closed", {}},
    {"lone </B> is removed", "lone</B> tag", "lone tag", {}},
    {"empty pair leaves no run", "<B></B>x", "x", {}},
    {"two runs", "<b>a</b> <b>c</b>", "a c", {{0, 1}, {2, 3}}},
    // A stray close before a pair must not shift the pair's offsets.
    {"stray </B> before a pair", "</B>a<B>b</B>", "ab", {{1, 2}}},
    {"nested <B> inside a run", "<B>a<B>b</B>c", "abc", {{0, 2}}},
    {"placeholders are not markup", "Size: <SIZE> MB<T>", "Size: <SIZE> MB\t", {}},
    {"empty text", "", "", {}},
};

TEST(Markup, PlainTextAndBoldRuns) {
  for (const MarkupCase& c : kCases) {
    const PlainText p = ParseMarkup(c.markup);
    EXPECT_EQ(p.text, c.plain) << c.name;
    EXPECT_EQ(p.bold, c.bold) << c.name;
  }
}

TEST(Markup, RunsBeyondSixteenBitsKeepTheirOffsets) {
  const std::string filler(70000, 'x');
  const PlainText p = ParseMarkup(filler + "<B>end</B>");
  ASSERT_EQ(p.bold.size(), 1u);
  EXPECT_EQ(p.bold[0].start, 70000u);
  EXPECT_EQ(p.text.substr(p.bold[0].start, p.bold[0].end - p.bold[0].start), "end");
}

}  // namespace
}  // namespace kestro
