#pragma once
// Pixel access and a fixture that proves no bitmap handle outlives a test.
#include <gtest/gtest.h>

#include <cstdint>

#include "vcl/Bitmap.h"
#include "winapi/Gdi.h"

struct Bgra {
  uint8_t b = 0, g = 0, r = 0, a = 255;
  friend bool operator==(const Bgra&, const Bgra&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Bgra& p) {
  return os << "BGRA(" << int(p.b) << ',' << int(p.g) << ',' << int(p.r) << ',' << int(p.a) << ')';
}

inline Bgra PixelAt(const TBitmap& bmp, int x, int y) {
  const uint8_t* p = bmp.ScanLine(y) + x * (bmp.PixelFormat() == pf32bit ? 4 : 3);
  return {p[0], p[1], p[2], bmp.PixelFormat() == pf32bit ? p[3] : uint8_t{255}};
}

inline void SetPixel(TBitmap& bmp, int x, int y, Bgra c) {
  uint8_t* p = bmp.ScanLine(y) + x * (bmp.PixelFormat() == pf32bit ? 4 : 3);
  p[0] = c.b;
  p[1] = c.g;
  p[2] = c.r;
  if (bmp.PixelFormat() == pf32bit) p[3] = c.a;
}

inline void FillPixels(TBitmap& bmp, Bgra c) {
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) SetPixel(bmp, x, y, c);
}

class NoGdiLeaks : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GdiLiveObjectCount(), 0u); }
  void TearDown() override { EXPECT_EQ(GdiLiveObjectCount(), 0u); }
};
