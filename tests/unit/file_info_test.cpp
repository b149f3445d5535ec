#include <gtest/gtest.h>

#include "../support/package_bytes.h"
#include "core/PackX/file_info.h"
#include "core/PackX/package_token.h"
#include "core/PackX/package_writer.h"

using namespace kestro;
using namespace ktest;

namespace {

// A descriptor over a package with the given header texts.
std::string PackageWith(const std::string& lang, const std::string& settings, const std::string& web,
                        uint8_t headerCount) {
  std::string p = TinyStub();
  PackageTrailer t = MakeTrailer(uint32_t(p.size()), 0, headerCount);
  p += HeaderBlock(lang) + HeaderBlock(settings);
  if (headerCount > 2) p += HeaderBlock(web);
  return p + Bytes(t);
}

class Language : public ::testing::Test {
 protected:
  void SetUp() override { TGFileInfo::ResetLanguageCache(); }
  void TearDown() override {
    TGFileInfo::ResetLanguageCache();
    TGFileInfo::SetUserLanguageName("");
  }
  static std::string Info(const std::vector<LanguageSection>& sections, const std::string& key,
                          const std::string& user) {
    TGFileInfo::ResetLanguageCache();
    TGFileInfo::SetUserLanguageName(user);
    std::string p = PackageWith(BuildLanguageBlock(sections), "", "", 2);
    MemorySource src(p);
    return TGFileInfo(src).GetLangString(key, "default");
  }
};

const std::vector<LanguageSection> kTwo = {{"English", {"s1=Extracting", "Error=Oops"}},
                                           {" Turkish ", {"s1=Dosyalar", "Error ="}}};

TEST_F(Language, SectionChoiceAndKeyLookup) {
  struct Case {
    std::vector<LanguageSection> sections;
    const char* user;
    const char* key;
    const char* expected;
  } cases[] = {
      {kTwo, "TURKISH", "s1", "Dosyalar"},          // trimmed, any case
      {kTwo, "Turkish", "error", ""},               // blank before "=", present but empty
      {kTwo, "Turkish", "s2", "default"},           // missing key
      {kTwo, "German", "s1", "Extracting"},         // falls back to English
      {kTwo, "German", "S1=", "Extracting"},        // a key may bring its own "="
      {{{"Turkish", {"s1=Dosyalar"}}}, "German", "s1", "Dosyalar"},  // the only section
      {{{"Turkish", {"s1=T"}}, {"French", {"s1=F"}}}, "German", "s1", "default"},  // none applies
      {{}, "English", "s1", "default"},
  };
  for (const Case& c : cases) EXPECT_EQ(Info(c.sections, c.key, c.user), c.expected) << c.user << " " << c.key;
}

TEST_F(Language, TheFirstChoiceHoldsForEveryDescriptor) {
  TGFileInfo::SetUserLanguageName("Turkish");
  std::string own = PackageWith(BuildLanguageBlock(kTwo), "", "", 2);
  std::string other = PackageWith(BuildLanguageBlock({{"English", {"s1=Other"}}}), "", "", 2);
  MemorySource a(own), b(other);
  TGFileInfo first(a), second(b);
  EXPECT_EQ(first.GetLangString("s1", "d"), "Dosyalar");
  EXPECT_EQ(second.GetLangString("s1", "d"), "Dosyalar") << "the cached section, not its own block";
}

TEST_F(Language, FontAndCharsetDefaults) {
  struct Case {
    std::vector<std::string> lines;
    int charset, size;
    const char* face;
  } cases[] = {
      {{}, 0, 8, "Tahoma"},
      {{"Charset=162", "FontSize=10", "FontName=Arial"}, 162, 10, "Arial"},
      {{"Charset=abc", "FontSize=", "FontName="}, 0, 8, ""},
  };
  for (const Case& c : cases) {
    TGFileInfo::ResetLanguageCache();
    std::string p = PackageWith(BuildLanguageBlock({{"English", c.lines}}), "", "", 2);
    MemorySource src(p);
    TGFileInfo info(src);
    EXPECT_EQ(info.GetCharset(), c.charset);
    EXPECT_EQ(info.GetFontSize(), c.size);
    EXPECT_EQ(info.GetFontName(), c.face);
  }
}

TEST(FileInfo, AccessorsReadTheHeaderLists) {
  const std::string product = ScrambleToken("P-1", 1), web = ScrambleToken("W-9", 2);
  std::string p = PackageWith("", "|http://u/x/|dir\\app.v2.info|agent.exe|" + product + "|1|",
                              "|http://w/|pkg.exe|1|" + web + "|123456|", 3);
  MemorySource src(p);
  TGFileInfo info(src);
  EXPECT_EQ(info.GetUpdateUrl(), "http://u/x/");
  EXPECT_EQ(info.GetInfoFileName(), "app.v2.info");
  EXPECT_EQ(info.GetOriginalFileName(), "app.original");
  EXPECT_EQ(info.GetAgentExeName(), "agent.exe");
  EXPECT_EQ(info.GetProductToken(false), product);
  EXPECT_EQ(info.GetProductToken(true), "P-1");
  EXPECT_TRUE(info.IsHiddenByDefault());
  EXPECT_EQ(info.GetWebSource(), "http://w/");
  EXPECT_EQ(info.GetWebPackageName(), "pkg.exe");
  EXPECT_TRUE(info.NoLocalPackage());
  EXPECT_EQ(info.GetWebToken(true), "W-9");
  EXPECT_EQ(info.GetWebPackageSize(), "123456");
  EXPECT_EQ(info.Trailer().PackageStart(), p.size() - kTrailerSize) << "advanced past the headers";
}

TEST(FileInfo, TwoHeaderBlocksLeaveTheWebListEmpty) {
  std::string p = PackageWith("", "|a|b|c|d|0|", "", 2);
  MemorySource src(p);
  TGFileInfo info(src);
  EXPECT_EQ(info.GetWebSource(), "");
  EXPECT_EQ(info.GetWebPackageName(), "");
  EXPECT_FALSE(info.NoLocalPackage());
  EXPECT_FALSE(info.IsHiddenByDefault());
}

TEST(FileInfo, NoPackageGivesEmptyTexts) {
  TGFileInfo missing(std::string("/no/such/file"));
  EXPECT_FALSE(missing.HasPackage());
  EXPECT_EQ(missing.Trailer().FileCount(), 0u);
  EXPECT_EQ(missing.GetAgentExeName(), "");
  std::string p = PackageWith("", "|a|b|c|d|0|", "", 2);
  p[p.size() - kTrailerSize + kTrMagic] ^= 1;
  MemorySource src(p);
  EXPECT_EQ(TGFileInfo(src).GetAgentExeName(), "");
}

TEST(FileInfo, AHeaderRunningPastTheEndGivesAShortenedText) {
  std::string p = TinyStub();
  PackageTrailer t = MakeTrailer(uint32_t(p.size()), 0);
  p += HeaderBlock("lang") + Le32(1000000) + "|a|b|";
  p += Bytes(t);
  MemorySource src(p);
  TGFileInfo info(src);
  EXPECT_EQ(info.LanguageBlock(), "lang");
  EXPECT_EQ(info.PackageSettings().substr(0, 5), "|a|b|");
  EXPECT_LE(info.PackageSettings().size(), p.size());
}

TEST(FileInfo, WebTokensMatchOnlyWhenBothAreWellFormed) {
  auto with = [](const std::string& token) {
    return PackageWith("", "", "|s|p|0|" + token + "|1|", 3);
  };
  std::string a = with(ScrambleToken("same", 1)), b = with(ScrambleToken("same", 2)),
              c = with(ScrambleToken("other", 3)), bad1 = with("broken"), bad2 = with("broken");
  MemorySource sa(a), sb(b), sc(c), s1(bad1), s2(bad2);
  TGFileInfo ia(sa), ib(sb), ic(sc), i1(s1), i2(s2);
  EXPECT_TRUE(ia.SameWebToken(ib));
  EXPECT_FALSE(ia.SameWebToken(ic));
  EXPECT_FALSE(i1.SameWebToken(i2));
}

TEST(FileInfo, SpaceTableEntryByClusterSize) {
  std::string p = PackageWith("", "", "", 2);
  for (size_t i = 0; i < kSpaceTableEntries; ++i)
    PutLe32(reinterpret_cast<uint8_t*>(&p[p.size() - kTrailerSize + kTrSpaceTable + 4 * i]), uint32_t(100 + i));
  MemorySource src(p);
  TGFileInfo info(src);
  const std::pair<uint64_t, double> cases[] = {{0, 100},    {511, 100},   {512, 101},  {3000, 103},
                                               {4096, 104}, {65535, 107}, {65536, 108}, {1 << 20, 108}};
  for (const auto& [cluster, expected] : cases) EXPECT_EQ(info.SpaceRequiredForCluster(cluster), expected) << cluster;
}

}  // namespace

TEST(FileInfo, SettingsFileNamesComeFromTheFileNamePartOfTheInfoItem) {
  struct Case {
    const char* item;
    const char* info;
    const char* original;
  } cases[] = {
      {"Product.Setup.info", "Product.Setup.info", "Product.original"},
      {"updates\\Product.info", "Product.info", "Product.original"},
      {"v1.2\\Product.info", "Product.info", "Product.original"},
      {"C:Product.info", "Product.info", "Product.original"},
      {"Product", "Product", "Product.original"},
  };
  for (const Case& c : cases) {
    const std::string bytes = PackageWith("", std::string("|http://u/|") + c.item + "|agent.exe|t|", "", 2);
    MemorySource src(bytes);
    TGFileInfo info(src);
    EXPECT_EQ(info.GetInfoFileName(), c.info) << c.item;
    EXPECT_EQ(info.GetOriginalFileName(), c.original) << c.item;
  }
}
