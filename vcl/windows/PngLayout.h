#pragma once
// What the chunks of a PNG file say before any pixel is decoded: its size,
// whether it carries transparency, and whether the file is whole. WIC reads
// the pixels but neither answers these as libspng does on Linux nor insists
// on reaching the end chunk.
#include <cstddef>
#include <cstdint>
#include <string>

struct PngLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  // An alpha channel, or a tRNS chunk.
  bool hasAlpha = false;
  std::string error;  // empty when the chunks are sound
};

PngLayout ReadPngLayout(const uint8_t* data, size_t size);
