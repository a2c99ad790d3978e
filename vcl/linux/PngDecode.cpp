#include "vcl/PngDecode.h"

#include <spng.h>

#include <algorithm>
#include <new>

namespace {

struct CtxFree {
  void operator()(spng_ctx* ctx) const noexcept { spng_ctx_free(ctx); }
};
using CtxPtr = std::unique_ptr<spng_ctx, CtxFree>;

// Ancillary chunks (text, ICC profiles) are kept in memory by libspng; no
// icon needs more than this.
constexpr size_t kMaxChunkBytes = 16u * 1024 * 1024;
constexpr size_t kMaxChunkCacheBytes = 64u * 1024 * 1024;

PngDecodeResult Fail(std::string what) {
  PngDecodeResult r;
  r.error = std::move(what);
  return r;
}

PngDecodeResult Fail(const char* step, int code) {
  return Fail(std::string(step) + ": " + spng_strerror(code));
}

}  // namespace

PngDecodeResult DecodePng(const void* data, size_t size, const PngDecodeOptions& options) {
  if (data == nullptr || size == 0) return Fail("no PNG data");

  CtxPtr ctx(spng_ctx_new(options.ignoreChecksums ? SPNG_CTX_IGNORE_ADLER32 : 0));
  if (!ctx) return Fail("out of memory");
  if (options.ignoreChecksums) spng_set_crc_action(ctx.get(), SPNG_CRC_USE, SPNG_CRC_USE);

  // libspng checks each side on its own; the product is checked below.
  const uint64_t sideLimit = std::min<uint64_t>(options.maxPixels, 0x7fffffffu);
  spng_set_image_limits(ctx.get(), static_cast<uint32_t>(sideLimit), static_cast<uint32_t>(sideLimit));
  spng_set_chunk_limits(ctx.get(), kMaxChunkBytes, kMaxChunkCacheBytes);

  if (int rc = spng_set_png_buffer(ctx.get(), data, size)) return Fail("reading", rc);

  spng_ihdr ihdr{};
  if (int rc = spng_get_ihdr(ctx.get(), &ihdr)) return Fail("header", rc);
  if (uint64_t{ihdr.width} * ihdr.height > options.maxPixels) return Fail("image too large");

  spng_trns trns{};
  const bool hasTrns = spng_get_trns(ctx.get(), &trns) == 0;
  const bool hasAlphaChannel =
      ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA || ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;

  size_t byteCount = 0;
  if (int rc = spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &byteCount)) return Fail("size", rc);

  PngDecodeResult result;
  PngPixels& px = result.pixels;
  px.width = ihdr.width;
  px.height = ihdr.height;
  px.hasAlpha = hasAlphaChannel || hasTrns;
  if (byteCount != px.ByteCount()) return Fail("unexpected decoded size");
  // Left uninitialised: a truncated stream fails before most pages are touched.
  try {
    px.rgba = std::make_unique_for_overwrite<uint8_t[]>(byteCount);
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  }

  if (int rc = spng_decode_image(ctx.get(), px.rgba.get(), byteCount, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS))
    return Fail("decoding", rc);
  // The pixels are complete once the zlib stream ends; reading on to IEND
  // is what tells a whole file from a cut-off one.
  if (int rc = spng_decode_chunks(ctx.get())) return Fail("after image data", rc);
  return result;
}
