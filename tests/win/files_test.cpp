// File and disk helpers on real files under Wine.
#include "win/Files/files.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/Utils/ksub.h"
#include "../support/test_paths.h"

using namespace kestro;

namespace {

// A fresh folder per test inside the build tree, removed afterwards.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ktest::BinaryDir() + "\\files_test\\" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    DeleteTree(dir_, true);
    ASSERT_TRUE(ForceDirectories(dir_));
  }
  void TearDown() override { DeleteTree(dir_, true); }
  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
  std::string dir_;
};

struct ProgressLog {
  std::vector<int64_t> written;
  int64_t total = -1;
  int cancelAfter = -1;  // the call after this many asks to stop
  WriteProgress Callback() {
    return [this](int64_t t, int64_t w, bool& cancel) {
      total = t;
      written.push_back(w);
      if (cancelAfter >= 0 && int(written.size()) > cancelAfter) cancel = true;
    };
  }
};

}  // namespace

TEST(FileNamesOnWindows, ExecutablePathAndFolders) {
  const std::string exe = ExePath();
  EXPECT_TRUE(SUB::EndsWith(exe, "\\win_files_test.exe", true)) << exe;
  EXPECT_EQ(ExePath(true), "win_files_test");
  EXPECT_EQ(ExeDir(true) + "win_files_test.exe", exe);
  EXPECT_FALSE(SUB::EndsWith(ExeDir(false), "\\"));
  for (const std::string& d : {WindowsDir(true), SystemDir(true), TempDir(true)}) {
    EXPECT_TRUE(SUB::EndsWith(d, "\\")) << d;
    EXPECT_TRUE(DirExists(d)) << d;
  }
  EXPECT_FALSE(SUB::EndsWith(TempDir(false), "\\"));
}

TEST_F(FilesTest, AppendToFileCreatesAppendsAndDates) {
  const std::string f = Path("log.txt");
  EXPECT_TRUE(AppendToFile(f, ""));  // empty text still creates the file
  EXPECT_TRUE(FileExists(f));
  EXPECT_EQ(FileSizeByName(f), 0);
  EXPECT_TRUE(AppendToFile(f, "one\r\n"));
  const uint32_t date = PackDosDateTime({2024, 3, 15, 10, 20, 30});
  EXPECT_TRUE(AppendToFile(f, "two\r\n", date));
  EXPECT_EQ(ReadWholeFile(f), "one\r\ntwo\r\n");
  EXPECT_EQ(FileAge(f), date);
  EXPECT_FALSE(AppendToFile(Path("no\\such\\folder\\x.txt"), ""));
  EXPECT_FALSE(AppendToFile(Path("no\\such\\folder\\x.txt"), "text"));
}

TEST_F(FilesTest, AppendToFileSharesWithOtherWriters) {
  const std::string f = Path("shared.log");
  ASSERT_TRUE(AppendToFile(f, "a"));
  UniqueHandle other = OpenForWriteShared(f);  // like a second agent process
  ASSERT_TRUE(IsValid(other));
  EXPECT_TRUE(AppendToFile(f, "b"));
  other.reset();
  EXPECT_EQ(ReadWholeFile(f), "ab");
}

// The extraction's one open per file block: a new file is made, a file met
// before keeps its bytes for the next block to be appended, others may
// still write to it.
TEST_F(FilesTest, OpenOrCreateForWriteTellsWhetherTheFileWasThere) {
  const std::string f = Path("block.bin");
  bool existed = true;
  UniqueHandle first = OpenOrCreateForWrite(f, existed);
  ASSERT_TRUE(IsValid(first));
  EXPECT_FALSE(existed);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(first.get(), "head", 4, &written, nullptr));
  first.reset();

  UniqueHandle again = OpenOrCreateForWrite(f, existed);
  ASSERT_TRUE(IsValid(again));
  EXPECT_TRUE(existed);
  UniqueHandle other = OpenForWriteShared(f);
  EXPECT_TRUE(IsValid(other)) << "others may still write";
  ASSERT_EQ(FileSeek(again.get(), 0, FILE_END), 4);
  ASSERT_TRUE(WriteFile(again.get(), "tail", 4, &written, nullptr));
  again.reset();
  other.reset();
  EXPECT_EQ(ReadWholeFile(f), "headtail");

  existed = true;
  EXPECT_FALSE(IsValid(OpenOrCreateForWrite(Path("no\\such\\folder\\x.bin"), existed)));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND)) << "the open's reason is kept";
  EXPECT_FALSE(existed);
}

