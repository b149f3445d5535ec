#include "core/PackX/package_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/PackX/file_source.h"
#include "core/Utils/ksub.h"
#include "core/ZLibOpen/zlib_open.h"
#include "core/ZLibOpen/zstd_open.h"

namespace kestro {

std::string BuildLanguageBlock(const std::vector<LanguageSection>& sections) {
  std::string block(1, kLanguageBlockDelimiter);
  for (const auto& [name, lines] : sections) {
    block += kLanguageSectionDelimiter + name + kLanguageSectionDelimiter;
    for (const std::string& line : lines) block += line + kLanguageSectionDelimiter;
    block += kLanguageBlockDelimiter;
  }
  return block;
}

std::string BuildBlockHeader(const std::string& name, uint32_t dosTime) {
  return SUB::JoinItems({name, std::to_string(dosTime)});
}

void FillSpaceTable(PackageTrailer& trailer, const std::vector<uint64_t>& fileSizes) {
  for (size_t i = 0; i < kSpaceTableEntries; ++i) {
    const uint64_t cluster = i == 0 ? 4096 : uint64_t(512) << (i - 1);
    uint64_t total = 0;
    for (uint64_t size : fileSizes) total += (size + cluster - 1) / cluster * cluster;
    trailer.SetU32(kTrSpaceTable + 4 * i, uint32_t(std::min<uint64_t>(total, UINT32_MAX)));
  }
}

namespace {

// ---- output ------------------------------------------------------------------

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool PatchFile(const std::string& path, uint64_t offset, const void* data, size_t n) {
  FilePtr f(std::fopen(path.c_str(), "r+b"));
  return f && SeekFile(f.get(), offset) && std::fwrite(data, 1, n, f.get()) == n &&
         std::fflush(f.get()) == 0;
}

class Writer {
 public:
  explicit Writer(const PackOrder& order)
      : spec_(order), base_(VolumeBasePath(order.outPath)),
        capacity_(order.volumeSize ? order.volumeSize : UINT64_MAX), buf_(kReadPiece) {}

  PackResult Run() {
    PackResult result;
    OpenVolume();
    for (size_t i = 0; i < spec_.files.size() && Ok(); ++i) AddFile(i);
    CloseRun();
    if (Ok()) CloseVolume(true);
    if (!Ok()) {
      out_.reset();
      for (const std::string& v : volumes_) std::remove(v.c_str());
      result.error = error_;
      return result;
    }
    result.volumes = volumes_;
    return result;
  }

 private:
  // ---- errors: the first one stops the writer; later steps do nothing ----
  bool Ok() const { return error_.empty(); }
  void Fail(const std::string& text) {
    if (Ok()) error_ = text;
  }
  void FailWrite() { Fail("cannot write " + volumes_.back()); }

  // ---- volumes ----
  void OpenVolume() {
    ++number_;
    const std::string path = number_ == 1 ? spec_.outPath : VolumePath(base_, number_);
    out_.reset(std::fopen(path.c_str(), "wb"));
    if (!out_) return Fail("cannot create " + path);
    volumes_.push_back(path);
    pos_ = 0;
    fileBlocks_ = 0;
    if (number_ == 1 && !spec_.stubPath.empty()) CopyStub();
    packageStart_ = pos_;
    const std::string texts[] = {spec_.languageBlock, spec_.packageSettings, spec_.webSourceList};
    for (unsigned i = 0; i < spec_.headerCount; ++i) {
      const std::string& text = i < 3 ? texts[i] : std::string();
      PutLength(int32_t(text.size()));
      Put(text.data(), text.size());
    }
    if (Ok() && Room() < MinimalBlock()) Fail("the volume size is too small for the stub and headers");
  }

