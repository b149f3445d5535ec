#define ZSTD_STATIC_LINKING_ONLY  // frame header, progress, size hint: stable in 1.5
#include <zstd.h>

#include "core/ZLibOpen/zstd_open.h"

namespace kestro {

bool StartsWithZstdFrame(const uint8_t* p, size_t size) {
  return size >= 4 && p[0] == 0x28 && p[1] == 0xB5 && p[2] == 0x2F && p[3] == 0xFD;
}

struct ZstdDecoder::State {
  ZSTD_DCtx* ctx = ZSTD_createDCtx();
  uint8_t out[kOutPiece];
  ~State() { ZSTD_freeDCtx(ctx); }
};

ZstdDecoder::ZstdDecoder(unsigned maxWindowLog) : s_(new State) {
  failed_ = s_->ctx == nullptr ||
            ZSTD_isError(ZSTD_DCtx_setParameter(s_->ctx, ZSTD_d_windowLogMax, int(maxWindowLog)));
}

ZstdDecoder::~ZstdDecoder() = default;

void ZstdDecoder::Reset() {
  if (s_->ctx) ZSTD_DCtx_reset(s_->ctx, ZSTD_reset_session_only);
  started_ = finished_ = false;
  failed_ = s_->ctx == nullptr;
}

bool ZstdDecoder::Feed(const uint8_t* in, size_t size, const ByteSink& out) {
  if (!started_ && !failed_) {
    // Without zstd's checksum a damaged frame could decode to wrong bytes
    // unnoticed; kpack always writes it, so a frame without one is refused.
    ZSTD_frameHeader header;
    failed_ = ZSTD_getFrameHeader(&header, in, size) != 0 || header.frameType != ZSTD_frame ||
              !header.checksumFlag;
    started_ = true;
  }
  ZSTD_inBuffer input{in, size, 0};
  while (!finished_ && !failed_) {
    ZSTD_outBuffer output{s_->out, sizeof s_->out, 0};
    const size_t rc = ZSTD_decompressStream(s_->ctx, &output, &input);
    if (ZSTD_isError(rc)) {
      failed_ = true;
      break;
    }
    if (output.pos) out(s_->out, output.pos);
    if (rc == 0) finished_ = true;
    // All input taken and the output not full: the decoder wants more input.
    else if (input.pos == input.size && output.pos < output.size) break;
  }
  return finished_ || failed_;
}

}  // namespace kestro
