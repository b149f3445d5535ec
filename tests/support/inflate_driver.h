// Inflates a whole zlib or raw deflate stream through whichever zlib the
// including file compiled against (the system's, or the stub's own built with
// Z_PREFIX), feeding the input and taking the output in pieces of given sizes.
// Each piece is a buffer of exactly its size, so a sanitizer sees any read or
// write past the space handed to inflate(). Included by one file per zlib:
// its functions are local to that file.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "inflate_outcome.h"

namespace ktest {
namespace {

InflateOutcome InflateInPieces(const std::string& stream, int window_bits, size_t in_piece, size_t out_piece) {
  InflateOutcome result;
  z_stream z{};
  result.code = inflateInit2(&z, window_bits);
  if (result.code != Z_OK) return result;
  size_t offset = 0;
  std::vector<unsigned char> in;
  while (true) {
    if (z.avail_in == 0 && offset < stream.size()) {
      const size_t n = std::min(in_piece, stream.size() - offset);
      in.assign(stream.begin() + offset, stream.begin() + offset + n);
      offset += n;
      z.next_in = in.data();
      z.avail_in = static_cast<unsigned>(n);
    }
    std::vector<unsigned char> out(out_piece);
    z.next_out = out.data();
    z.avail_out = static_cast<unsigned>(out.size());
    result.code = inflate(&z, Z_NO_FLUSH);
    result.out.append(reinterpret_cast<const char*>(out.data()), out.size() - z.avail_out);
    if (result.code != Z_OK && result.code != Z_BUF_ERROR) break;  // the end, or an error
    // All input given and room left over: nothing more will come.
    if (offset == stream.size() && z.avail_in == 0 && z.avail_out != 0) break;
  }
  if (z.msg != nullptr) result.msg = z.msg;
  inflateEnd(&z);
  return result;
}

}  // namespace
}  // namespace ktest
