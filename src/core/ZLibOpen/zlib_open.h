// ZLibOpen: the binding to zlib. File blocks are single zlib streams
// (RFC 1950); both directions stream through fixed buffers, so memory stays
// the same whatever the size of a file.
//
// A negative zlib result is kept as an EZLibError (zlib's message) and ends
// the stream: every later call does nothing. The caller asks Failed() and
// reads Error().
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <zlib.h>

namespace kestro {

// A negative zlib result, carrying zlib's message.
class EZLibError {
 public:
  EZLibError() = default;
  EZLibError(const z_stream& z, int code);
  bool Set() const { return !message_.empty(); }
  const std::string& what() const { return message_; }

 private:
  std::string message_;
};

using ByteSink = std::function<void(const uint8_t* data, size_t size)>;

class ZInflater {
 public:
  ZInflater();
  ~ZInflater();
  ZInflater(const ZInflater&) = delete;
  ZInflater& operator=(const ZInflater&) = delete;

  // Inflates the next piece of the stream, handing the output to `out` in
  // pieces of at most kOutPiece bytes. Returns true once the stream has
  // ended (bytes after its end are ignored) or is damaged (Failed()).
  bool Feed(const uint8_t* in, size_t size, const ByteSink& out);
  bool Finished() const { return finished_; }
  bool Failed() const { return error_.Set(); }
  const EZLibError& Error() const { return error_; }

  static constexpr size_t kOutPiece = 64 * 1024;

 private:
  struct State;
  std::unique_ptr<State> s_;
  bool finished_ = false;
  EZLibError error_;
};

class ZDeflater {
 public:
  explicit ZDeflater(int level);
  ~ZDeflater();
  ZDeflater(const ZDeflater&) = delete;
  ZDeflater& operator=(const ZDeflater&) = delete;

  void Feed(const uint8_t* in, size_t size, const ByteSink& out);
  void Finish(const ByteSink& out);
  bool Failed() const { return error_.Set(); }
  const EZLibError& Error() const { return error_; }
  // The most bytes the whole stream can take if it ends after `moreInput`
  // further input bytes (what has been output so far included).
  uint64_t BoundIfFinishedAfter(uint64_t moreInput) const;
  uint64_t TotalOut() const;

 private:
  struct State;
  std::unique_ptr<State> s_;
  EZLibError error_;
};

}  // namespace kestro
