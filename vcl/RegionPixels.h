#pragma once
// A region of a bitmap handed to a drawing library as premultiplied words
// (see Premultiplied.h) and taken back where the drawing changed it: the
// pixels it did not touch keep their bytes exactly.
#include <cstdint>
#include <cstring>
#include <vector>

#include "vcl/Bitmap.h"
#include "vcl/Premultiplied.h"

// Fills the rows RowOf(y) gives from Region of Bitmap, and remembers them
// in Before.
template <class TRowOf>
void CopyRegionOut(const TBitmap& Bitmap, const TRect& Region, bool Alpha, TRowOf RowOf, std::vector<uint32_t>& Before) {
  const int step = Bitmap.PixelFormat() == pf32bit ? 4 : 3;
  const int w = Region.Width();
  Before.resize(static_cast<size_t>(w) * Region.Height());
  for (int y = 0; y < Region.Height(); ++y) {
    const uint8_t* src = Bitmap.ScanLine(Region.Top + y) + static_cast<ptrdiff_t>(Region.Left) * step;
    uint32_t* dst = RowOf(y);
    for (int x = 0; x < w; ++x, src += step)
      dst[x] = Alpha ? Premultiply(src[0], src[1], src[2], src[3]) : Opaque(src[0], src[1], src[2]);
    std::memcpy(&Before[static_cast<size_t>(y) * w], dst, static_cast<size_t>(w) * 4);
  }
}

// Writes the drawn rows back onto Region of Bitmap, pixel by pixel where
// they differ from Before.
template <class TRowOf>
void WriteRegionBack(TBitmap& Bitmap, const TRect& Region, bool Alpha, TRowOf RowOf,
                     const std::vector<uint32_t>& Before) {
  const bool is32 = Bitmap.PixelFormat() == pf32bit;
  const int step = is32 ? 4 : 3;
  const int w = Region.Width();
  // The spare byte of an opaque copy carries nothing.
  const uint32_t mask = Alpha ? 0xFFFFFFFFu : 0x00FFFFFFu;
  for (int y = 0; y < Region.Height(); ++y) {
    const uint32_t* src = RowOf(y);
    const uint32_t* old = &Before[static_cast<size_t>(y) * w];
    uint8_t* dst = Bitmap.ScanLine(Region.Top + y) + static_cast<ptrdiff_t>(Region.Left) * step;
    for (int x = 0; x < w; ++x, dst += step) {
      const uint32_t p = src[x];
      if (((p ^ old[x]) & mask) == 0) continue;
      if (Alpha) {
        Unpremultiply(p, dst);
      } else {
        dst[0] = static_cast<uint8_t>(p);
        dst[1] = static_cast<uint8_t>(p >> 8);
        dst[2] = static_cast<uint8_t>(p >> 16);
        if (is32) dst[3] = 255;
      }
    }
  }
}
