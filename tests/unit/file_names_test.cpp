#include "core/Files/file_names.h"

#include <gtest/gtest.h>

using namespace kestro;

namespace {
// Shift-JIS style lead bytes: 0x81..0x9F and 0xE0..0xFC.
bool ShiftJisLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
}  // namespace

TEST(PathNames, TrailingBackslashRules) {
  struct Case { std::string path; bool add; std::string out; } cases[] = {
      {"C:\\", false, "C:"}, {"C:", true, "C:\\"}, {"\\", false, "\\"},
      {"\\", true, "\\"}, {"C:\\a\\", true, "C:\\a\\"}, {"C:\\a", false, "C:\\a"},
      {"", true, "\\"}, {"ab\\", false, "ab"}};
  for (const auto& c : cases)
    EXPECT_EQ(SetTrailingBackslash(c.path, c.add, nullptr), c.out) << c.path << c.add;
  EXPECT_EQ(RemoveTrailingBackslash("\\", nullptr), "");
  EXPECT_EQ(RemoveTrailingBackslash("a\\", nullptr), "a");
  EXPECT_EQ(RemoveTrailingBackslash("a", nullptr), "a");
}

TEST(PathNames, ABackslashThatEndsADoubleByteCharacterIsNotTrailing) {
  // 0x95 0x5C is one Shift-JIS character whose second byte is "\".
  const std::string path = "C:\\\x95\x5C";
  EXPECT_FALSE(HasTrailingBackslash(path, ShiftJisLead));
  EXPECT_TRUE(HasTrailingBackslash(path, nullptr));  // single-byte reading
  EXPECT_EQ(SetTrailingBackslash(path, true, ShiftJisLead), path + "\\");
  EXPECT_EQ(ExtractFileName(path, ShiftJisLead), "\x95\x5C");
}

TEST(PathNames, SplitsNamesAndExtensions) {
  EXPECT_EQ(FileBaseName("C:\\x\\a.b.c"), "a.b");
  EXPECT_EQ(FileBaseName("C:\\x\\a.b.c", true), "a");
  EXPECT_EQ(FileBaseName("noext"), "noext");
  EXPECT_EQ(ExtractFileName("C:\\x\\a.txt"), "a.txt");
  EXPECT_EQ(ExtractFileName("C:a.txt"), "a.txt");
  EXPECT_EQ(ExtractFilePath("C:\\x\\a.txt"), "C:\\x\\");
  EXPECT_EQ(ExtractFileDir("C:\\x\\a.txt"), "C:\\x");
  EXPECT_EQ(ExtractFileDir("C:\\a.txt"), "C:\\");
  EXPECT_EQ(ExtractFileDir("a.txt"), "");
  EXPECT_EQ(ChangeFileExt("C:\\d.x\\X_Tool.exe", ".log"), "C:\\d.x\\X_Tool.log");
  EXPECT_EQ(ChangeFileExt("C:\\d.x\\Tool", ".log"), "C:\\d.x\\Tool.log");
}

TEST(PathNames, DriveRoots) {
  struct Case { std::string path; bool force; std::string out; } cases[] = {
      {"C:\\Some\\Folder", false, "C:\\Some"}, {"c:/Some/Folder", true, "C:\\"},
      {"C:\\Some", false, "C:\\Some"}, {"d:", false, "D:\\"}, {"", false, ""},
      {"\\\\server\\share\\x", false, "\\\\server"}};
  for (const auto& c : cases) EXPECT_EQ(DriveRoot(c.path, c.force), c.out) << c.path;
  EXPECT_EQ(UncShareRoot("\\\\server\\share\\x\\y"), "\\\\server\\share\\");
  EXPECT_EQ(UncShareRoot("\\\\server\\share"), "\\\\server\\share\\");
  EXPECT_EQ(UncShareRoot("C:\\share"), "");
  EXPECT_EQ(UncShareRoot("\\\\\\x"), "");
}

TEST(PathNames, ChunkSizesForWrites) {
  struct Case { int64_t total; bool callback; int64_t chunk; } cases[] = {
      {5 * 1048576, false, 524288},      // 5 MB: tenths of 512 KB
      {5 * 1024, true, 1024},            // 5 KB with progress: 1 KB pieces
      {500, true, 500},                  // shorter than 1 KB: one piece
      {1048576, false, 0},               // 1 MB goes in one write
      {1048577, false, 104857},
      {int64_t(50) * 1048576, false, 1048576}};  // capped at 1 MB
  for (const auto& c : cases)
    EXPECT_EQ(WriteChunkSize(c.total, c.callback), c.chunk) << c.total;
}
