// PNG decoding on arbitrary bytes: no crash, no leak, no read or write out
// of bounds, and a decoded image holds exactly the pixels it claims.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "vcl/PngDecode.h"

namespace {

void Check(const uint8_t* data, size_t size, bool ignoreChecksums) {
  PngDecodeOptions options;
  // Small enough that one input stays fast, large enough for real icons.
  options.maxPixels = uint64_t{1} << 22;
  options.ignoreChecksums = ignoreChecksums;
  PngDecodeResult r = DecodePng(data, size, options);
  if (!r.ok()) {
    if (r.pixels.rgba) std::abort();
    return;
  }
  const PngPixels& p = r.pixels;
  if (p.width == 0 || p.height == 0 || !p.rgba || uint64_t{p.width} * p.height > options.maxPixels) std::abort();
  // Touch the first and last byte so ASan checks the buffer's extent.
  volatile uint8_t sink = p.rgba[0];
  sink = p.rgba[p.ByteCount() - 1];
  (void)sink;
  if (!p.hasAlpha) {
    for (uint32_t y = 0; y < p.height; ++y)
      for (uint32_t x = 0; x < p.width; ++x)
        if (p.Row(y)[x * 4 + 3] != 255) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Check(data, size, false);
  // Mutated inputs rarely keep their checksums; this pass reaches the
  // decoder behind them.
  Check(data, size, true);
  return 0;
}
