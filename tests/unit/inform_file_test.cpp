#include "core/StubAU/inform_file.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "core/PackX/package_token.h"
#include "core/StubAU/scramble.h"

using namespace kestro;

namespace {
const std::string kToken = ScrambleToken("tok", 7);
}  // namespace

TEST(InformFile, SplitsTokenAndBodyAtTheFirstFourSeparators) {
  struct Case {
    std::string text;
    const char* token;  // nullptr: none
    const char* body;
  } cases[] = {
      {"|" + kToken + "|x|y|New in 2.0|fixed a|b", "tok", "New in 2.0|fixed a|b"},
      {"lead|" + kToken + "|||", "tok", ""},
      {"|" + kToken + "|x|y", "tok", ""},            // three separators: no body
      {"|" + kToken + "|", "tok", ""},
      {"|" + kToken, nullptr, ""},                   // one separator: no token
      {"no separators at all", nullptr, ""},
      {"", nullptr, ""},
      {"|tok|x|y|plain token", nullptr, "plain token"},  // a token stored unscrambled
      {"||x|y|body", nullptr, "body"},
  };
  for (const Case& c : cases) {
    const InformText split = SplitInformText(c.text);
    if (c.token) {
      ASSERT_TRUE(split.token.has_value()) << c.text;
      EXPECT_EQ(*split.token, c.token) << c.text;
    } else {
      EXPECT_FALSE(split.token.has_value()) << c.text;
    }
    EXPECT_EQ(split.body, c.body) << c.text;
  }
}

TEST(InformFile, AScrambledFileIsUnscrambledBeforeTheSplit) {
  const std::string plain = "|" + kToken + "|x|y|Release notes\r\nline two";
  const std::string scrambled = Scramble(plain, true, false);
  ASSERT_NE(scrambled, plain);
  const InformText split = SplitInformText(scrambled);
  ASSERT_TRUE(split.token.has_value());
  EXPECT_EQ(*split.token, "tok");
  EXPECT_EQ(split.body, "Release notes\r\nline two");
}

TEST(InformFile, TokenMatchesOnlyTheProductsOwn) {
  const std::string body = "|x|y|news";
  EXPECT_TRUE(InformTokenMatches("|" + kToken + body, ScrambleToken("tok", 99)));
  EXPECT_FALSE(InformTokenMatches("|" + ScrambleToken("other", 3) + body, kToken));
  EXPECT_FALSE(InformTokenMatches("|" + ScrambleToken("tok", 3).substr(2) + body, kToken));
  EXPECT_FALSE(InformTokenMatches("|tok" + body, "tok")) << "neither side unscrambles";
  EXPECT_FALSE(InformTokenMatches("plain text without a header", kToken));
}

TEST(InformFile, OnlyABareFileNameIsUsed) {
  struct Case {
    const char* name;
    const char* used;
  } cases[] = {
      {"News.txt", "News.txt"},    {" News.txt ", "News.txt"}, {"news..txt", ""},
      {"..\\News.txt", ""},        {"sub\\News.txt", ""},      {"sub/News.txt", ""},
      {"C:News.txt", ""},          {"..", ""},                 {".", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(InformFileName(c.name), c.used) << c.name;
}

TEST(InformFile, OnlyWebAddressesBecomeTheButtonsLink) {
  struct Case {
    const char* link;
    const char* kept;
  } cases[] = {
      {"https://example.test/download", "https://example.test/download"},
      {"  HTTP://example.test/a?b=1  ", "HTTP://example.test/a?b=1"},
      {"http://", ""},
      {"C:\\Windows\\system32\\calc.exe", ""},
      {"file:///C:/evil.exe", ""},
      {"\\\\server\\share\\setup.exe", ""},
      {"javascript:alert(1)", ""},
      {"mailto:sales@example.test", ""},
      {"https://example.test/\" --arg", ""},
      {"https://example.test/a b", ""},
      {"https://example.test/\ta", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(AnnouncementLink(c.link), c.kept) << c.link;
}

TEST(InformFile, ABodylessAnnouncementShowsItsAddress) {
  EXPECT_EQ(AnnouncementBody("", "https://example.test/"), "https://example.test/");
  EXPECT_EQ(AnnouncementBody("news", "https://example.test/"), "news");
  EXPECT_EQ(AnnouncementBody("", ""), "");
}

TEST(InformFile, AWindowSizeThatHidesTheBoxIsReplaced) {
  const struct {
    int32_t configured, used;
  } cases[] = {{360, 360}, {800, 800}, {200, 200}, {199, 200}, {1, 200}, {0, 360}, {-5, 360}, {INT32_MIN, 360}};
  for (const auto& c : cases) EXPECT_EQ(AnnouncementSize(c.configured), c.used) << c.configured;
}
