// kbench-inflate PACKAGE: inflates every block of a package natively and
// throws the bytes away: the floor below which no extraction can go.
#include <chrono>
#include <cstdio>

#include "core/PackX/file_source.h"
#include "core/UnPack/package_blocks.h"

namespace {

struct Count : kestro::BlockSink {
  uint64_t bytes = 0, files = 0;
  void BeginFile(const kestro::FileBlockHeader&) override { ++files; }
  void FileData(const uint8_t*, size_t n) override { bytes += n; }
  void EndFile() override {}
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kbench-inflate PACKAGE\n");
    return 2;
  }
  kestro::FileSource src(argv[1]);
  kestro::PackageTrailer t;
  if (!kestro::ReadPackageTrailer(src, t)) {
    std::fprintf(stderr, "no package in %s\n", argv[1]);
    return 1;
  }
  const auto start = std::chrono::steady_clock::now();
  Count count;
  kestro::VolumeWalk walk =
      kestro::WalkVolumeBlocks(src, t.PackageStart(), kestro::GetDataEnd(src), t.HeaderCount(), count);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  std::printf("inflated %llu bytes of %llu blocks in %lld ms\n", (unsigned long long)count.bytes,
              (unsigned long long)count.files, (long long)ms.count());
  return walk.status == kestro::VolumeStatus::kComplete ? 0 : 1;
}
