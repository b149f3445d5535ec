#include "core/PackX/package_layout.h"

#include <algorithm>
#include <cstring>

namespace kestro {

size_t MemorySource::ReadAt(uint64_t offset, void* buf, size_t n) {
  if (offset >= size_) return 0;
  size_t count = std::min<uint64_t>(n, size_ - offset);
  std::memcpy(buf, data_ + offset, count);
  return count;
}

namespace {

bool ReadExact(ByteSource& src, uint64_t offset, void* buf, size_t n) {
  return src.ReadAt(offset, buf, n) == n;
}

bool ReadU32(ByteSource& src, uint64_t offset, uint32_t& v) {
  uint8_t b[4];
  if (!ReadExact(src, offset, b, 4)) return false;
  v = GetLe32(b);
  return true;
}

}  // namespace

bool IsPeImage(ByteSource& src) {
  char mz[2], pe[2];
  return ReadExact(src, 0, mz, 2) && ReadExact(src, kPeSignatureOffset, pe, 2) &&
         mz[0] == 'M' && mz[1] == 'Z' && pe[0] == 'P' && pe[1] == 'E';
}

uint64_t GetPackageEnd(ByteSource& src) {
  uint32_t hi = 0, lo = 0;
  if (!ReadU32(src, kPackageEndHighOffset, hi) || !ReadU32(src, kPackageEndLowOffset, lo)) return 0;
  return uint64_t(hi) << 32 | lo;
}

uint64_t GetDataEnd(ByteSource& src) {
  if (IsPeImage(src)) {
    uint64_t end = GetPackageEnd(src);
    if (end > 0) return end;
  }
  return src.Size();
}

bool ReadPackageTrailer(ByteSource& src, PackageTrailer& out) {
  out = PackageTrailer{};
  uint64_t end = GetDataEnd(src);
  uint32_t length = 0;
  // A length below 4 cannot even hold itself, and one that reaches before the
  // start of the file is not a trailer: both leave the record zero.
  if (end >= 4 && ReadU32(src, end - 4, length) && length >= 4 && length <= end) {
    size_t n = std::min<size_t>(kTrailerSize, length);
    src.ReadAt(end - length, out.raw.data(), n - 4);
    out.SetU32(kTrLength, uint32_t(n));
  }
  if (out.raw[kTrHeaderCount] == 0) out.raw[kTrHeaderCount] = kDefaultHeaderCount;
  return out.HasMagic();
}

uint32_t ComputeChecksum(ByteSource& src, uint32_t trailerLength) {
  const uint64_t size = src.Size();
  if (size > kChecksumMaxFileSize) return kChecksumNotChecked;
  uint64_t packageEnd = IsPeImage(src) ? GetPackageEnd(src) : 0;
  // A pointer far past a file this small is damage; bounding it keeps the
  // arithmetic defined and changes no sum, since reading ends at the file's end.
  const uint64_t areaEnd = std::min<uint64_t>(packageEnd > 0 ? packageEnd : size, uint64_t(1) << 40);
  int64_t area = int64_t(areaEnd) - int64_t(trailerLength);
  uint64_t offset = 0;
  if (packageEnd > 0) {
    offset = 512;
    area -= 512;
  }
  uint32_t sum = 0;
  uint8_t piece[4096];
  for (;;) {
    size_t n = src.ReadAt(offset, piece, sizeof piece);
    offset += n;
    for (size_t i = 0; i + 4 <= n; i += 4) {
      area -= 4;
      if (area > 4) sum += GetLe32(piece + i);
    }
    if (area > 4) sum += kChecksumNotChecked;
    if (n < sizeof piece) break;
  }
  return sum;
}

std::string VolumeBasePath(const std::string& firstVolume) {
  static const std::string kFirst = ".001";
  if (firstVolume.size() >= kFirst.size() &&
      firstVolume.compare(firstVolume.size() - kFirst.size(), kFirst.size(), kFirst) == 0)
    return firstVolume.substr(0, firstVolume.size() - kFirst.size());
  return firstVolume;
}

std::string VolumePath(const std::string& base, unsigned number) {
  std::string digits = std::to_string(number);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return base + "." + digits;
}

}  // namespace kestro
