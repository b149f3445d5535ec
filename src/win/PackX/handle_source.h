// A package file read through a Windows file handle, opened for reading with
// every kind of sharing, so that a running or half-copied setup file can be read.
#pragma once

#include <string>

#include "core/PackX/package_layout.h"
#include "win/Files/files.h"

namespace kestro {

class HandleSource : public ByteSource {
 public:
  explicit HandleSource(const std::string& path);

  bool IsOpen() const { return IsValid(handle_); }
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, void* buf, size_t n) override;

 private:
  UniqueHandle handle_;
  uint64_t size_ = 0;
};

}  // namespace kestro
