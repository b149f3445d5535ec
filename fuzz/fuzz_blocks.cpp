// Any bytes as the blocks of a volume: the first byte chooses the header
// count, the rest are blocks. Checks that what reaches the sink obeys the
// reader's promises: safe names, bounded pieces, files opened and closed in turn.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/UnPack/package_blocks.h"
#include "core/PackX/package_layout.h"

namespace {

struct Checker : kestro::BlockSink {
  bool open = false;
  void BeginFile(const kestro::FileBlockHeader& h) override {
    if (open || !kestro::IsSafeRelativeName(h.name)) std::abort();
    open = true;
  }
  void FileData(const uint8_t*, size_t n) override {
    if (!open || n > 64 * 1024) std::abort();
  }
  void EndFile() override {
    if (!open) std::abort();
    open = false;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestro;
  if (size < 1) return 0;
  const unsigned headerCount = data[0] % 4;
  MemorySource src(data + 1, size - 1);
  Checker sink;
  VolumeWalk walk = WalkVolumeBlocks(src, 0, src.Size() + kTrailerSize, headerCount, sink);
  if (walk.firstFileBlock > src.Size() + kTrailerSize) std::abort();
  return 0;
}
