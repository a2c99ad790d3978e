#pragma once
// Straight-alpha RGBA pixels to PNG bytes (libspng on Linux, WIC on
// Windows): 8-bit RGBA when the pixels carry alpha, 8-bit RGB otherwise.
#include <cstdint>
#include <string>
#include <vector>

#include "vcl/PngPixels.h"

struct PngEncodeResult {
  std::vector<uint8_t> bytes;
  std::string error;  // empty on success

  bool ok() const { return error.empty(); }
};

PngEncodeResult EncodePng(const PngPixels& pixels);
