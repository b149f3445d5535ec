#include "core/ZLibOpen/zlib_open.h"

#include <zlib.h>

namespace kestro {

namespace {

[[noreturn]] void Fail(const z_stream& z, int code) {
  throw EZLibError(z.msg ? z.msg : zError(code));
}

}  // namespace

struct ZInflater::State {
  z_stream z{};
  uint8_t out[kOutPiece];
};

ZInflater::ZInflater() : s_(new State) {
  int rc = inflateInit(&s_->z);
  if (rc != Z_OK) Fail(s_->z, rc);
}

ZInflater::~ZInflater() { inflateEnd(&s_->z); }

bool ZInflater::Feed(const uint8_t* in, size_t size, const ByteSink& out) {
  z_stream& z = s_->z;
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = uInt(size);
  while (!finished_ && z.avail_in > 0) {
    z.next_out = s_->out;
    z.avail_out = sizeof s_->out;
    int rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_NEED_DICT) rc = Z_DATA_ERROR;  // a block never names a dictionary
    if (rc < 0 && rc != Z_BUF_ERROR) Fail(z, rc);
    size_t produced = sizeof s_->out - z.avail_out;
    if (produced) out(s_->out, produced);
    if (rc == Z_STREAM_END) finished_ = true;
    else if (rc == Z_BUF_ERROR) Fail(z, rc);  // no progress with input and room left
  }
  return finished_;
}

struct ZDeflater::State {
  z_stream z{};
  uint8_t out[64 * 1024];
};

ZDeflater::ZDeflater(int level) : s_(new State) {
  int rc = deflateInit(&s_->z, level);
  if (rc != Z_OK) Fail(s_->z, rc);
}

ZDeflater::~ZDeflater() { deflateEnd(&s_->z); }

void ZDeflater::Feed(const uint8_t* in, size_t size, const ByteSink& out) {
  z_stream& z = s_->z;
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = uInt(size);
  while (z.avail_in > 0) {
    z.next_out = s_->out;
    z.avail_out = sizeof s_->out;
    int rc = deflate(&z, Z_NO_FLUSH);
    if (rc < 0 && rc != Z_BUF_ERROR) Fail(z, rc);
    if (size_t produced = sizeof s_->out - z.avail_out) out(s_->out, produced);
  }
}

void ZDeflater::Finish(const ByteSink& out) {
  z_stream& z = s_->z;
  z.next_in = nullptr;
  z.avail_in = 0;
  for (;;) {
    z.next_out = s_->out;
    z.avail_out = sizeof s_->out;
    int rc = deflate(&z, Z_FINISH);
    if (rc < 0 && rc != Z_BUF_ERROR) Fail(z, rc);
    if (size_t produced = sizeof s_->out - z.avail_out) out(s_->out, produced);
    if (rc == Z_STREAM_END) return;
  }
}

uint64_t ZDeflater::BoundIfFinishedAfter(uint64_t moreInput) const {
  return deflateBound(&s_->z, uLong(s_->z.total_in + moreInput));
}

uint64_t ZDeflater::TotalOut() const { return s_->z.total_out; }

}  // namespace kestro
