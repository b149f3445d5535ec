// The packing direction lives apart from decoding, so that programs which
// only read packages do not carry zstd's compressor.
#define ZSTD_STATIC_LINKING_ONLY  // frame header, progress, size hint: stable in 1.5
#include <zstd.h>

#include <algorithm>
#include <utility>

#include "core/ZLibOpen/zstd_open.h"

namespace kestro {

struct ZstdEncoder::State {
  ZSTD_CCtx* ctx = ZSTD_createCCtx();
  uint8_t out[64 * 1024];
  ~State() { ZSTD_freeCCtx(ctx); }
};

ZstdEncoder::ZstdEncoder(int level, unsigned windowLog, uint64_t sizeHint) : s_(new State) {
  ZSTD_CCtx* c = s_->ctx;
  if (!c) {
    error_ = "out of memory";
    return;
  }
  const int hint = int(std::min<uint64_t>(sizeHint, uint64_t(1) << 30));
  for (auto [param, value] : {std::pair{ZSTD_c_compressionLevel, level},
                              std::pair{ZSTD_c_windowLog, int(windowLog)},
                              std::pair{ZSTD_c_checksumFlag, 1},
                              std::pair{ZSTD_c_srcSizeHint, hint}}) {
    if (param == ZSTD_c_srcSizeHint && hint == 0) continue;
    const size_t rc = ZSTD_CCtx_setParameter(c, param, value);
    if (ZSTD_isError(rc)) {
      error_ = ZSTD_getErrorName(rc);
      return;
    }
  }
}

ZstdEncoder::~ZstdEncoder() = default;

int ZstdEncoder::MaxLevel() { return ZSTD_maxCLevel(); }

void ZstdEncoder::Run(const uint8_t* in, size_t size, int directive, const ByteSink& out) {
  const auto mode = ZSTD_EndDirective(directive);
  ZSTD_inBuffer input{in, size, 0};
  for (;;) {
    if (Failed()) return;
    ZSTD_outBuffer output{s_->out, sizeof s_->out, 0};
    const size_t rc = ZSTD_compressStream2(s_->ctx, &output, &input, mode);
    if (ZSTD_isError(rc)) {
      error_ = ZSTD_getErrorName(rc);
      return;
    }
    if (output.pos) out(s_->out, output.pos);
    totalOut_ += output.pos;
    // Continuing, the encoder may keep what it was given; flushing or ending,
    // it is done when nothing is left to hand out.
    const bool drained = mode == ZSTD_e_continue ? input.pos == input.size && output.pos < output.size : rc == 0;
    if (drained) return;
  }
}

void ZstdEncoder::Feed(const uint8_t* in, size_t size, const ByteSink& out) { Run(in, size, ZSTD_e_continue, out); }

void ZstdEncoder::Flush(const ByteSink& out) { Run(nullptr, 0, ZSTD_e_flush, out); }

void ZstdEncoder::Finish(const ByteSink& out) { Run(nullptr, 0, ZSTD_e_end, out); }

uint64_t ZstdEncoder::BoundIfFinishedAfter(uint64_t moreInput) const {
  // Input the encoder holds but has not compressed yet (at most a block) and
  // output it has made but not handed out, then the frame's end: the last
  // block's header and the 4-byte checksum, and a frame header not yet out.
  const ZSTD_frameProgression p = ZSTD_getFrameProgression(s_->ctx);
  const uint64_t pending = p.produced > totalOut_ ? p.produced - totalOut_ : 0;
  const uint64_t held = p.ingested - p.consumed + moreInput;
  return totalOut_ + pending + ZSTD_compressBound(size_t(held)) + ZSTD_FRAMEHEADERSIZE_MAX + 3 + 4;
}

}  // namespace kestro
