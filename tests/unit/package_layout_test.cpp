#include <gtest/gtest.h>

#include "core/PackX/package_layout.h"
#include "../support/package_bytes.h"

using namespace kestro;
using namespace ktest;

namespace {

std::string Blocks() { return StoredBlock(FileContent("a.txt", "hello")); }

TEST(TrailerSearch, FindsThePackageAtTheEndOfAPlainFile) {
  std::string p = Package(Blocks(), 1);
  MemorySource src(p);
  PackageTrailer t;
  ASSERT_TRUE(ReadPackageTrailer(src, t));
  EXPECT_EQ(t.PackageStart(), 512u);
  EXPECT_EQ(t.FileCount(), 1u);
  EXPECT_EQ(t.Length(), kTrailerSize);
}

TEST(TrailerSearch, ASignedFileIsReadLikeAnUnsignedOne) {
  std::string p = Package(Blocks(), 1);
  const uint64_t end = p.size();
  PutLe32(reinterpret_cast<uint8_t*>(&p[kPackageEndLowOffset]), uint32_t(end));
  p += std::string(3000, '\x5A');  // a signature appended after packaging
  MemorySource src(p);
  PackageTrailer t;
  ASSERT_TRUE(ReadPackageTrailer(src, t));
  EXPECT_EQ(t.PackageStart(), 512u);
  EXPECT_EQ(GetPackageEnd(src), end);
  EXPECT_EQ(GetDataEnd(src), end);
}

TEST(TrailerSearch, PointerIsIgnoredInAFileThatIsNoPeImage) {
  std::string p = Package(Blocks(), 1);
  p[256] = 'X';  // no "PE": the pointer bytes are just stub bytes
  PutLe32(reinterpret_cast<uint8_t*>(&p[kPackageEndLowOffset]), 77);
  MemorySource src(p);
  PackageTrailer t;
  EXPECT_TRUE(ReadPackageTrailer(src, t));
  EXPECT_FALSE(IsPeImage(src));
}

TEST(TrailerSearch, AShortTrailerIsReadInPartAndTheRestCountsAsZero) {
  PackageTrailer full = MakeTrailer(512, 3);
  full.raw[kTrFlags] = kFlagBusyBar;  // beyond a 40-byte trailer: must not be read
  std::string t = Bytes(full).substr(0, 36) + Le32(40);
  std::string p = TinyStub() + HeaderBlock("") + HeaderBlock("") + t;
  MemorySource src(p);
  PackageTrailer out;
  ASSERT_TRUE(ReadPackageTrailer(src, out));
  EXPECT_EQ(out.FileCount(), 3u);
  EXPECT_EQ(out.Length(), 40u);
  EXPECT_EQ(out.Flags(), 0);
}

TEST(TrailerSearch, NoPackageGivesAZeroTrailerWithHeaderCountTwo) {
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty file", ""},
      {"shorter than a length", "ab"},
      {"length reaching before the file", TinyStub() + Le32(100000)},
      {"length below four", TinyStub() + Le32(2)},
      {"pointer past the end", [] {
         std::string p = Package(Blocks(), 1);
         PutLe32(reinterpret_cast<uint8_t*>(&p[kPackageEndLowOffset]), 0xFFFFFFF0u);
         return p;
       }()},
  };
  for (const Case& c : cases) {
    MemorySource src(c.bytes);
    PackageTrailer t;
    EXPECT_FALSE(ReadPackageTrailer(src, t)) << c.what;
    EXPECT_EQ(t.HeaderCount(), kDefaultHeaderCount) << c.what;
    EXPECT_EQ(t.FileCount(), 0u) << c.what;
  }
}

TEST(TrailerSearch, WrongMagicLeavesTheTrailerAsRead) {
  PackageTrailer t = MakeTrailer(512, 9, 0);
  t.SetU32(kTrMagic, 0x12345678);
  std::string p = TinyStub() + Bytes(t);
  MemorySource src(p);
  PackageTrailer out;
  EXPECT_FALSE(ReadPackageTrailer(src, out));
  EXPECT_EQ(out.FileCount(), 9u);
  EXPECT_EQ(out.HeaderCount(), 2) << "a header count of 0 is read as 2";
}

// ---- checksum -----------------------------------------------------------------

std::string WithChecksum(std::string p) {
  MemorySource src(p);
  uint32_t sum = ComputeChecksum(src, kTrailerSize);
  PutLe32(reinterpret_cast<uint8_t*>(&p[p.size() - kTrailerSize + kTrChecksum]), sum);
  return p;
}

uint32_t StoredChecksum(const std::string& p) {
  return GetLe32(reinterpret_cast<const uint8_t*>(&p[p.size() - kTrailerSize + kTrChecksum]));
}

