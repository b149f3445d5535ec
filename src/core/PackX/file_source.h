// A package file read through the C library: what kpack and the package
// descriptor use to read a file by name on either system.
#pragma once

#include <cstdio>
#include <string>

#include "core/PackX/package_layout.h"

namespace kestro {

// Moves a C stream to a 64-bit offset from its start; false on failure.
bool SeekFile(std::FILE* f, uint64_t offset);

class FileSource : public ByteSource {
 public:
  explicit FileSource(const std::string& path);
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t n) override;

 private:
  std::FILE* file_ = nullptr;
  uint64_t size_ = 0;
};

}  // namespace kestro
