#include "vcl/PngEncode.h"

#include <spng.h>

#include <cstdlib>
#include <memory>

namespace {

struct CtxFree {
  void operator()(spng_ctx* ctx) const noexcept { spng_ctx_free(ctx); }
};
struct BufferFree {
  void operator()(void* p) const noexcept { std::free(p); }
};

PngEncodeResult Fail(std::string what) {
  PngEncodeResult r;
  r.error = std::move(what);
  return r;
}

}  // namespace

PngEncodeResult EncodePng(const PngPixels& pixels) {
  if (pixels.width == 0 || pixels.height == 0 || !pixels.rgba) return Fail("empty image");

  std::unique_ptr<spng_ctx, CtxFree> ctx(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!ctx) return Fail("out of memory");
  spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);

  spng_ihdr ihdr{};
  ihdr.width = pixels.width;
  ihdr.height = pixels.height;
  ihdr.bit_depth = 8;
  ihdr.color_type = pixels.hasAlpha ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
  if (int rc = spng_set_ihdr(ctx.get(), &ihdr)) return Fail(spng_strerror(rc));

  std::unique_ptr<uint8_t[]> rgb;
  const void* image = pixels.rgba.get();
  size_t imageBytes = pixels.ByteCount();
  if (!pixels.hasAlpha) {
    const size_t count = size_t{pixels.width} * pixels.height;
    rgb = std::make_unique_for_overwrite<uint8_t[]>(count * 3);
    for (size_t i = 0; i < count; ++i) {
      rgb[i * 3 + 0] = pixels.rgba[i * 4 + 0];
      rgb[i * 3 + 1] = pixels.rgba[i * 4 + 1];
      rgb[i * 3 + 2] = pixels.rgba[i * 4 + 2];
    }
    image = rgb.get();
    imageBytes = count * 3;
  }
  if (int rc = spng_encode_image(ctx.get(), image, imageBytes, SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE))
    return Fail(spng_strerror(rc));

  size_t length = 0;
  int rc = 0;
  std::unique_ptr<void, BufferFree> buffer(spng_get_png_buffer(ctx.get(), &length, &rc));
  if (!buffer) return Fail(spng_strerror(rc));
  PngEncodeResult result;
  const auto* bytes = static_cast<const uint8_t*>(buffer.get());
  result.bytes.assign(bytes, bytes + length);
  return result;
}
