#include "core/UnPack/package_blocks.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "core/Utils/ksub.h"
#include "core/ZLibOpen/zlib_open.h"
#include "core/ZLibOpen/zstd_open.h"

namespace kestro {

bool ParseFileBlockHeader(const std::string& header, FileBlockHeader& out) {
  out = FileBlockHeader{};
  if (header.empty()) return false;
  if (header.find(kEngineMark) != std::string::npos) out.engineEntry = header;
  out.name = SUB::GetItem(header, 0);
  // Files land in folder + "\\" + name, so one leading separator still names
  // a file inside the folder. Two of them (UNC, device paths) are refused
  // later, as the rest of the name still starts with one.
  if (!out.name.empty() && (out.name[0] == '\\' || out.name[0] == '/')) out.name.erase(0, 1);
  int64_t time = SUB::StrToInt64Def(SUB::GetItem(header, 1), 0);
  out.dosTime = (time > 0 && time <= int64_t(UINT32_MAX)) ? uint32_t(time) : 0;
  size_t star = out.name.find(kEngineMark);
  if (star != std::string::npos) {
    out.engineEntry = out.name;
    out.name.erase(star);
  }
  return true;
}

namespace {

// Windows opens a device for these names in any folder and with any
// extension ("sub\\nul.txt", "COM1.log"), so a write to them leaves the folder.
bool IsDeviceName(const std::string& segment) {
  std::string base = SUB::Upper(segment.substr(0, segment.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();  // dropped by Windows as well
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (base == device) return true;
  // The reserved port names take a digit or a superscript one, two or three.
  static const std::string kPortDigits = "0123456789\xB9\xB2\xB3";
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         kPortDigits.find(base[3]) != std::string::npos;
}

}  // namespace

bool IsSafeRelativeName(const std::string& name) {
  if (name.empty() || name[0] == '\\' || name[0] == '/') return false;  // rooted, UNC, device
  for (unsigned char c : name)
    if (c < 0x20 || c == ':') return false;  // drive letters and streams both need a colon
  size_t begin = 0;
  while (begin <= name.size()) {
    size_t end = name.find_first_of("\\/", begin);
    if (end == std::string::npos) end = name.size();
    std::string segment = name.substr(begin, end - begin);
    // Windows drops trailing dots and blanks, so ". ." or "..." act as "."/"..".
    if (!segment.empty() && segment.find_first_not_of(". ") == std::string::npos) return false;
    if (IsDeviceName(segment)) return false;
    begin = end + 1;
  }
  return true;
}

namespace {

// Splits a file block's content at its first zero byte: the block header
// before it, the file data after it. A header that is too long or names an
// unsafe file stops the block: nothing more reaches the sink.
class BlockContent {
 public:
  BlockContent(BlockSink& sink, VolumeWalk& walk) : sink_(sink), walk_(walk) {}

  void Add(const uint8_t* p, size_t n) {
    if (Stopped()) return;
    if (inData_) {
      if (open_ && n) sink_.FileData(p, n);
      return;
    }
    const void* zero = std::memchr(p, 0, n);
    size_t take = zero ? size_t(static_cast<const uint8_t*>(zero) - p) : n;
    if (header_.size() + take > kMaxBlockHeader) return Stop(VolumeStatus::kDamaged);
    header_.append(reinterpret_cast<const char*>(p), take);
    if (!zero) return;
    Start();
    Add(p + take + 1, n - take - 1);
  }

  // A block without a zero byte is all header and carries an empty file.
  void Finish() {
    if (!inData_) Start();
    if (open_ && !Stopped()) sink_.EndFile();
  }

  bool Stopped() const { return status_ != VolumeStatus::kComplete; }
  VolumeStatus Status() const { return status_; }

 private:
  void Start() {
    inData_ = true;
    FileBlockHeader h;
    if (Stopped() || !ParseFileBlockHeader(header_, h)) return;
    if (!IsSafeRelativeName(h.name)) return Stop(VolumeStatus::kUnsafeName);
    if (!h.engineEntry.empty()) walk_.engineEntry = h.engineEntry;
    sink_.BeginFile(h);
    open_ = true;
  }
  void Stop(VolumeStatus status) { status_ = status; }

  BlockSink& sink_;
  VolumeWalk& walk_;
  std::string header_;
  bool inData_ = false;
  bool open_ = false;
  VolumeStatus status_ = VolumeStatus::kComplete;
};

// The decoded bytes of a zstd block: a run of files, each a block header
// ending in 0x00, then chunks (uint32 length > 0 and that many bytes), then
// a uint32 0. Each file goes through a BlockContent of its own, so the
// header and name rules are those of single blocks. A frame that ends inside
// a file is damaged.
class RunContent {
 public:
  RunContent(BlockSink& sink, VolumeWalk& walk) : sink_(sink), walk_(walk) {}

  void Add(const uint8_t* p, size_t n) {
    while (n > 0 && !Stopped()) {
      size_t take = 1;
      if (state_ == kHeader) {
        if (!file_) file_ = std::make_unique<BlockContent>(sink_, walk_);
        const void* zero = std::memchr(p, 0, n);
        take = zero ? size_t(static_cast<const uint8_t*>(zero) - p) + 1 : n;
        file_->Add(p, take);
        if (zero) state_ = kLength;
      } else if (state_ == kLength) {
        length_[lengthBytes_++] = *p;
        if (lengthBytes_ == 4) ChunkStarts(GetLe32(length_));
      } else {
        take = size_t(std::min<uint64_t>(n, chunkLeft_));
        file_->Add(p, take);
        if ((chunkLeft_ -= take) == 0) state_ = kLength;
      }
      if (file_ && file_->Stopped()) status_ = file_->Status();
      p += take;
      n -= take;
    }
  }

  void Finish() {
    if (!Stopped() && (state_ != kHeader || file_)) status_ = VolumeStatus::kDamaged;
  }
  bool Stopped() const { return status_ != VolumeStatus::kComplete; }
  VolumeStatus Status() const { return status_; }

 private:
  void ChunkStarts(uint32_t length) {
    lengthBytes_ = 0;
    chunkLeft_ = length;
    state_ = kData;
    if (length != 0) return;
    file_->Finish();  // the file's end
    if (file_->Stopped()) status_ = file_->Status();
    file_.reset();
    state_ = kHeader;
  }

  enum { kHeader, kLength, kData } state_ = kHeader;
  BlockSink& sink_;
  VolumeWalk& walk_;
  std::unique_ptr<BlockContent> file_;
  uint8_t length_[4] = {};
  unsigned lengthBytes_ = 0;
  uint64_t chunkLeft_ = 0;
  VolumeStatus status_ = VolumeStatus::kComplete;
};

// Feeds a block's bytes, piece by piece, through the decoder (none: stored)
// into the content. The first piece has been read already.
template <typename Decoder, typename Content>
VolumeStatus PassBlock(ByteSource& src, uint64_t pos, uint64_t length, std::vector<uint8_t>& piece,
                       size_t first, Decoder* decoder, Content& content, BlockSink& sink) {
  // A piece of input may decode to far more than a piece of output (a zstd
  // frame of zeros grows a thousandfold and more): the sink is pumped after
  // every output piece as well, so its window stays responsive.
  ByteSink toContent = [&](const uint8_t* p, size_t n) {
    content.Add(p, n);
    sink.Pump();
  };
  for (uint64_t done = 0; done < length && !content.Stopped();) {
    size_t got = first;
    if (done > 0) {
      got = size_t(std::min<uint64_t>(piece.size(), length - done));
      if (src.ReadAt(pos + done, piece.data(), got) != got) return VolumeStatus::kDamaged;
    }
    done += got;
    if (decoder) {
      if (decoder->Feed(piece.data(), got, toContent)) break;
    } else {
      content.Add(piece.data(), got);
    }
    sink.Pump();
  }
  if (content.Stopped()) return content.Status();
  if (decoder && !decoder->Finished()) return VolumeStatus::kDamaged;  // damaged or cut short
  content.Finish();
  return content.Status();
}

// The decoders a walk keeps from block to block: a zstd decoder holds its
// window, which is allocated once.
struct BlockDecoders {
  std::unique_ptr<ZstdDecoder> zstd;
};

VolumeStatus ReadFileBlock(ByteSource& src, uint64_t pos, uint64_t length, bool compressed,
                           BlockSink& sink, VolumeWalk& walk, BlockDecoders& decoders) {
  std::vector<uint8_t> piece(kReadPiece);
  const size_t first = size_t(std::min<uint64_t>(piece.size(), length));
  if (src.ReadAt(pos, piece.data(), first) != first) return VolumeStatus::kDamaged;
  const BlockMethod method = !compressed                                 ? BlockMethod::kStored
                             : StartsWithZstdFrame(piece.data(), first) ? BlockMethod::kZstd
                                                                        : BlockMethod::kZlib;
  sink.BeginBlock(method, length);
  if (method == BlockMethod::kZstd) {
    if (!decoders.zstd) decoders.zstd = std::make_unique<ZstdDecoder>(kMaxZstdWindowLog);
    decoders.zstd->Reset();
    RunContent run(sink, walk);
    return PassBlock(src, pos, length, piece, first, decoders.zstd.get(), run, sink);
  }
  BlockContent content(sink, walk);
  if (method == BlockMethod::kStored)
    return PassBlock(src, pos, length, piece, first, static_cast<ZInflater*>(nullptr), content, sink);
  ZInflater inflater;
  return PassBlock(src, pos, length, piece, first, &inflater, content, sink);
}

}  // namespace

VolumeWalk WalkVolumeBlocks(ByteSource& src, uint64_t start, uint64_t dataEnd,
                            unsigned headerCount, BlockSink& sink) {
  VolumeWalk walk;
  BlockDecoders decoders;
  uint64_t pos = start;
  while (walk.status == VolumeStatus::kComplete && pos < dataEnd && dataEnd - pos > kTrailerSize) {
    sink.Pump();
    uint8_t len[4];
    if (src.ReadAt(pos, len, 4) != 4) {
      walk.status = VolumeStatus::kDamaged;
      break;
    }
    const int32_t stored = int32_t(GetLe32(len));
    const uint64_t length = stored < 0 ? uint64_t(-int64_t(stored)) : uint64_t(stored);
    if (length > dataEnd - pos - 4) {
      walk.status = VolumeStatus::kDamaged;
      break;
    }
    const uint64_t body = pos + 4;
    pos = body + length;
    ++walk.blocks;
    if (walk.blocks == headerCount) walk.firstFileBlock = pos;
    if (walk.blocks <= headerCount) continue;
    walk.status = ReadFileBlock(src, body, length, stored > 0, sink, walk, decoders);
  }
  return walk;
}

}  // namespace kestro
