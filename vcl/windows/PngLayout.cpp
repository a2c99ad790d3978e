#include "vcl/windows/PngLayout.h"

#include <cstring>

namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint32_t BigEndian(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

PngLayout Fail(const char* what) {
  PngLayout layout;
  layout.error = what;
  return layout;
}

}  // namespace

PngLayout ReadPngLayout(const uint8_t* data, size_t size) {
  if (size < 8 + 25 || std::memcmp(data, kSignature, 8) != 0) return Fail("header: not a PNG file");
  const uint8_t* ihdr = data + 8;
  if (BigEndian(ihdr) != 13 || std::memcmp(ihdr + 4, "IHDR", 4) != 0) return Fail("header: no IHDR chunk first");
  PngLayout layout;
  layout.width = BigEndian(ihdr + 8);
  layout.height = BigEndian(ihdr + 12);
  const uint8_t colourType = ihdr[17];
  layout.hasAlpha = colourType == 4 || colourType == 6;
  // Chunk by chunk to the end chunk; the sums are WIC's to check.
  for (size_t at = 8;;) {
    if (size - at < 12) return Fail("after image data: the file ends early");
    const uint32_t length = BigEndian(data + at);
    if (length > 0x7FFFFFFFu || size - at - 12 < length) return Fail("after image data: the file ends early");
    const uint8_t* type = data + at + 4;
    if (std::memcmp(type, "tRNS", 4) == 0) layout.hasAlpha = true;
    if (std::memcmp(type, "IEND", 4) == 0) return layout;
    at += size_t{length} + 12;
  }
}
