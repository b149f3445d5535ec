// Small builders for package bytes, so that a test shows the bytes it feeds.
#pragma once

#include <zlib.h>
#include <zstd.h>

#include <cstdint>
#include <string>

#include "core/PackX/package_layout.h"

namespace ktest {

inline std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  kestro::PutLe32(reinterpret_cast<uint8_t*>(&s[0]), v);
  return s;
}

// A block with its signed length: stored (negative) or as given.
inline std::string StoredBlock(const std::string& content) {
  return Le32(uint32_t(-int32_t(content.size()))) + content;
}
inline std::string HeaderBlock(const std::string& text) { return Le32(uint32_t(text.size())) + text; }
inline std::string Deflate(const std::string& content) {
  uLongf n = compressBound(uLong(content.size()));
  std::string out(n, '\0');
  compress(reinterpret_cast<Bytef*>(&out[0]), &n, reinterpret_cast<const Bytef*>(content.data()),
           uLong(content.size()));
  out.resize(n);
  return out;
}
inline std::string CompressedBlock(const std::string& content) {
  std::string z = Deflate(content);
  return Le32(uint32_t(z.size())) + z;
}
// One file of a zstd run: its block header, its data in chunks of at most
// `chunk` bytes (uint32 length, bytes), then a zero length.
inline std::string RunEntry(const std::string& name, const std::string& data, size_t chunk = 65536) {
  std::string s = "|" + name + "|0|" + std::string(1, '\0');
  for (size_t at = 0; at < data.size(); at += chunk) {
    const std::string piece = data.substr(at, chunk);
    s += Le32(uint32_t(piece.size())) + piece;
  }
  return s + Le32(0);
}
// A zstd frame of the bytes; windowLog 0 leaves zstd's choice.
inline std::string ZstdFrame(const std::string& content, bool checksum = true, int windowLog = 0) {
  ZSTD_CCtx* c = ZSTD_createCCtx();
  ZSTD_CCtx_setParameter(c, ZSTD_c_checksumFlag, checksum ? 1 : 0);
  if (windowLog) ZSTD_CCtx_setParameter(c, ZSTD_c_windowLog, windowLog);
  std::string out(ZSTD_compressBound(content.size()), '\0');
  // Streamed (the size unknown when it starts), so the frame declares its
  // window, as the packager's frames do.
  ZSTD_inBuffer in{content.data(), content.size(), 0};
  ZSTD_outBuffer o{&out[0], out.size(), 0};
  ZSTD_compressStream2(c, &o, &in, ZSTD_e_continue);
  while (ZSTD_compressStream2(c, &o, &in, ZSTD_e_end) != 0) {
  }
  ZSTD_freeCCtx(c);
  out.resize(o.pos);
  return out;
}
inline std::string ZstdBlock(const std::string& run) {
  const std::string z = ZstdFrame(run);
  return Le32(uint32_t(z.size())) + z;
}
inline std::string FileContent(const std::string& name, const std::string& data, uint32_t time = 0) {
  return "|" + name + "|" + std::to_string(time) + "|" + std::string(1, '\0') + data;
}

// A 512-byte stand-in stub: "MZ" at 0, "PE" at 256.
inline std::string TinyStub() {
  std::string s(512, '\0');
  s[0] = 'M'; s[1] = 'Z'; s[256] = 'P'; s[257] = 'E';
  return s;
}

// A trailer with the magic and the given fields.
inline kestro::PackageTrailer MakeTrailer(uint32_t packageStart, uint32_t fileCount, uint8_t headerCount = 2) {
  kestro::PackageTrailer t;
  t.raw[kestro::kTrReserved0] = 1;
  t.raw[kestro::kTrHeaderCount] = headerCount;
  t.SetU32(kestro::kTrPackageStart, packageStart);
  t.SetU32(kestro::kTrFileCount, fileCount);
  t.SetU32(kestro::kTrMagic, kestro::kPackageMagic);
  t.SetU32(kestro::kTrChecksum, kestro::kChecksumNotChecked);
  t.SetU32(kestro::kTrLength, kestro::kTrailerSize);
  return t;
}
inline std::string Bytes(const kestro::PackageTrailer& t) {
  return std::string(reinterpret_cast<const char*>(t.raw.data()), t.raw.size());
}

// Stub, two header blocks, the given blocks, a trailer.
inline std::string Package(const std::string& blocks, uint32_t fileCount,
                           const std::string& lang = "", const std::string& settings = "") {
  std::string p = TinyStub();
  uint32_t start = uint32_t(p.size());
  p += HeaderBlock(lang) + HeaderBlock(settings) + blocks;
  return p + Bytes(MakeTrailer(start, fileCount));
}

}  // namespace ktest