TEST_F(FilesTest, WriteTextToFileReportsChunksToTheCallback) {
  const std::string f = Path("chunks.bin");
  const std::string text(5 * 1024, 'x');
  ProgressLog log;
  EXPECT_TRUE(WriteTextToFile(f, text, 0, false, log.Callback()));
  EXPECT_EQ(log.total, 5120);
  EXPECT_EQ(log.written, (std::vector<int64_t>{0, 1024, 2048, 3072, 4096, 5120}));
  EXPECT_EQ(ReadWholeFile(f), text);

  // 5 MB: tenths of 512 KB.
  std::string big(5 * 1048576, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7);
  ProgressLog bigLog;
  EXPECT_TRUE(WriteTextToFile(f, big, 0, false, bigLog.Callback()));
  ASSERT_EQ(bigLog.written.size(), 11u);
  EXPECT_EQ(bigLog.written[1], 524288);
  EXPECT_EQ(ReadWholeFile(f), big);
  // Without a callback the big text goes in chunks too, with the same result.
  EXPECT_TRUE(WriteTextToFile(f, big));
  EXPECT_EQ(ReadWholeFile(f), big);
}

TEST_F(FilesTest, WriteTextToFileStopsWhenCancelledAndAppendsOnRequest) {
  const std::string f = Path("cancel.bin");
  ProgressLog log;
  log.cancelAfter = 1;  // stop at the report of the first chunk
  EXPECT_FALSE(WriteTextToFile(f, std::string(5000, 'y'), 0, false, log.Callback()));
  EXPECT_EQ(FileSizeByName(f), 1024);

  const uint32_t date = PackDosDateTime({2025, 1, 2, 3, 4, 6});
  EXPECT_TRUE(WriteTextToFile(f, "new", date));  // replaces the content
  EXPECT_EQ(ReadWholeFile(f), "new");
  EXPECT_EQ(FileAge(f), date);
  EXPECT_TRUE(WriteTextToFile(f, "+more", 0, true));
  EXPECT_EQ(ReadWholeFile(f), "new+more");
  EXPECT_TRUE(WriteTextToFile(Path("empty.txt"), ""));
  EXPECT_TRUE(FileExists(Path("empty.txt")));
  EXPECT_FALSE(WriteTextToFile(Path("missing\\x.txt"), ""));
}

TEST_F(FilesTest, ReadFileRangeHonoursOffsetsAndLimits) {
  const std::string f = Path("range.txt");
  ASSERT_TRUE(WriteTextToFile(f, "0123456789"));
  struct Case { int64_t atMost, offset; std::string out; } cases[] = {
      {0, 0, "0123456789"}, {0, 7, "789"}, {3, 2, "234"}, {50, 8, "89"},
      {0, 10, ""}, {0, 11, ""}, {0, -1, ""}, {-4, 0, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(ReadFileRange(f, c.atMost, c.offset), c.out) << c.atMost << "@" << c.offset;
  EXPECT_EQ(ReadFileRange(Path("missing.txt")), "");
}

TEST_F(FilesTest, SizesAndOffsetsBeyondFourGigabytes) {
  const std::string f = Path("sparse.bin");
  const int64_t beyond = (int64_t(1) << 32) + 10;
  {
    UniqueHandle h = CreateAlways(f);
    ASSERT_TRUE(IsValid(h));
    ASSERT_EQ(FileSeek(h.get(), beyond, FILE_BEGIN), beyond);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h.get(), "XYZ", 3, &n, nullptr));
    EXPECT_EQ(FileSizeOf(h.get()), beyond + 3);
  }
  EXPECT_EQ(FileSizeByName(f), beyond + 3);
  EXPECT_EQ(ReadFileRange(f, 3, beyond), "XYZ");
  EXPECT_EQ(ReadFileRange(f, 0, beyond + 1), "YZ");
  DeleteFileA(f.c_str());  // a sparse file, but do not leave it behind
}