  void CloseVolume(bool last) {
    PackageTrailer t = spec_.trailer;
    t.raw[kTrReserved0] = 1;
    t.raw[kTrHeaderCount] = spec_.headerCount;
    t.raw[2] = t.raw[3] = 0;
    if (packageStart_ > UINT32_MAX) return Fail("the stub is too large");
    t.SetU32(kTrPackageStart, uint32_t(packageStart_));
    t.SetU32(kTrFileCount, fileBlocks_);
    t.SetU32(kTrMagic, kPackageMagic);
    t.SetU32(kTrChecksum, kChecksumNotChecked);
    t.raw[kTrFlags] = uint8_t(last ? t.raw[kTrFlags] & ~kFlagNextVolume : t.raw[kTrFlags] | kFlagNextVolume);
    t.SetU32(kTrLength, kTrailerSize);
    Put(t.raw.data(), t.raw.size());
    if (Ok() && std::fflush(out_.get()) != 0) FailWrite();
    if (!Ok()) return;
    out_.reset();
    const std::string& path = volumes_.back();
    const uint64_t end = pos_;
    if (spec_.setPackageEnd && number_ == 1) {
      uint8_t ptr[8];
      PutLe32(ptr, uint32_t(end >> 32));
      PutLe32(ptr + 4, uint32_t(end));
      FileSource check(path);
      if (!IsPeImage(check)) return Fail("the package end can only be marked in a stub with its PE header at offset 256");
      if (!PatchFile(path, kPackageEndHighOffset, ptr, 8)) return Fail("cannot write " + path);
    }
    if (spec_.checksum) {
      FileSource src(path);
      uint8_t sum[4];
      PutLe32(sum, ComputeChecksum(src, kTrailerSize));
      if (!PatchFile(path, end - kTrailerSize + kTrChecksum, sum, 4)) return Fail("cannot write " + path);
    }
  }

  void NextVolume() {
    CloseVolume(false);
    if (Ok()) OpenVolume();
  }

  // ---- files ----
  void AddFile(size_t index) {
    const PackEntry& e = spec_.files[index];
    FilePtr in(std::fopen(e.source.c_str(), "rb"));
    if (!in) return Fail("cannot read " + e.source);
    const std::string header = BuildBlockHeader(e.name, e.dosTime) + kBlockHeaderEnd;
    if (Zstd()) {
      AddToRun(in.get(), header, e.name, index);
      if (Ok() && std::ferror(in.get())) Fail("cannot read " + e.source);
      return;
    }
    // Room for the block's length, its header and at least one byte of data.
    const uint64_t need = 4 + Bound(header.size()) + 1;
    bool more = true;
    while (more && Ok()) {
      if (Room() < need) {
        NextVolume();
        if (!Ok()) return;
        if (Room() < need) return Fail("the volume size is too small for " + e.name);
      }
      more = spec_.compress ? CompressedBlock(in.get(), header) : StoredBlock(in.get(), header);
      ++fileBlocks_;
    }
    if (Ok() && std::ferror(in.get())) Fail("cannot read " + e.source);
  }

  // One block of a file; true when the file goes on in a further block.
  bool StoredBlock(std::FILE* in, const std::string& header) {
    const uint64_t room = std::min<uint64_t>(Room() - 4 - header.size(), kMaxBlockInput);
    PutLength(0);
    const uint64_t lengthAt = pos_ - 4;
    Put(header.data(), header.size());
    uint64_t taken = 0;
    while (taken < room && Ok()) {
      size_t n = std::fread(buf_.data(), 1, size_t(std::min<uint64_t>(buf_.size(), room - taken)), in);
      if (n == 0) break;
      Put(buf_.data(), n);
      taken += n;
    }
    PatchLength(lengthAt, -int32_t(header.size() + taken));
    return taken == room && !AtEnd(in);
  }

