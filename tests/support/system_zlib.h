// The system's zlib, for tests that hold the stub's own inflater against it
// (the two cannot share a source file: the stub's is built with Z_PREFIX).
#pragma once

#include <cstddef>
#include <string>

#include "inflate_outcome.h"

namespace ktest {

// deflateInit2 with memLevel 8; window_bits as zlib takes them (negative: raw).
std::string DeflateWithSystemZlib(const std::string& data, int level, int window_bits, int strategy);
InflateOutcome InflateWithSystemZlib(const std::string& stream, int window_bits, size_t in_piece,
                                     size_t out_piece);

}  // namespace ktest
