#include "VclTest.h"
#include "rtl/Exception.h"

namespace {

using BitmapTest = GdiLeakCheck;

TEST_F(BitmapTest, PixelsLiveInTheHandleAndSurviveConversionAndResizing) {
  TBitmap b;
  EXPECT_EQ(b.Handle(), nullptr);
  b.SetPixelFormat(pf24bit);
  b.SetSize(3, 2);
  SetPixel(b, 2, 1, {10, 20, 30});
  BITMAP bm{};
  ASSERT_EQ(GetObjectW(b.Handle(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 24);
  EXPECT_EQ(b.ScanLineStride(), bm.bmWidthBytes);
  const uint8_t* row1 = static_cast<const uint8_t*>(bm.bmBits) + bm.bmWidthBytes;
  EXPECT_EQ(Bytes(row1 + 6, row1 + 9), (Bytes{10, 20, 30}));

  // To 32 bits the pixels come out opaque, not invisible, and back.
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(Pixel(b, 2, 1), (Bytes{10, 20, 30, 255}));
  SetPixel(b, 2, 1, {4, 5, 6, 0});
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(Pixel(b, 2, 1), (Bytes{4, 5, 6}));

  // Resized, the shared pixels stay and new ones are zero.
  b.SetPixelFormat(pf32bit);
  SetPixel(b, 0, 0, {1, 2, 3, 4});
  b.SetSize(4, 1);
  EXPECT_EQ(Pixel(b, 0, 0), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(Pixel(b, 3, 0), (Bytes{0, 0, 0, 0}));
  EXPECT_THROW(b.ScanLine(1), EInvalidGraphicOperation);
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
  const HBITMAP before = b.Handle();
  EXPECT_THROW(b.SetSize(-1, 4), EInvalidGraphicOperation);
  EXPECT_THROW(b.SetSize(INT32_MAX, INT32_MAX), EInvalidGraphicOperation);
  EXPECT_EQ(b.Handle(), before);
  b.SetHeight(0);
  EXPECT_EQ(b.Handle(), nullptr);
}

TEST_F(BitmapTest, AssignMakesAnIndependentCopy) {
  TBitmap a(2, 2);
  a.SetAlphaFormat(afDefined);
  SetPixel(a, 1, 0, {1, 2, 3, 128});
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.Assign(a);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.AlphaFormat(), afDefined);
  EXPECT_EQ(Pixel(b, 1, 0), (Bytes{1, 2, 3, 128}));
  SetPixel(b, 1, 0, {9, 9, 9, 9});
  EXPECT_EQ(Pixel(a, 1, 0), (Bytes{1, 2, 3, 128}));
  b.Assign(b);
  EXPECT_EQ(Pixel(b, 1, 0), (Bytes{9, 9, 9, 9}));

  class TOther : public TPersistent {};
  EXPECT_THROW(b.Assign(TOther()), EConvertError);
  EXPECT_EQ(b.Width(), 2);
}

}  // namespace
