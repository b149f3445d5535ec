#include "core/ZLibOpen/small_crc32.h"

namespace kestro {

uint32_t SmallCrc32(uint32_t crc, const uint8_t* data, size_t size) {
  if (!data) return 0;
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

}  // namespace kestro
