#pragma once
// Pixels of a PNG image as the decoder hands them out and the encoder takes
// them: 8-bit R, G, B, A, straight (not premultiplied) alpha. Free of the
// rest of the component library (the PNG fuzzer builds without it).
#include <cstddef>
#include <cstdint>
#include <memory>

struct PngPixels {
  uint32_t width = 0;
  uint32_t height = 0;
  // Pixels carry their own transparency (an alpha channel or a tRNS chunk).
  // Without it every alpha byte is 255 and the encoder writes no alpha.
  bool hasAlpha = false;
  // height rows of width pixels, no padding.
  std::unique_ptr<uint8_t[]> rgba;

  size_t ByteCount() const { return size_t{width} * height * 4; }
  const uint8_t* Row(uint32_t y) const { return rgba.get() + size_t{y} * width * 4; }
  uint8_t* Row(uint32_t y) { return rgba.get() + size_t{y} * width * 4; }
};
