// Writing packages: setup files, numbered volumes, web setups and packages
// whose end is marked for a code signature. kpack is a command line around
// this; the tests build their fixtures with it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/PackX/package_layout.h"

namespace kestro {

constexpr int kDefaultZlibLevel = 6;
constexpr int kDefaultZstdLevel = 19;
constexpr int kMaxZstdLevel = 22;
constexpr unsigned kDefaultZstdWindowLog = 23;  // 8 MB
constexpr unsigned kMinZstdWindowLog = 17;      // 128 KB, zstd's block size

struct PackEntry {
  std::string source;     // file to read
  std::string name;       // name field: relative name, or "engine.exe*switches"
  uint32_t dosTime = 0;   // packed DOS date-time, 0 = none
};

struct PackOrder {
  std::string stubPath;   // the stub executable copied in front of volume 1
  std::string outPath;    // volume 1; a name ending in ".001" numbers every volume
  std::string languageBlock, packageSettings, webSourceList;
  uint8_t headerCount = 2;
  std::vector<PackEntry> files;
  // Flags, web bytes, space table and reserved bytes as wanted; the writer
  // fills header count, package start, file count, magic, checksum, length
  // and the next-volume flag.
  PackageTrailer trailer;
  bool compress = true;         // false: every block stored
  BlockMethod method = BlockMethod::kZlib;  // of compressed blocks: kZlib or kZstd
  int level = 0;                // 0: the method's default (kDefaultZlibLevel, kDefaultZstdLevel)
  // zstd: consecutive files go into one run (one frame), which ends where
  // the volume ends; without it every file is a run of its own.
  bool solid = false;
  // zstd: the frame's window, 2^windowLog bytes: the memory the stub holds to
  // decode a block, and how far back a match may reach (the gain of solid).
  unsigned windowLog = kDefaultZstdWindowLog;
  uint64_t volumeSize = 0;     // largest volume in bytes; 0 = one file
  bool setPackageEnd = false;  // mark the end, so a signature may follow
  bool checksum = true;        // false stores 1234 (not checked)
};

struct PackResult {
  std::string error;                 // empty on success
  std::vector<std::string> volumes;  // files written, in order
};

PackResult WritePackage(const PackOrder& order);

// The largest input one block takes: a block's length is a signed 32-bit
// number, so bigger files go into several blocks under the same name.
constexpr uint64_t kMaxBlockInput = uint64_t(1) << 30;

// A language section per (name, "key=value" lines).
using LanguageSection = std::pair<std::string, std::vector<std::string>>;
std::string BuildLanguageBlock(const std::vector<LanguageSection>& sections);

// "|name|time|" with a delimiter that neither field holds.
std::string BuildBlockHeader(const std::string& name, uint32_t dosTime);

// Space table for files of the given sizes: each entry sums the sizes
// rounded up to that entry's cluster size (entry 0 assumes 4 KB clusters).
void FillSpaceTable(PackageTrailer& trailer, const std::vector<uint64_t>& fileSizes);

}  // namespace kestro
