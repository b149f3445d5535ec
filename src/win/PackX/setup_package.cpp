#include "win/PackX/setup_package.h"

namespace kestro {

namespace {

PackageTrailer StoredTrailer(ByteSource& source) {
  PackageTrailer trailer;
  ReadPackageTrailer(source, trailer);
  return trailer;
}

// A file that cannot be read answers every setting with its default.
TGFileInfo Descriptor(HandleSource& source) {
  return source.IsOpen() ? TGFileInfo(source) : TGFileInfo(std::string());
}

}  // namespace

SetupPackage::SetupPackage(const std::string& path)
    : path_(path),
      source_(path),
      openError_(source_.IsOpen() ? 0 : GetLastError()),
      trailer_(StoredTrailer(source_)), info_(Descriptor(source_)) {}

}  // namespace kestro
