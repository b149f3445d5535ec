// Reading the blocks of one volume: the header blocks are skipped, each file
// block is inflated (or copied) in pieces and handed to a sink, so that no
// file is ever held whole in memory.
#pragma once

#include <cstdint>
#include <string>

#include "core/PackX/package_layout.h"

namespace kestro {

// The block header of a file block: "|name|dostime|" (any delimiter).
struct FileBlockHeader {
  std::string name;          // relative to the extraction folder (one leading separator
                             // dropped), engine mark cut off
  uint32_t dosTime = 0;      // packed DOS date-time; 0 = leave the time as written
  std::string engineEntry;   // the name field when it marks the engine, else empty
};

// Parses a block header; false when it is empty (the block carries no file).
bool ParseFileBlockHeader(const std::string& header, FileBlockHeader& out);

// A name that stays inside the extraction folder: relative, no drive, no UNC
// or device prefix, no "." or ".." segments, no device names (CON, NUL,
// COM1, ... with or without an extension), no stream colon, no control
// characters. Both slash kinds count as separators.
bool IsSafeRelativeName(const std::string& name);

class BlockSink {
 public:
  virtual ~BlockSink() = default;
  // Called between pieces, so that a window stays responsive.
  virtual void Pump() {}
  // Called before each file block's content: how it is stored and its
  // length in the volume (a zstd block may carry a run of files).
  virtual void BeginBlock(BlockMethod /*method*/, uint64_t /*length*/) {}
  virtual void BeginFile(const FileBlockHeader& header) = 0;
  virtual void FileData(const uint8_t* data, size_t size) = 0;
  virtual void EndFile() = 0;
};

enum class VolumeStatus {
  kComplete,    // every block read
  kDamaged,     // a zlib or zstd error (checksum included), a block past the data
                // end, an endless block header, a zstd run cut inside a file
  kUnsafeName,  // a file name that would leave the extraction folder
};

struct VolumeWalk {
  VolumeStatus status = VolumeStatus::kComplete;
  uint64_t firstFileBlock = 0;  // position after the header blocks (0 if not reached)
  std::string engineEntry;      // last engine entry met, empty when none
  uint32_t blocks = 0;          // blocks read, header blocks included
};

// The longest block header the reader accepts (a name with its engine
// switches); pieces are kReadPiece long.
constexpr size_t kMaxBlockHeader = 64 * 1024;

// The block loop: runs while more than a trailer's length remains between
// the position and the data end. Stops at the first damaged block or unsafe
// name; what was handed to the sink before stays handed.
VolumeWalk WalkVolumeBlocks(ByteSource& src, uint64_t start, uint64_t dataEnd,
                            unsigned headerCount, BlockSink& sink);

}  // namespace kestro
