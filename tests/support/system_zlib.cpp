#include "system_zlib.h"

#include <zlib.h>

#include <vector>

#include "inflate_driver.h"

namespace ktest {

std::string DeflateWithSystemZlib(const std::string& data, int level, int window_bits, int strategy) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, window_bits, 8, strategy) != Z_OK) return {};
  std::vector<unsigned char> out(deflateBound(&z, static_cast<uLong>(data.size())));
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int code = deflate(&z, Z_FINISH);
  const size_t n = out.size() - z.avail_out;
  deflateEnd(&z);
  if (code != Z_STREAM_END) return {};
  return std::string(reinterpret_cast<const char*>(out.data()), n);
}

InflateOutcome InflateWithSystemZlib(const std::string& stream, int window_bits, size_t in_piece,
                                     size_t out_piece) {
  return InflateInPieces(stream, window_bits, in_piece, out_piece);
}

}  // namespace ktest