TEST_F(FilesTest, FileSizeByNameNeedsNoAccessToTheFile) {
  const std::string f = Path("locked.bin");
  ASSERT_TRUE(WriteTextToFile(f, std::string(1234, 'z')));
  UniqueHandle lock(CreateFileA(f.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(IsValid(lock));
  EXPECT_EQ(FileSizeByName(f), 1234);
  EXPECT_EQ(FileSizeByName(Path("missing.bin")), 0);
}

TEST(DiskOnWindows, FreeSpaceFallsBackToTheDriveRoot) {
  EXPECT_GT(DiskFreeSpace("C:\\"), 0.0);
  EXPECT_GT(DiskFreeSpace("C:\\NoSuchFolder\\Deeper"), 0.0);
  EXPECT_EQ(DiskFreeSpace(""), 0.0);
}

TEST_F(FilesTest, DeleteFilesTakesHiddenAndReadOnlyFilesButNotFolders) {
  ASSERT_TRUE(WriteTextToFile(Path("a.tmp"), "a"));
  ASSERT_TRUE(WriteTextToFile(Path("b.tmp"), "b"));
  ASSERT_TRUE(WriteTextToFile(Path("keep.txt"), "k"));
  ASSERT_TRUE(ForceDirectories(Path("sub.tmp")));
  SetFileAttributesA(Path("a.tmp").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(Path("b.tmp").c_str(), FILE_ATTRIBUTE_READONLY);

  EXPECT_TRUE(DeleteFiles(Path("*.tmp"), false));
  EXPECT_FALSE(FileExists(Path("a.tmp")));
  EXPECT_TRUE(FileExists(Path("b.tmp")));  // read-only stays without the flag
  EXPECT_TRUE(DeleteFiles(Path("*.tmp"), true));
  EXPECT_FALSE(FileExists(Path("b.tmp")));
  EXPECT_TRUE(FileExists(Path("keep.txt")));
  EXPECT_TRUE(DirExists(Path("sub.tmp")));
  EXPECT_FALSE(DeleteFiles(Path("*.tmp"), true));  // only a folder matches
}

TEST_F(FilesTest, DeleteTreeRemovesNestedFoldersAndReportsTheOutcome) {
  const std::string root = Path("tree");
  ASSERT_TRUE(ForceDirectories(root + "\\a\\b\\c"));
  ASSERT_TRUE(ForceDirectories(root + "\\d"));
  ASSERT_TRUE(WriteTextToFile(root + "\\a\\b\\c\\f.txt", "x"));
  ASSERT_TRUE(WriteTextToFile(root + "\\top.txt", "x"));
  SetFileAttributesA((root + "\\a\\b\\c\\f.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  int calls = 0;
  EXPECT_TRUE(DeleteTree(root + "\\", true, [&](bool&) { ++calls; }));
  EXPECT_FALSE(DirExists(root));
  EXPECT_EQ(calls, 2);  // once per direct sub-folder
  EXPECT_FALSE(DeleteTree(root, true));  // no longer there
  EXPECT_FALSE(DeleteTree("", true));
}

TEST_F(FilesTest, DeleteTreeLeavesALockedFileAndItsFolders) {
  const std::string root = Path("locked");
  ASSERT_TRUE(ForceDirectories(root + "\\in\\deep"));
  ASSERT_TRUE(WriteTextToFile(root + "\\in\\deep\\busy.txt", "x"));
  ASSERT_TRUE(WriteTextToFile(root + "\\free.txt", "x"));
  UniqueHandle lock(CreateFileA((root + "\\in\\deep\\busy.txt").c_str(), GENERIC_READ, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(IsValid(lock));
  EXPECT_FALSE(DeleteTree(root, true));
  EXPECT_TRUE(FileExists(root + "\\in\\deep\\busy.txt"));
  EXPECT_FALSE(FileExists(root + "\\free.txt"));
}

TEST_F(FilesTest, DeleteTreeStopsWhenTheCallbackCancels) {
  const std::string root = Path("cancel");
  for (const char* sub : {"\\x", "\\y", "\\z"}) ASSERT_TRUE(ForceDirectories(root + sub));
  int calls = 0;
  EXPECT_FALSE(DeleteTree(root, true, [&](bool& cancel) { cancel = ++calls == 1; }));
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(DirExists(root));
}
