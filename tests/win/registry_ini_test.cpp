// Registry and INI access against the real registry and profile functions
// under Wine: the tests write through the system API and read back through
// the module.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include "win/Files/files.h"
#include "win/Utils/ini.h"
#include "win/Utils/registry.h"
#include "../support/scratch_file.h"
#include "../support/test_paths.h"

using namespace kestro;

namespace {

const char* const kTestKey = "Software\\KestroTests\\Registry";

// Creates the test key under a root, fills it and removes it afterwards.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) SHDeleteKeyA(root, kTestKey);
  }
  void TearDown() override {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) SHDeleteKeyA(root, kTestKey);
  }
  static void Set(HKEY root, const char* name, DWORD type, const std::string& data) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, kTestKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type,
                             reinterpret_cast<const BYTE*>(data.data()), DWORD(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static std::string Sz(const std::string& s) { return s + std::string(1, '\0'); }
};

}  // namespace

TEST_F(RegistryTest, ReadsEveryValueTypeWrittenThroughTheApi) {
  const std::string path = std::string("HKCU\\") + kTestKey;
  DWORD five = 5, all = 0xFFFFFFFF;
  Set(HKEY_CURRENT_USER, "Str", REG_SZ, Sz("hello"));
  Set(HKEY_CURRENT_USER, "", REG_SZ, Sz("default value"));
  Set(HKEY_CURRENT_USER, "Expand", REG_EXPAND_SZ, Sz("%TEMP%\\x"));
  Set(HKEY_CURRENT_USER, "Five", REG_DWORD, std::string(reinterpret_cast<char*>(&five), 4));
  Set(HKEY_CURRENT_USER, "All", REG_DWORD, std::string(reinterpret_cast<char*>(&all), 4));
  Set(HKEY_CURRENT_USER, "Multi", REG_MULTI_SZ, std::string("a\0bc\0\0", 6));
  Set(HKEY_CURRENT_USER, "EmptyMulti", REG_MULTI_SZ, std::string("\0\0", 2));
  Set(HKEY_CURRENT_USER, "Bin", REG_BINARY, std::string("AB\0C", 4));
  Set(HKEY_CURRENT_USER, "Empty", REG_SZ, Sz(""));
  Set(HKEY_CURRENT_USER, "Fits", REG_BINARY, std::string(10241, 'f'));
  Set(HKEY_CURRENT_USER, "TooBig", REG_BINARY, std::string(10242, 'g'));
  Set(HKEY_CURRENT_USER, "LongText", REG_SZ, Sz(std::string(20000, 't')));

  struct Case { const char* name; std::string text; } cases[] = {
      {"Str", "hello"}, {"", "default value"}, {"Expand", "%TEMP%\\x"},
      {"Five", "5"}, {"All", "4294967295"}, {"Multi", "a<0>bc"}, {"EmptyMulti", ""},
      {"Bin", "AB"}, {"Empty", ""}, {"Fits", std::string(10241, 'f')},
      {"TooBig", "def"}, {"LongText", "def"}, {"Missing", "def"}};
  for (const auto& c : cases) {
    EXPECT_EQ(RegReadString(path, c.name, "def"), c.text) << c.name;
    EXPECT_EQ(RegReadString(path, c.name, "def", true), c.text) << c.name << " (64-bit view)";
  }
}

