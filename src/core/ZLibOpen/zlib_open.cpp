#include "core/ZLibOpen/zlib_open.h"

namespace kestro {

EZLibError::EZLibError(const z_stream& z, int code)
    : message_(z.msg ? z.msg : zError(code)) {
  if (message_.empty()) message_ = "zlib error " + std::to_string(code);
}

struct ZInflater::State {
  z_stream z{};
  uint8_t out[kOutPiece];
};

ZInflater::ZInflater() : s_(new State) {
  int rc = inflateInit(&s_->z);
  if (rc != Z_OK) error_ = EZLibError(s_->z, rc);
}

ZInflater::~ZInflater() { inflateEnd(&s_->z); }

bool ZInflater::Feed(const uint8_t* in, size_t size, const ByteSink& out) {
  z_stream& z = s_->z;
  z.next_in = const_cast<Bytef*>(in);
  z.avail_in = uInt(size);
  while (!finished_ && !Failed() && z.avail_in > 0) {
    z.next_out = s_->out;
    z.avail_out = sizeof s_->out;
    int rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_NEED_DICT) rc = Z_DATA_ERROR;  // a block never names a dictionary
    if (rc < 0 && rc != Z_BUF_ERROR) {
      error_ = EZLibError(z, rc);
      break;
    }
    size_t produced = sizeof s_->out - z.avail_out;
    if (produced) out(s_->out, produced);
    if (rc == Z_STREAM_END) finished_ = true;
    else if (rc == Z_BUF_ERROR) error_ = EZLibError(z, rc);  // no progress with input and room left
  }
  return finished_ || Failed();
}

}  // namespace kestro