  bool CompressedBlock(std::FILE* in, const std::string& header) {
    PutLength(0);
    const uint64_t lengthAt = pos_ - 4;
    const uint64_t limit = Room();  // for the zlib stream
    ZDeflater z(spec_.level ? spec_.level : kDefaultZlibLevel);
    ByteSink put = [this](const uint8_t* p, size_t n) { Put(p, n); };
    z.Feed(reinterpret_cast<const uint8_t*>(header.data()), header.size(), put);
    uint64_t taken = 0;
    bool full = false;
    while (taken < kMaxBlockInput && Ok() && !z.Failed()) {
      size_t want = size_t(std::min<uint64_t>(buf_.size(), kMaxBlockInput - taken));
      while (want > 0 && z.BoundIfFinishedAfter(want) > limit) want /= 2;
      if (want == 0) {
        full = true;
        break;
      }
      size_t n = std::fread(buf_.data(), 1, want, in);
      if (n == 0) break;
      z.Feed(buf_.data(), n, put);
      taken += n;
    }
    z.Finish(put);
    if (z.Failed()) Fail("zlib: " + z.Error().what());
    PatchLength(lengthAt, int32_t(z.TotalOut()));
    return (full || taken == kMaxBlockInput) && !AtEnd(in);
  }

  // ---- zstd runs ----
  // A file's entry in the run: its header, its bytes in chunks, a zero
  // length. When the volume fills, the entry and the run end there and the
  // file goes on in a run of the next volume under the same name.
  void AddToRun(std::FILE* in, const std::string& header, const std::string& name, size_t index) {
    const uint64_t entryStart = 4 + header.size() + 4 + 1 + 4;  // room for a first chunk
    bool inEntry = false, entryHasRoom = false;
    while (Ok()) {
      if (!inEntry) {
        if (run_ && !RunTakes(entryStart)) CloseRun();
        if (!run_ && !OpenRun(header.size() + 9, name, index)) return;
        RunPut(header.data(), header.size());
        ++fileBlocks_;
        ++runFiles_;
        inEntry = true;
        entryHasRoom = false;
      }
      size_t want = buf_.size() - 8;
      while (want > 0 && !RunTakes(4 + want + 4)) want /= 2;
      if (want == 0) {
        if (!entryHasRoom && runFiles_ == 1) return Fail("the volume size is too small for " + name);
        RunPutLe32(0);
        CloseRun();
        inEntry = false;
        continue;
      }
      entryHasRoom = true;
      const size_t n = std::fread(buf_.data(), 1, want, in);
      if (n == 0) break;
      RunPutLe32(uint32_t(n));
      RunPut(buf_.data(), n);
    }
    RunPutLe32(0);
    if (!spec_.solid) CloseRun();
  }

  // Starts a block whose frame can take at least `firstInput` bytes, in this
  // volume or the next.
  bool OpenRun(uint64_t firstInput, const std::string& name, size_t index) {
    const uint64_t need = 4 + ZstdEncoder(1, kMinZstdWindowLog, 0).BoundIfFinishedAfter(firstInput);
    if (Room() < need) {
      NextVolume();
      if (!Ok()) return false;
      if (Room() < need) {
        Fail("the volume size is too small for " + name);
        return false;
      }
    }
    PutLength(0);
    runLengthAt_ = pos_ - 4;
    runLimit_ = std::min<uint64_t>(Room(), INT32_MAX);
    run_ = std::make_unique<ZstdEncoder>(spec_.level ? spec_.level : kDefaultZstdLevel, spec_.windowLog,
                                         RunSizeHint(index));
    runFiles_ = 0;
    if (run_->Failed()) Fail("zstd: " + run_->Error());
    return Ok();
  }

  void CloseRun() {
    if (!run_) return;
    run_->Finish(PutSink());
    if (run_->Failed()) Fail("zstd: " + run_->Error());
    PatchLength(runLengthAt_, int32_t(run_->TotalOut()));
    run_.reset();
  }

