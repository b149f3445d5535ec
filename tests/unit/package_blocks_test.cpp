#include <gtest/gtest.h>

#include "../support/package_bytes.h"
#include "core/UnPack/package_blocks.h"

using namespace kestro;
using namespace ktest;

namespace {

struct Recorder : BlockSink {
  struct File {
    FileBlockHeader header;
    std::string data;
    bool ended = false;
  };
  std::vector<File> files;
  std::vector<BlockMethod> methods;
  size_t largestPiece = 0;
  size_t pumps = 0;
  void Pump() override { ++pumps; }
  void BeginBlock(BlockMethod method, uint64_t) override { methods.push_back(method); }
  void BeginFile(const FileBlockHeader& h) override { files.push_back({h, "", false}); }
  void FileData(const uint8_t* p, size_t n) override {
    files.back().data.append(reinterpret_cast<const char*>(p), n);
    largestPiece = std::max(largestPiece, n);
  }
  void EndFile() override { files.back().ended = true; }
};

// Two header blocks, then the given blocks, then room for a trailer.
VolumeWalk Walk(const std::string& blocks, Recorder& rec, unsigned headerCount = 2) {
  std::string v = HeaderBlock("lang") + HeaderBlock("|a|b|") + blocks + std::string(kTrailerSize, 'T');
  MemorySource src(v);
  return WalkVolumeBlocks(src, 0, v.size(), headerCount, rec);
}

TEST(BlockReader, StoredAndCompressedBlocksGiveTheirFiles) {
  Recorder rec;
  VolumeWalk w = Walk(StoredBlock(FileContent("a.txt", "alpha", 77)) +
                          CompressedBlock(FileContent("sub\\b.bin", std::string(1000, 'b'))) +
                          StoredBlock(FileContent("setup.exe*/s /t", "engine")),
                      rec);
  EXPECT_EQ(w.status, VolumeStatus::kComplete);
  EXPECT_EQ(w.blocks, 5u);
  EXPECT_EQ(w.firstFileBlock, 4u + 4 + 4 + 5);
  EXPECT_EQ(w.engineEntry, "setup.exe*/s /t");
  ASSERT_EQ(rec.files.size(), 3u);
  EXPECT_EQ(rec.files[0].header.name, "a.txt");
  EXPECT_EQ(rec.files[0].header.dosTime, 77u);
  EXPECT_EQ(rec.files[0].data, "alpha");
  EXPECT_EQ(rec.files[1].header.name, "sub\\b.bin");
  EXPECT_EQ(rec.files[1].data, std::string(1000, 'b'));
  EXPECT_EQ(rec.files[2].header.name, "setup.exe");
  for (const auto& f : rec.files) EXPECT_TRUE(f.ended);
}

TEST(BlockReader, EmptyHeadersCarryNoFileAndABlockWithoutZeroIsAllHeader) {
  Recorder rec;
  VolumeWalk w = Walk(StoredBlock(std::string(1, '\0') + "skipped") + CompressedBlock("") +
                          StoredBlock("|only-header|0|"),
                      rec);
  EXPECT_EQ(w.status, VolumeStatus::kComplete);
  ASSERT_EQ(rec.files.size(), 1u);
  EXPECT_EQ(rec.files[0].header.name, "only-header");
  EXPECT_EQ(rec.files[0].data, "");
}

TEST(BlockReader, EngineEntryRules) {
  struct Case {
    const char* header;
    const char* name;
    const char* entry;
  } cases[] = {
      {"|setup.exe|0|", "setup.exe", ""},
      {"|setup.exe*|0|", "setup.exe", "setup.exe*"},
      {"|setup.exe*/a*b|0|", "setup.exe", "setup.exe*/a*b"},
      {"|setup.exe|0*|", "setup.exe", "|setup.exe|0*|"},  // a star elsewhere: the whole header
  };
  for (const Case& c : cases) {
    FileBlockHeader h;
    ASSERT_TRUE(ParseFileBlockHeader(c.header, h));
    EXPECT_EQ(h.name, c.name) << c.header;
    EXPECT_EQ(h.engineEntry, c.entry) << c.header;
  }
  FileBlockHeader h;
  EXPECT_FALSE(ParseFileBlockHeader("", h));
  EXPECT_TRUE(ParseFileBlockHeader("|f|not a time|", h));
  EXPECT_EQ(h.dosTime, 0u);
}

TEST(BlockReader, NamesThatLeaveTheFolderAreRefused) {
  const std::string bad[] = {"", "..", "..\\x", "a\\..\\..\\x", "a/../x", "\\x", "/x", "\\\\srv\\s\\x",
                       "\\\\?\\C:\\x", "C:\\x", "C:x", "x:stream", "x::$DATA", "a\\. \\x", "...",
                       ". .", "a\\b\\..", std::string("a\x01" "b"), "NUL", "sub\\nul.txt", "con",
                       "Aux.h", "prn .txt", "COM1", "lpt9.log", "COM0", "LPT\xB9", "conout$"};
  for (const std::string& name : bad) EXPECT_FALSE(IsSafeRelativeName(name)) << name;
  const char* good[] = {"a.txt", "sub\\b.bin", "sub/b.bin", "a..b", ".hidden", "x\\y\\z.dat", "name with blanks",
                        "console.txt", "nul_data", "com10", "COMA", "auxiliary\\x"};
  for (const char* name : good) EXPECT_TRUE(IsSafeRelativeName(name)) << name;

  Recorder rec;
  VolumeWalk w = Walk(StoredBlock(FileContent("ok.txt", "1")) + StoredBlock(FileContent("..\\evil", "2")) +
                          StoredBlock(FileContent("later.txt", "3")),
                      rec);
  EXPECT_EQ(w.status, VolumeStatus::kUnsafeName);
  ASSERT_EQ(rec.files.size(), 1u) << "nothing is handed on after the refused block";
}

// The target is always folder + "\\" + name, so a name with one leading
// separator stays inside the folder; two of them still name a share or a
// device.
TEST(BlockReader, ALeadingSeparatorNamesAFileInsideTheFolder) {
  struct Case {
    const char* name;
    VolumeStatus status;
    const char* relative;  // what reaches the sink
  } cases[] = {
      {"\\lead.txt", VolumeStatus::kComplete, "lead.txt"},
      {"/sub/x.txt", VolumeStatus::kComplete, "sub/x.txt"},
      {"\\setup.exe*/s", VolumeStatus::kComplete, "setup.exe"},
      {"\\\\srv\\s\\x", VolumeStatus::kUnsafeName, nullptr},
      {"//srv/s/x", VolumeStatus::kUnsafeName, nullptr},
      {"\\/x", VolumeStatus::kUnsafeName, nullptr},
      {"\\\\?\\C:\\x", VolumeStatus::kUnsafeName, nullptr},
      {"\\\\.\\COM1", VolumeStatus::kUnsafeName, nullptr},
      {"\\..\\x", VolumeStatus::kUnsafeName, nullptr},
      {"\\C:\\x", VolumeStatus::kUnsafeName, nullptr},
      {"/NUL", VolumeStatus::kUnsafeName, nullptr},
      {"\\x:stream", VolumeStatus::kUnsafeName, nullptr},
  };
  for (const Case& c : cases) {
    Recorder rec;
    VolumeWalk w = Walk(StoredBlock(FileContent(c.name, "data")), rec);
    EXPECT_EQ(w.status, c.status) << c.name;
    if (!c.relative) {
      EXPECT_TRUE(rec.files.empty()) << c.name;
      continue;
    }
    ASSERT_EQ(rec.files.size(), 1u) << c.name;
    EXPECT_EQ(rec.files[0].header.name, c.relative);
    EXPECT_EQ(rec.files[0].data, "data");
  }
  FileBlockHeader h;
  ASSERT_TRUE(ParseFileBlockHeader("|\\setup.exe*/s|0|", h));
  EXPECT_EQ(h.engineEntry, "setup.exe*/s");
}

TEST(BlockReader, DamagedBlocksStopTheWalk) {
  const std::string good = CompressedBlock(FileContent("f", std::string(4000, 'q')));
  std::string flipped = good;
  flipped[30] ^= 0x5A;
  struct Case {
    const char* what;
    std::string blocks;
  } cases[] = {
      {"zlib data error", flipped},
      {"stream ends after the block", Le32(uint32_t(good.size() - 10)) + good.substr(4, good.size() - 10)},
      {"length past the data end", Le32(0x10000000) + "xyz"},
      {"negative length past the data end", Le32(0x80000000u) + "xyz"},
      {"header without end beyond the limit", StoredBlock(std::string(kMaxBlockHeader + 10, 'h'))},
      {"not a zlib stream", Le32(3) + "abc"},
  };
  for (const Case& c : cases) {
    Recorder rec;
    EXPECT_EQ(Walk(c.blocks, rec).status, VolumeStatus::kDamaged) << c.what;
  }
}

TEST(BlockReader, AZstdBlockCarriesARunOfFilesBesideZlibAndStoredBlocks) {
  Recorder rec;
  const std::string big(200000, 'r');  // several chunks, several output pieces
  VolumeWalk w = Walk(ZstdBlock(RunEntry("a.txt", "alpha") + RunEntry("empty", "") +
                                RunEntry("sub\\big.bin", big, 7000) + RunEntry("setup.exe*/s", "engine")) +
                          CompressedBlock(FileContent("z.txt", "zlib")) + StoredBlock(FileContent("s.txt", "stored")) +
                          ZstdBlock(RunEntry("last", "one")),
                      rec);
  EXPECT_EQ(w.status, VolumeStatus::kComplete);
  EXPECT_EQ(w.engineEntry, "setup.exe*/s");
  EXPECT_EQ(rec.methods, (std::vector<BlockMethod>{BlockMethod::kZstd, BlockMethod::kZlib, BlockMethod::kStored,
                                                   BlockMethod::kZstd}));
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"a.txt", "alpha"}, {"empty", ""}, {"sub\\big.bin", big}, {"setup.exe", "engine"},
      {"z.txt", "zlib"},  {"s.txt", "stored"}, {"last", "one"}};
  ASSERT_EQ(rec.files.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(rec.files[i].header.name, expected[i].first);
    EXPECT_EQ(rec.files[i].data, expected[i].second) << expected[i].first;
    EXPECT_TRUE(rec.files[i].ended) << expected[i].first;
  }
  EXPECT_LE(rec.largestPiece, size_t(64 * 1024));
}

