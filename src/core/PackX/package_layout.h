// The byte layout of a Kestro package and the trailer that finds it.
//
// A setup file is the stub executable followed by its package:
//
//   +---------------------------+ 0
//   | stub executable image     |  "MZ" at 0, "PE" at 256
//   |   DOS header area:        |  248: package end, high 32 bits
//   |                           |  252: package end, low 32 bits
//   |                           |       (0 = the package ends at the file's end)
//   +---------------------------+ trailer.PackageStart()
//   | header block 1..N         |  int32 length L > 0, then L bytes of text:
//   |                           |   1 language block, 2 package settings
//   |                           |   (5 items, a 6th with the release key),
//   |                           |   3 web source list (only when N >= 3)
//   +---------------------------+
//   | file block ...            |  int32 L, then |L| bytes:
//   |                           |   L < 0: stored bytes; L > 0: one zlib stream,
//   |                           |   or one zstd frame (starts 28 B5 2F FD)
//   |                           |   zlib, stored: "|name|dostime|" 0x00 file bytes
//   |                           |   zstd: a run of files, each "|name|dostime|"
//   |                           |   0x00, chunks (uint32 n > 0, n bytes), uint32 0
//   +---------------------------+
//   | trailer (74 bytes)        |  last field = its own length
//   +---------------------------+ package end
//   | anything (a signature...) |  ignored when the package-end pointer is set
//   +---------------------------+
//
// Numbered volumes of a spanned package have the same layout; the volumes
// after the first carry no stub (package start 0). An agent file is a stub
// with the header blocks and a trailer, but no file blocks.
// All integers are little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kestro {

// --- stub image --------------------------------------------------------------
constexpr uint64_t kPeSignatureOffset = 256;   // "PE"
constexpr uint64_t kPackageEndHighOffset = 248;
constexpr uint64_t kPackageEndLowOffset = 252;

// --- trailer -------------------------------------------------------------------
constexpr size_t kTrailerSize = 74;
constexpr size_t kTrReserved0 = 0;        // 1 byte, the packager writes 1
constexpr size_t kTrHeaderCount = 1;      // 1 byte, 0 is read as 2
constexpr size_t kTrPackageStart = 4;     // uint32: offset of the first header block
constexpr size_t kTrFileCount = 8;        // uint32: file blocks in this volume
constexpr size_t kTrMagic = 12;           // uint32: kPackageMagic
constexpr size_t kTrChecksum = 16;        // uint32: see ComputeChecksum
constexpr size_t kTrReserved20 = 20;      // 8 bytes, preserved
constexpr size_t kTrSpaceTable = 28;      // 9 x uint32 bytes needed, by cluster size
constexpr size_t kTrReserved64 = 64;      // 1 byte, preserved
constexpr size_t kTrFlags = 65;           // kFlag* bits
constexpr size_t kTrWebSetup = 66;        // 1 byte
constexpr size_t kTrAskBeforeDownload = 67;
constexpr size_t kTrCreatesAgent = 68;
constexpr size_t kTrIsAgent = 69;
constexpr size_t kTrLength = 70;          // uint32: kTrailerSize

constexpr uint32_t kPackageMagic = 0x4A3B2C1D;
constexpr uint32_t kChecksumNotChecked = 1234;
constexpr size_t kSpaceTableEntries = 9;
constexpr uint8_t kDefaultHeaderCount = 2;

constexpr uint8_t kFlagTempDriveNotice = 0x01;
constexpr uint8_t kFlagNextVolume = 0x02;
constexpr uint8_t kFlagCdSpanned = 0x04;
constexpr uint8_t kFlagBusyBar = 0x08;
constexpr uint8_t kFlagAgentLog = 0x10;

// --- header blocks -------------------------------------------------------------
constexpr char kLanguageBlockDelimiter = '\x02';
constexpr char kLanguageSectionDelimiter = '\x01';
// Item kSetReleaseKey is optional: packages without it (and readers that
// stop at kSetHidden) behave as before; see core/StubAU/release_key.h.
enum PackageSettingsItem { kSetUpdateUrl, kSetInfoFile, kSetAgentExe, kSetProductToken, kSetHidden, kSetReleaseKey };
enum WebSourceItem { kWebSource, kWebPackageName, kWebNoLocal, kWebToken, kWebPackageSize };