TEST_F(RegistryTest, PathsNameTheirRootInAnyCaseAndDefaultToTheCurrentUser) {
  Set(HKEY_LOCAL_MACHINE, "Where", REG_SZ, Sz("machine"));
  Set(HKEY_CURRENT_USER, "Where", REG_SZ, Sz("user"));
  const std::string key = kTestKey;
  struct Case { std::string path, text; } cases[] = {
      {"HKLM\\" + key, "machine"}, {"hklm\\" + key, "machine"},
      {"HKEY_LOCAL_MACHINE\\" + key, "machine"}, {"  HKEY_local_MACHINE\\" + key, "machine"},
      {key, "user"}, {"HKEY_LOCAL_MACHINE \\" + key, "user"}, {"HKCU\\" + key, "user"},
      {"HKLM\\Software\\NoSuchKestroKey", "def"}};
  for (const auto& c : cases) EXPECT_EQ(RegReadString(c.path, "Where", "def"), c.text) << c.path;
  EXPECT_EQ(ParseRegistryPath("  HKCU  ").root, HKEY_CURRENT_USER);
  EXPECT_EQ(ParseRegistryPath("  HKCU  ").subKey, "");
  EXPECT_EQ(ParseRegistryPath("hkcr\\.txt").root, HKEY_CLASSES_ROOT);
}

TEST(LastErrorText, GivesTheSystemMessageWithoutItsLineEnd) {
  SetLastError(ERROR_FILE_NOT_FOUND);
  const std::string text = LastErrorText();
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), '\n');
  EXPECT_NE(text.back(), '.');
  EXPECT_EQ(text, SystemErrorText(ERROR_FILE_NOT_FOUND));
}

namespace {

class IniTest : public ::testing::Test {
 protected:
  ktest::ScratchFile scratch_{"registry_ini_test.ini"};
  const std::string file_ = scratch_.Path();
};

}  // namespace

TEST_F(IniTest, WritesAndReadsThroughTheProfileFunctions) {
  EXPECT_TRUE(WriteIniString(file_, "Update", "URL", "http://127.0.0.1/x.info"));
  EXPECT_TRUE(WriteIniString(file_, "Update", "Blank", ""));
  EXPECT_TRUE(WriteIniInteger(file_, "Update", "Interval", -9000000000LL));
  EXPECT_TRUE(WriteIniString(file_, "Update", "Hex", "$1F"));
  EXPECT_TRUE(WriteIniString(file_, "Update", "Mixed", "12ab"));
  const std::string longValue(20000, 'v');
  EXPECT_TRUE(WriteIniString(file_, "Long", "Value", longValue));
  // The file is a real INI file on disk.
  EXPECT_NE(ReadWholeFile(file_).find("URL=http://127.0.0.1/x.info"), std::string::npos);

  EXPECT_EQ(ReadIniString(file_, "update", "url", "d"), "http://127.0.0.1/x.info");
  EXPECT_EQ(ReadIniString(file_, "Update", "Blank", "d"), "d");  // empty value
  EXPECT_EQ(ReadIniString(file_, "Update", "Missing", "d"), "d");
  EXPECT_EQ(ReadIniString(file_, "", "URL", "d"), "d");
  EXPECT_EQ(ReadIniString(file_, "Update", "", "d"), "d");
  EXPECT_EQ(ReadIniString(file_ + ".missing", "Update", "URL", "d"), "d");
  EXPECT_EQ(ReadIniString(file_, "Long", "Value", "d"), longValue);
  EXPECT_EQ(ReadIniInteger(file_, "Update", "Interval", 7), -9000000000LL);
  EXPECT_EQ(ReadIniInteger(file_, "Update", "Hex", 7), 31);
  EXPECT_EQ(ReadIniInteger(file_, "Update", "Mixed", 7), 7);
  EXPECT_EQ(ReadIniInteger(file_, "Update", "Missing", 7), 7);
}

TEST_F(IniTest, RefusesWritesWithoutFileSectionOrKey) {
  EXPECT_FALSE(WriteIniString("", "S", "K", "v"));
  EXPECT_FALSE(WriteIniString(file_, "", "K", "v"));
  EXPECT_FALSE(WriteIniString(file_, "S", "", "v"));
  EXPECT_FALSE(WriteIniInteger(file_, "", "K", 1));
  EXPECT_FALSE(FileExists(file_));
  EXPECT_FALSE(WriteIniString(ktest::BinaryDir() + "\\no\\such\\dir\\x.ini", "S", "K", "v"));
}