TEST(BlockReader, DamagedZstdBlocksStopTheWalk) {
  const std::string run = RunEntry("f", std::string(4000, 'q')) + RunEntry("g", "second");
  const std::string good = ZstdBlock(run);
  std::string flipped = good;
  flipped[good.size() - 12] ^= 0x20;  // in the last block's data: only the checksum sees it
  auto block = [](const std::string& frame) { return Le32(uint32_t(frame.size())) + frame; };
  struct Case {
    const char* what;
    std::string blocks;
    VolumeStatus status;
  } cases[] = {
      {"a flipped bit", flipped, VolumeStatus::kDamaged},
      {"the frame cut short", Le32(uint32_t(good.size() - 10)) + good.substr(4, good.size() - 10),
       VolumeStatus::kDamaged},
      {"no content checksum", block(ZstdFrame(run, false)), VolumeStatus::kDamaged},
      {"a window beyond 128 MB", block(ZstdFrame(run, true, 28)), VolumeStatus::kDamaged},
      {"a run ending inside a file", ZstdBlock(run.substr(0, run.size() - 4)), VolumeStatus::kDamaged},
      {"a run ending inside a header", ZstdBlock("|f|0"), VolumeStatus::kDamaged},
      {"a chunk past the frame's end", ZstdBlock("|f|0|" + std::string(1, '\0') + Le32(100) + "short"),
       VolumeStatus::kDamaged},
      {"only the magic", Le32(4) + good.substr(4, 4), VolumeStatus::kDamaged},
      {"a name leaving the folder", ZstdBlock(RunEntry("ok", "1") + RunEntry("..\\evil", "2")),
       VolumeStatus::kUnsafeName},
  };
  for (const Case& c : cases) {
    Recorder rec;
    EXPECT_EQ(Walk(c.blocks, rec).status, c.status) << c.what;
    for (const auto& f : rec.files) EXPECT_NE(f.header.name, "..\\evil") << c.what;
  }
  Recorder rec;
  EXPECT_EQ(Walk(good, rec).status, VolumeStatus::kComplete) << "the undamaged block";
}

