#pragma once
// Pixels as 0xAARRGGBB, bitmaps to draw on, and a fixture that proves no
// bitmap handle outlives a test.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>

#include "vcl/Bitmap.h"
#include "winapi/Gdi.h"

inline uint32_t PixelAt(const TBitmap& bmp, int x, int y) {
  const int size = bmp.PixelFormat() == pf32bit ? 4 : 3;
  uint32_t argb = 0xFF000000;  // 24-bit pixels are opaque
  std::memcpy(&argb, bmp.ScanLine(y) + x * size, size);
  return argb;
}

inline std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TPixelFormat format, uint32_t argb) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(format);
  bmp->SetSize(w, h);
  const int size = format == pf32bit ? 4 : 3;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) std::memcpy(bmp->ScanLine(y) + x * size, &argb, size);
  return bmp;
}

class NoGdiLeaks : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(GdiLiveObjectCount(), 0u); }
  void TearDown() override { EXPECT_EQ(GdiLiveObjectCount(), 0u); }
};
