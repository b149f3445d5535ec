#include "core/PackX/file_source.h"

namespace kestro {

namespace {

bool Seek(std::FILE* f, uint64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(f, int64_t(offset), origin) == 0;
#else
  return fseeko(f, off_t(offset), origin) == 0;
#endif
}

uint64_t Tell(std::FILE* f) {
#ifdef _WIN32
  return uint64_t(_ftelli64(f));
#else
  return uint64_t(ftello(f));
#endif
}

}  // namespace

bool SeekFile(std::FILE* f, uint64_t offset) { return Seek(f, offset, SEEK_SET); }

// The C library opens files shared for reading and writing on Windows as
// well, so a setup file that is running or being copied can still be read.
FileSource::FileSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
  if (file_ && Seek(file_, 0, SEEK_END)) size_ = Tell(file_);
}

FileSource::~FileSource() {
  if (file_) std::fclose(file_);
}

size_t FileSource::ReadAt(uint64_t offset, void* buf, size_t n) {
  if (!file_ || offset >= size_ || !Seek(file_, offset, SEEK_SET)) return 0;
  return std::fread(buf, 1, n, file_);
}

}  // namespace kestro