TEST(BlockReader, LargeFilesArriveInBoundedPieces) {
  Recorder rec;
  const std::string data(20 << 20, 'z');  // 20 MB that compress to about 20 KB
  VolumeWalk w = Walk(CompressedBlock(FileContent("big", data)), rec);
  EXPECT_EQ(w.status, VolumeStatus::kComplete);
  ASSERT_EQ(rec.files.size(), 1u);
  EXPECT_EQ(rec.files[0].data.size(), data.size());
  EXPECT_LE(rec.largestPiece, size_t(64 * 1024));
}

// 64 MB of zeros is one small frame, read in a single piece: the sink (the
// extraction's window) is still pumped once per output piece.
TEST(BlockReader, ASmallFrameThatGrowsHugeStillPumpsTheSink) {
  Recorder rec;
  const std::string block = ZstdBlock(RunEntry("zeros", std::string(64 << 20, '\0')));
  ASSERT_LT(block.size(), kReadPiece);
  EXPECT_EQ(Walk(block, rec).status, VolumeStatus::kComplete);
  ASSERT_EQ(rec.files.size(), 1u);
  EXPECT_EQ(rec.files[0].data.size(), size_t(64) << 20);
  EXPECT_GE(rec.pumps, size_t(1024)) << "64 MB in 64 KB pieces";
}

TEST(BlockReader, StopsWhenOnlyATrailerRemains) {
  Recorder rec;
  std::string v = HeaderBlock("") + HeaderBlock("") + StoredBlock(FileContent("a", "1"));
  v += std::string(kTrailerSize, '\xff');  // would be a huge negative length if read
  MemorySource src(v);
  EXPECT_EQ(WalkVolumeBlocks(src, 0, v.size(), 2, rec).status, VolumeStatus::kComplete);
  EXPECT_EQ(rec.files.size(), 1u);
}

}  // namespace
