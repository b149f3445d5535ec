#include "win/PackX/handle_source.h"

#include <windows.h>

namespace kestro {

HandleSource::HandleSource(const std::string& path)
    : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
  if (IsOpen()) {
    int64_t size = FileSizeOf(handle_.get());
    size_ = size > 0 ? uint64_t(size) : 0;
  }
}

size_t HandleSource::ReadAt(uint64_t offset, void* buf, size_t n) {
  if (!IsOpen() || offset >= size_ || FileSeek(handle_.get(), int64_t(offset), FILE_BEGIN) < 0) return 0;
  size_t total = 0;
  while (total < n) {
    DWORD got = 0;
    DWORD want = DWORD(std::min<size_t>(n - total, 1u << 30));
    if (!ReadFile(handle_.get(), static_cast<char*>(buf) + total, want, &got, nullptr) || got == 0) break;
    total += got;
  }
  return total;
}

}  // namespace kestro