  // Whether the frame surely fits the block's room if it ends after `more`
  // further input bytes. The bound counts input the encoder still holds as
  // if it would not compress; near the volume's end that input is flushed
  // first, so the run fills the volume instead of ending a block early.
  bool RunTakes(uint64_t more) {
    if (run_->BoundIfFinishedAfter(more) <= runLimit_) return true;
    run_->Flush(PutSink());
    return run_->BoundIfFinishedAfter(more) <= runLimit_;
  }

  void RunPut(const void* p, size_t n) { run_->Feed(static_cast<const uint8_t*>(p), n, PutSink()); }
  void RunPutLe32(uint32_t v) {
    uint8_t b[4];
    PutLe32(b, v);
    run_->Feed(b, 4, PutSink());
  }
  ByteSink PutSink() {
    return [this](const uint8_t* p, size_t n) { Put(p, n); };
  }

  // The input a new run may expect: the rest of this file, and in a solid
  // package the files after it. A small package so declares a small window.
  uint64_t RunSizeHint(size_t index) {
    uint64_t total = 0;
    for (size_t i = index; i < spec_.files.size() && (i == index || spec_.solid); ++i) {
      FileSource f(spec_.files[i].source);
      total += f.Size() + 64;
    }
    return total;
  }

  bool Zstd() const { return spec_.compress && spec_.method == BlockMethod::kZstd; }

  // ---- bytes ----
  void CopyStub() {
    FilePtr stub(std::fopen(spec_.stubPath.c_str(), "rb"));
    if (!stub) return Fail("cannot read the stub " + spec_.stubPath);
    while (size_t n = std::fread(buf_.data(), 1, buf_.size(), stub.get())) {
      Put(buf_.data(), n);
      if (!Ok()) return;
    }
    // A stub that stops reading half way (a folder named as the stub reads
    // nothing) would give a setup file that cannot run.
    if (std::ferror(stub.get())) Fail("cannot read the stub " + spec_.stubPath);
  }

  void Put(const void* p, size_t n) {
    if (!Ok()) return;
    if (n && std::fwrite(p, 1, n, out_.get()) != n) return FailWrite();
    pos_ += n;
  }
  void PutLength(int32_t v) {
    uint8_t b[4];
    PutLe32(b, uint32_t(v));
    Put(b, 4);
  }
  void PatchLength(uint64_t at, int32_t v) {
    uint8_t b[4];
    PutLe32(b, uint32_t(v));
    if (!Ok()) return;
    if (!SeekFile(out_.get(), at) || std::fwrite(b, 1, 4, out_.get()) != 4 || !SeekFile(out_.get(), pos_))
      FailWrite();
  }

  static bool AtEnd(std::FILE* in) {
    int c = std::fgetc(in);
    if (c == EOF) return true;
    std::ungetc(c, in);
    return false;
  }

  // Bytes left for blocks before the trailer of this volume.
  uint64_t Room() const {
    uint64_t used = pos_ + kTrailerSize;
    return used >= capacity_ ? 0 : capacity_ - used;
  }
  uint64_t Bound(uint64_t input) const { return spec_.compress ? input + input / 1000 + 64 : input; }
  uint64_t MinimalBlock() const { return 4 + 64 + 1; }

  const PackOrder& spec_;
  const std::string base_;
  const uint64_t capacity_;
  std::vector<uint8_t> buf_;
  FilePtr out_;
  std::vector<std::string> volumes_;
  unsigned number_ = 0;
  uint64_t pos_ = 0, packageStart_ = 0;
  uint32_t fileBlocks_ = 0;
  std::string error_;
  // The zstd run being written, where its length goes, the most its frame
  // may take, and the files (pieces) begun in it.
  std::unique_ptr<ZstdEncoder> run_;
  uint64_t runLengthAt_ = 0, runLimit_ = 0;
  unsigned runFiles_ = 0;
};

}  // namespace

PackResult WritePackage(const PackOrder& order) {
  if (order.outPath.empty()) return {"no output file", {}};
  return Writer(order).Run();
}

}  // namespace kestro
