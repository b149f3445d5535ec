// The packing direction lives apart from inflate, so that programs which
// only read packages do not carry zlib's compressor.
#include "core/ZLibOpen/zlib_open.h"

namespace kestro {

struct ZDeflater::State {
  z_stream z{};
  uint8_t out[64 * 1024];
};

ZDeflater::ZDeflater(int level) : s_(new State) {
  int rc = deflateInit(&s_->z, level);
  if (rc != Z_OK) error_ = EZLibError(s_->z, rc);
}

ZDeflater::~ZDeflater() { deflateEnd(&s_->z); }

void ZDeflater::Feed(const uint8_t* in, size_t size, const ByteSink& out) {
  z_stream& z = s_->z;
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = uInt(size);
  while (!Failed() && z.avail_in > 0) {
    z.next_out = s_->out;
    z.avail_out = sizeof s_->out;
    int rc = deflate(&z, Z_NO_FLUSH);
    if (rc < 0 && rc != Z_BUF_ERROR) {
      error_ = EZLibError(z, rc);
      return;
    }
    if (size_t produced = sizeof s_->out - z.avail_out) out(s_->out, produced);
  }
}

void ZDeflater::Finish(const ByteSink& out) {
  z_stream& z = s_->z;
  z.next_in = nullptr;
  z.avail_in = 0;
  while (!Failed()) {
    z.next_out = s_->out;
    z.avail_out = sizeof s_->out;
    int rc = deflate(&z, Z_FINISH);
    if (rc < 0 && rc != Z_BUF_ERROR) {
      error_ = EZLibError(z, rc);
      return;
    }
    if (size_t produced = sizeof s_->out - z.avail_out) out(s_->out, produced);
    if (rc == Z_STREAM_END) return;
  }
}

uint64_t ZDeflater::BoundIfFinishedAfter(uint64_t moreInput) const {
  return deflateBound(&s_->z, uLong(s_->z.total_in + moreInput));
}

uint64_t ZDeflater::TotalOut() const { return s_->z.total_out; }

}  // namespace kestro