bool Passes(const std::string& p, const std::string& stored) {
  MemorySource src(p);
  return ChecksumAccepted(ComputeChecksum(src, kTrailerSize), StoredChecksum(stored));
}
bool Passes(const std::string& p) { return Passes(p, p); }

TEST(Checksum, DetectsAChangedByteInTheStubOrTheBlocks) {
  std::string p = WithChecksum(Package(Blocks() + Blocks(), 2));
  ASSERT_NE(StoredChecksum(p), kChecksumNotChecked);
  EXPECT_TRUE(Passes(p));
  for (size_t at : {size_t(4), size_t(540), p.size() - kTrailerSize - 12}) {
    std::string damaged = p;
    damaged[at] ^= 0x40;
    EXPECT_FALSE(Passes(damaged)) << "byte " << at;
  }
}

TEST(Checksum, CoversNeitherTheTrailerNorTheWordsJustBeforeIt) {
  std::string p = WithChecksum(Package(Blocks(), 1));
  std::string changed = p;
  changed[p.size() - kTrailerSize + kTrReserved20] ^= 1;  // inside the trailer
  changed[p.size() - kTrailerSize - 1] ^= 1;              // the last word before it
  EXPECT_TRUE(Passes(changed));
}

TEST(Checksum, Value1234InEitherPlacePasses) {
  std::string p = Package(Blocks(), 1);  // stores 1234
  p[530] ^= 0x40;
  EXPECT_TRUE(Passes(p));
  EXPECT_TRUE(ChecksumAccepted(kChecksumNotChecked, 5));
  EXPECT_TRUE(ChecksumAccepted(5, kChecksumNotChecked));
  EXPECT_FALSE(ChecksumAccepted(5, 6));
}

TEST(Checksum, FilesAbove51200BytesAreNotRead) {
  std::string blocks = StoredBlock(FileContent("big", std::string(60000, 'x')));
  std::string p = Package(blocks, 1);
  MemorySource src(p);
  EXPECT_EQ(ComputeChecksum(src, kTrailerSize), kChecksumNotChecked);
  std::string exact = Package("", 0);
  exact = Package(StoredBlock(FileContent("f", std::string(51200 - exact.size() - 4 - 6, 'x'))), 1);
  ASSERT_EQ(exact.size(), 51200u);
  MemorySource limit(exact);
  EXPECT_NE(ComputeChecksum(limit, kTrailerSize), kChecksumNotChecked) << "51,200 bytes are still summed";
}

TEST(Checksum, SignedFilesAreSummedFrom512SoThePointerDoesNotCount) {
  std::string p = Package(Blocks(), 1);
  PutLe32(reinterpret_cast<uint8_t*>(&p[kPackageEndLowOffset]), uint32_t(p.size()));
  p = WithChecksum(p);
  std::string signedFile = p + "SIGNATURE";
  EXPECT_TRUE(Passes(signedFile, p)) << "bytes after the package end do not count";
  std::string stubChanged = p;
  stubChanged[100] ^= 1;
  EXPECT_TRUE(Passes(stubChanged)) << "the first 512 bytes are left out";
}

TEST(Checksum, APointerFarPastTheEndIsHarmless) {
  std::string p = Package(Blocks(), 1);
  PutLe32(reinterpret_cast<uint8_t*>(&p[kPackageEndHighOffset]), 0x80000000u);
  MemorySource src(p);
  ComputeChecksum(src, kTrailerSize);  // the sanitizers watch the arithmetic
  PackageTrailer t;
  EXPECT_FALSE(ReadPackageTrailer(src, t));
}

TEST(Checksum, KnownValueOfASmallFile) {
  // 16 bytes of words 1..4 and a 4-byte "trailer": area 12, the words 1 and 2
  // count (the area is still above 4 after them), plus 1234 for the piece
  // only while the area stays above 4 (it does not).
  std::string f = Le32(1) + Le32(2) + Le32(3) + Le32(4) + Le32(4);
  MemorySource src(f);
  EXPECT_EQ(ComputeChecksum(src, 4), 1u + 2u);
}

// ---- volume names -------------------------------------------------------------

TEST(VolumeNames, NumberedAfterTheBasePath) {
  struct Case {
    const char* first;
    unsigned n;
    const char* expected;
  } cases[] = {
      {"C:\\d\\setup.exe", 2, "C:\\d\\setup.exe.002"},
      {"C:\\d\\setup.exe.001", 2, "C:\\d\\setup.exe.002"},
      {"C:\\d\\setup.exe.001", 3, "C:\\d\\setup.exe.003"},
      {"setup.exe.001", 999, "setup.exe.999"},
      {"setup.exe.001", 1000, "setup.exe.1000"},
      {"setup.exe.001", 12345, "setup.exe.12345"},
      {"setup.001.exe", 2, "setup.001.exe.002"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(VolumePath(VolumeBasePath(c.first), c.n), c.expected) << c.first << " #" << c.n;
}

}  // namespace
