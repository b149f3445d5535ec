// CRC-32 (the gzip and PNG checksum, polynomial 0xEDB88320) computed bit by
// bit, without zlib's 7 KB of tables: zlib's inflate names crc32 for gzip
// streams only, which packages never hold (their blocks are zlib streams,
// checked with Adler-32), so the stub gives it this one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestro {

// Continues `crc` over `size` bytes, as zlib's crc32(crc, data, size);
// no data gives 0, the starting value.
uint32_t SmallCrc32(uint32_t crc, const uint8_t* data, size_t size);

}  // namespace kestro
