#include "core/LangRes0/lang_select.h"

#include <gtest/gtest.h>

#include "core/Utils/ksub.h"

namespace kestro {
namespace {

// A language section: name, then key=value lines, delimited by 0x01; the
// block joins sections with 0x02.
std::string Section(const std::string& name, const std::string& s1) {
  return std::string("\x01") + name + "\x01s1=" + s1 + "\x01";
}
std::string Block(std::initializer_list<std::string> sections) {
  std::string b = "\x02";
  for (const std::string& s : sections) b += s + "\x02";
  return b;
}

TEST(LanguageIdTable, NamesFromPrimaryIds) {
  const struct {
    int id;
    const char* name;
  } cases[] = {{9, "ENGLISH"}, {31, "TURKISH"}, {7, "GERMAN"}, {1, "ARABIC"}, {13, "HEBREW"},
               {26, "CROATIAN"},  // shared with SERBIAN: the first entry wins
               {46, "PORTUGUESE(BRAZIL)"}, {52, "CHINESE(SIMPLIFIED)"}, {98, "SERBIAN(CYRILIC)"},
               {99, ""}, {-1, ""}};
  for (const auto& c : cases) EXPECT_EQ(LanguageNameForId(c.id), c.name) << c.id;
}

TEST(LanguageIdTable, HasFiftyOneAlignedEntries) {
  const std::vector<std::string> items = SUB::Items(kLanguageIdTable);
  ASSERT_EQ(items.size(), 51u);
  EXPECT_EQ(items.front(), "AFRIKAANS    = 54");
  for (const std::string& e : items) {
    const std::size_t eq = e.find('=');
    EXPECT_EQ(eq, e.find('(') == std::string::npos ? 13u : 21u) << e;
  }
}

TEST(LanguageIdTable, PrimaryIdIsTheLowTenBitsEnglishWhenUnset) {
  EXPECT_EQ(PrimaryLanguageId(0x041F), 31);
  EXPECT_EQ(PrimaryLanguageId(0x0C07), 7);
  EXPECT_EQ(PrimaryLanguageId(0), 9);
}

TEST(LanguageSection, ChoiceByUserLanguage) {
  const std::string en = Section("English", "Extracting");
  const std::string tr = Section(" Turkish ", "Ayiklaniyor");
  const std::string de = Section("German", "Entpacken");
  const std::string fr = Section("French", "Extraction");
  const struct {
    const char* name;
    std::string block;
    const char* user;
    std::string want;
  } cases[] = {
      {"Turkish user, Turkish section", Block({en, tr}), "TURKISH", tr},
      {"German user falls back to English", Block({en, tr}), "GERMAN", en},
      {"single section serves everyone", Block({tr}), "GERMAN", tr},
      {"no match and no English: defaults", Block({de, fr}), "ENGLISH", kNoLangSection},
      {"unknown user language", Block({tr, en}), "", en},
      {"empty block", "", "ENGLISH", kNoLangSection},
  };
  for (const auto& c : cases) EXPECT_EQ(ChooseLangSection(c.block, c.user), c.want) << c.name;
}

TEST(LanguageIniValue, BarsDefaultsAndInsert) {
  const char* def = "RunTimeDir (<?>)<P><P>Not Found!";
  EXPECT_EQ(CleanLanguageIniValue("|Ordner <?> fehlt <?>|", def, "VC"), "Ordner VC fehlt VC");
  EXPECT_EQ(CleanLanguageIniValue("|", def, "VC"), "RunTimeDir (VC)<P><P>Not Found!");
  EXPECT_EQ(CleanLanguageIniValue("", def, "VC"), "RunTimeDir (VC)<P><P>Not Found!");
  EXPECT_EQ(CleanLanguageIniValue("||", def, "X"), "RunTimeDir (X)<P><P>Not Found!");
  EXPECT_EQ(CleanLanguageIniValue("|open", def, "X"), "|open");
  EXPECT_EQ(CleanLanguageIniValue("a <?> b", def, "<?>"), "a <?> b");
}

}  // namespace
}  // namespace kestro
