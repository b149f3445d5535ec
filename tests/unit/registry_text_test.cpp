#include "core/Utils/registry_text.h"

#include <gtest/gtest.h>

using namespace kestro;

TEST(RegistryPaths, SplitsRootAndSubKey) {
  struct Case { std::string path, root, subKey; } cases[] = {
      {"HKLM\\Software\\X", "HKEY_LOCAL_MACHINE", "Software\\X"},
      {"hklm\\Software\\X", "HKEY_LOCAL_MACHINE", "Software\\X"},
      {"HKEY_CLASSES_ROOT\\.txt", "HKEY_CLASSES_ROOT", ".txt"},
      {"Software\\Tolvexan", "HKEY_CURRENT_USER", "Software\\Tolvexan"},
      {"  HKCU  ", "HKEY_CURRENT_USER", ""},
      {"HKU", "HKEY_USERS", ""},
      {"HKCC\\a", "HKEY_CURRENT_CONFIG", "a"},
      {"HKDD\\a", "HKEY_DYN_DATA", "a"},
      // The root part is compared exactly: a blank before the backslash
      // makes it unknown, which means the current user.
      {"HKEY_LOCAL_MACHINE \\Software", "HKEY_CURRENT_USER", "Software"},
      {"HKXX\\a", "HKEY_CURRENT_USER", "a"},
      {"", "HKEY_CURRENT_USER", ""}};
  for (const auto& c : cases) {
    RegistryPath p = SplitRegistryPath(c.path);
    EXPECT_EQ(p.root, c.root) << c.path;
    EXPECT_EQ(p.subKey, c.subKey) << c.path;
  }
}

TEST(RegistryValues, TextByValueType) {
  using std::string;
  struct Case { uint32_t type; string data, text; } cases[] = {
      {kRegDword, string("\x05\0\0\0", 4), "5"},
      {kRegDword, string("\xFF\xFF\xFF\xFF", 4), "4294967295"},
      {kRegDword, string("\x41\x42", 2), "AB"},  // wrong size: read as bytes
      {kRegMultiSz, string("a\0b\0\0", 5), "a<0>b"},
      {kRegMultiSz, string("\0\0", 2), ""},   // the empty list
      {kRegMultiSz, string("\0\0\0", 3), ""},
      {3, string("AB\0CD", 5), "AB"},       // raw bytes up to the first zero
      {1, string("text\0", 5), "text"},
      {2, string("%TEMP%\\x\0", 9), "%TEMP%\\x"},  // left unexpanded
      {1, string(), ""}};
  for (const auto& c : cases) EXPECT_EQ(RegistryValueText(c.type, c.data), c.text);
}
