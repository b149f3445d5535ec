// The zstd side of the compression binding. A zstd file block is one zstd
// frame that carries zstd's content checksum (XXH64 of the decoded bytes),
// so damage shows at the frame's end as a zlib stream's does at its
// Adler-32. Both directions stream through fixed buffers; the decoder's
// memory is its window (bounded by the reader), whatever the size of a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "core/ZLibOpen/zlib_open.h"

namespace kestro {

// True when the bytes start with a zstd frame's magic number (28 B5 2F FD).
// No zlib stream starts so: 0x28 0xB5 fails zlib's header check.
bool StartsWithZstdFrame(const uint8_t* p, size_t size);

class ZstdDecoder {
 public:
  // Frames whose window is larger than 2^maxWindowLog bytes are refused as
  // damaged: the window is what the decoder must hold in memory.
  explicit ZstdDecoder(unsigned maxWindowLog);
  ~ZstdDecoder();
  ZstdDecoder(const ZstdDecoder&) = delete;
  ZstdDecoder& operator=(const ZstdDecoder&) = delete;

  // Readies the decoder for the next frame; its buffers are kept, so one
  // decoder serves every block of a volume without allocating again.
  void Reset();

  // Decodes the next piece of the frame, handing the output to `out` in
  // pieces of at most kOutPiece bytes. The first piece must hold the whole
  // frame header (18 bytes at most, or the whole frame). A frame without a
  // content checksum is refused as damaged. Returns true once the frame has
  // ended (bytes after it are ignored) or is damaged (Failed()).
  bool Feed(const uint8_t* in, size_t size, const ByteSink& out);
  bool Finished() const { return finished_; }
  bool Failed() const { return failed_; }

  static constexpr size_t kOutPiece = 64 * 1024;

 private:
  struct State;
  std::unique_ptr<State> s_;
  bool started_ = false;
  bool finished_ = false;
  bool failed_ = false;
};

class ZstdEncoder {
 public:
  // windowLog: the window the frame declares (the decoder's memory);
  // sizeHint: the input expected, so that small inputs declare a window no
  // larger than themselves (0 = unknown).
  ZstdEncoder(int level, unsigned windowLog, uint64_t sizeHint);
  ~ZstdEncoder();
  ZstdEncoder(const ZstdEncoder&) = delete;
  ZstdEncoder& operator=(const ZstdEncoder&) = delete;

  void Feed(const uint8_t* in, size_t size, const ByteSink& out);
  // Compresses and hands out everything fed so far (ending a zstd block), so
  // that the bound below is exact about it.
  void Flush(const ByteSink& out);
  void Finish(const ByteSink& out);
  bool Failed() const { return !error_.empty(); }
  const std::string& Error() const { return error_; }
  // The most bytes the whole frame can take if it ends after `moreInput`
  // further input bytes (what has been output so far included).
  uint64_t BoundIfFinishedAfter(uint64_t moreInput) const;
  uint64_t TotalOut() const { return totalOut_; }

  static int MaxLevel();

 private:
  void Run(const uint8_t* in, size_t size, int directive, const ByteSink& out);

  struct State;
  std::unique_ptr<State> s_;
  uint64_t totalOut_ = 0;
  std::string error_;
};

}  // namespace kestro
