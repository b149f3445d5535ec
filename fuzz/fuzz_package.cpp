// Any bytes as a setup file: the trailer search, the descriptor with its
// header texts, tokens and language strings, the checksum and the block loop
// exactly as extraction runs it.
#include <cstddef>
#include <cstdint>

#include "core/PackX/file_info.h"
#include "core/UnPack/package_blocks.h"
#include "core/PackX/package_layout.h"

namespace {

struct Discard : kestro::BlockSink {
  void BeginFile(const kestro::FileBlockHeader&) override {}
  void FileData(const uint8_t*, size_t) override {}
  void EndFile() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestro;
  MemorySource src(data, size);

  TGFileInfo::ResetLanguageCache();
  TGFileInfo info(src);
  info.GetLangString("s1", "default");
  info.GetFontName();
  info.GetCharset();
  info.GetOriginalFileName();
  info.GetProductToken(true);
  info.GetWebToken(true);
  info.SameWebToken(info);
  info.SpaceRequiredForCluster(4096);

  PackageTrailer trailer;
  ReadPackageTrailer(src, trailer);
  ComputeChecksum(src, trailer.Length());
  Discard sink;
  WalkVolumeBlocks(src, trailer.PackageStart(), GetDataEnd(src), trailer.HeaderCount(), sink);
  return 0;
}
