#pragma once
// PNG bytes to straight (not premultiplied) 8-bit RGBA pixels: libspng on
// Linux, WIC on Windows. Kept free of the rest of the component library so
// that a fuzzer can be built from the Linux decoder and libspng alone.
#include <cstddef>
#include <cstdint>
#include <string>

#include "vcl/PngPixels.h"

// A few bytes of compressed data can claim gigabytes of pixels: images with
// more pixels than this are refused before anything is allocated for them.
inline constexpr uint64_t kPngDefaultMaxPixels = 64ull * 1024 * 1024;

struct PngDecodeOptions {
  uint64_t maxPixels = kPngDefaultMaxPixels;
  // Accept wrong chunk CRCs and zlib Adler-32 sums (lets a fuzzer past them).
  // libspng only: WIC always checks them.
  bool ignoreChecksums = false;
};

struct PngDecodeResult {
  PngPixels pixels;
  std::string error;  // empty on success

  bool ok() const { return error.empty(); }
};

// Never throws for bad data: every fault is answered in `error`.
PngDecodeResult DecodePng(const void* data, size_t size, const PngDecodeOptions& options = {});
