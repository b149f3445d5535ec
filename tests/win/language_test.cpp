// The user's language from the real thread locale, the package section it
// picks, and the language settings file beside the program.
#include <windows.h>

#include <fstream>

#include <gtest/gtest.h>

#include "../support/package_bytes.h"
#include "core/PackX/file_info.h"
#include "core/LangRes0/lang_keys.h"
#include "core/PackX/package_writer.h"
#include "win/LangRes0/langres0.h"
#include "win/SLangId/slangid.h"

namespace kestro {
namespace {

// Runs f with the thread locale set to a language, then puts it back.
template <class F>
void WithThreadLanguage(WORD primary, F f) {
  const LCID saved = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(primary, SUBLANG_DEFAULT), SORT_DEFAULT)));
  f();
  SetThreadLocale(saved);
}

std::string LanguageOfThread(WORD primary) {
  std::string name;
  WithThreadLanguage(primary, [&] { name = ThreadLocaleLanguageName(); });
  return name;
}

TEST(UserLanguage, NamesTheThreadLocaleLanguage) {
  EXPECT_EQ(LanguageOfThread(LANG_TURKISH), "TURKISH");
  EXPECT_EQ(LanguageOfThread(LANG_GERMAN), "GERMAN");
  EXPECT_EQ(LanguageOfThread(LANG_HEBREW), "HEBREW");
  EXPECT_EQ(LanguageOfThread(LANG_ENGLISH), "ENGLISH");
}

TEST(UserLanguage, IsReadOnceForTheProcess) {
  const std::string first = GetUserLanguageName();
  WithThreadLanguage(LANG_TURKISH, [&] { EXPECT_EQ(GetUserLanguageName(), first); });
}

// A package file whose language block holds the given sections.
TGFileInfo PackageWith(const std::vector<LanguageSection>& sections) {
  const std::string bytes = ktest::Package("", 0, BuildLanguageBlock(sections), "|||agent.exe|x|0|");
  MemorySource src(bytes.data(), bytes.size());
  return TGFileInfo(src);
}

// What the stub shows for "s1" when the thread's language is primary.
std::string ExtractingTextFor(WORD primary, const std::vector<LanguageSection>& sections) {
  std::string text;
  WithThreadLanguage(primary, [&] {
    TGFileInfo::SetUserLanguageName(ThreadLocaleLanguageName());
    TGFileInfo::ResetLanguageCache();
    text = PackageWith(sections).GetLangString(lang::kExtracting.key, lang::kExtracting.def);
  });
  TGFileInfo::ResetLanguageCache();
  return text;
}

TEST(LanguageChoice, ThreadLocalePicksTheSection) {
  const LanguageSection english{"English", {"s1=Unpacking..."}};
  const LanguageSection turkish{"Turkish", {"s1=Dosyalar aciliyor...", "Charset=162"}};
  const LanguageSection german{"German", {"s1=Dateien werden entpackt..."}};
  const LanguageSection french{"French", {"s1=Extraction des fichiers..."}};
  EXPECT_EQ(ExtractingTextFor(LANG_TURKISH, {english, turkish}), "Dosyalar aciliyor...");
  EXPECT_EQ(ExtractingTextFor(LANG_GERMAN, {english, turkish}), "Unpacking...");
  EXPECT_EQ(ExtractingTextFor(LANG_ENGLISH, {german, french}), "Extracting Files...");
  EXPECT_EQ(ExtractingTextFor(LANG_GERMAN, {turkish}), "Dosyalar aciliyor...");
}

// ---- language settings file --------------------------------------------------

class LanguageIni : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = LanguageIniPath();
    const std::string folder = path_.substr(0, path_.find_last_of('\\'));
    CreateDirectoryA(folder.substr(0, folder.find_last_of('\\')).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
  }
  void TearDown() override { DeleteFileA(path_.c_str()); }
  void Write(const std::string& content) { std::ofstream(path_, std::ios::binary) << content; }
  std::string path_;
};

TEST_F(LanguageIni, LivesInHelpEnglishBesideTheProgram) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  folder.erase(folder.find_last_of('\\') + 1);
  EXPECT_EQ(path_, folder + "HELP\\English\\Kestro.language.ini");
}

TEST_F(LanguageIni, ValuesDefaultsAndInsert) {
  const LangKey& k = lang::kRunTimeDirMissing;
  EXPECT_EQ(GetLanguageIniString(k.key, k.def, "VCRT"), "RunTimeDir (VCRT)<P><P>Not Found!");
  Write("[STRINGS]\r\nRunTimeDir_01=| Ordner <?> fehlt |\r\nEmpty=|\r\nPlain=Nur <?>\r\n");
  EXPECT_EQ(GetLanguageIniString(k.key, k.def, "VCRT"), " Ordner VCRT fehlt ");
  EXPECT_EQ(GetLanguageIniString("Empty", "fallback <?>", "x"), "fallback x");
  EXPECT_EQ(GetLanguageIniString("Plain", "", "Text"), "Nur Text");
  EXPECT_EQ(GetLanguageIniString("Missing", k.def, "D"), "RunTimeDir (D)<P><P>Not Found!");
}

}  // namespace
}  // namespace kestro