// --- file blocks ---------------------------------------------------------------
constexpr char kBlockHeaderEnd = '\0';    // separates the block header from the data
constexpr char kEngineMark = '*';         // "engine.exe*/switches" marks the engine
// File data is read and written in pieces of this size, never held whole.
constexpr size_t kReadPiece = 64 * 1024;
// A zstd block's frame declares a window of at most 2^27 bytes (128 MB): the
// memory the stub must hold to decode it. Larger ones are refused as damaged.
constexpr unsigned kMaxZstdWindowLog = 27;
// How the bytes of a file block are stored.
enum class BlockMethod { kStored, kZlib, kZstd };

// Little-endian helpers over raw bytes.
inline uint32_t GetLe32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void PutLe32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}

// The 74-byte trailer record, kept as its raw bytes so that reserved fields
// survive a read and rewrite unchanged.
struct PackageTrailer {
  std::array<uint8_t, kTrailerSize> raw{};

  uint32_t U32(size_t off) const { return GetLe32(&raw[off]); }
  void SetU32(size_t off, uint32_t v) { PutLe32(&raw[off], v); }

  uint8_t HeaderCount() const { return raw[kTrHeaderCount]; }
  uint32_t PackageStart() const { return U32(kTrPackageStart); }
  uint32_t FileCount() const { return U32(kTrFileCount); }
  uint32_t Magic() const { return U32(kTrMagic); }
  bool HasMagic() const { return Magic() == kPackageMagic; }
  uint32_t Checksum() const { return U32(kTrChecksum); }
  uint32_t Space(size_t i) const { return U32(kTrSpaceTable + 4 * i); }
  uint8_t Flags() const { return raw[kTrFlags]; }
  bool Flag(uint8_t bit) const { return (raw[kTrFlags] & bit) != 0; }
  uint32_t Length() const { return U32(kTrLength); }
};

// Random access to the bytes of a package: a file, or memory in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to n bytes at offset; returns the count read (0 at or past the end).
  virtual size_t ReadAt(uint64_t offset, void* buf, size_t n) = 0;
};

class MemorySource : public ByteSource {
 public:
  MemorySource(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  explicit MemorySource(const std::string& s) : MemorySource(s.data(), s.size()) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t n) override;

 private:
  const uint8_t* data_;
  size_t size_;
};

// True when offset 0 holds "MZ" and offset 256 holds "PE".
bool IsPeImage(ByteSource& src);

// The 64-bit package-end pointer of the stub's DOS header area (0 when unset
// or when the file is too short to hold it).
uint64_t GetPackageEnd(ByteSource& src);

// Where the package's data ends: the package-end pointer of a PE image when
// set, otherwise the file's size.
uint64_t GetDataEnd(ByteSource& src);

// The trailer search. Always fills `out` (zero-filled, then as much as could
// be read); returns whether the magic matched. A trailer shorter than 74
// bytes is read in part, the rest stays zero; a header count of 0 becomes 2.
bool ReadPackageTrailer(ByteSource& src, PackageTrailer& out);

// The additive checksum stored in a volume's trailer: 32-bit words from the
// start of the file (from offset 512 when the package-end pointer is set) up
// to the trailer, with 1234 added per 4 KB piece. Files above 51,200 bytes are
// not read and give 1234, which always passes.
constexpr uint64_t kChecksumMaxFileSize = 51200;
uint32_t ComputeChecksum(ByteSource& src, uint32_t trailerLength);

// Whether a volume's stored checksum accepts its computed one.
inline bool ChecksumAccepted(uint32_t computed, uint32_t stored) {
  return computed == stored || computed == kChecksumNotChecked || stored == kChecksumNotChecked;
}

// Volume names: the first volume is the setup file itself or a file ending
// in ".001"; the base drops that ending, and volume n >= 2 is the base, a dot
// and n padded with zeros to three digits (1000 and above keep every digit).
std::string VolumeBasePath(const std::string& firstVolume);
std::string VolumePath(const std::string& base, unsigned number);

}  // namespace kestro
