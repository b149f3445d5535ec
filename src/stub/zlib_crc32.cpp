// zlib's inflate calls crc32 only for gzip streams, which the stub never
// reads; this definition keeps zlib's table-driven one (7 KB) out of the
// stub's link.
#include <zlib.h>

#include "core/ZLibOpen/small_crc32.h"

extern "C" uLong crc32(uLong crc, const Bytef* buf, uInt len) {
  return kestro::SmallCrc32(uint32_t(crc), buf, len);
}
