#include <gtest/gtest.h>

#include "GdiLeakCheck.h"
#include "rtl/Exception.h"
#include "vcl/Bitmap.h"
#include "vcl/MemoryStream.h"

namespace {

using BitmapTest = GdiLeakCheck;

void SetPixel(TBitmap& b, int x, int y, uint8_t blue, uint8_t green, uint8_t red, uint8_t alpha = 255) {
  uint8_t* p = b.ScanLine(y) + x * (b.PixelFormat() == pf32bit ? 4 : 3);
  p[0] = blue;
  p[1] = green;
  p[2] = red;
  if (b.PixelFormat() == pf32bit) p[3] = alpha;
}

std::vector<uint8_t> Pixel(const TBitmap& b, int x, int y) {
  const int n = b.PixelFormat() == pf32bit ? 4 : 3;
  const uint8_t* p = b.ScanLine(y) + x * n;
  return std::vector<uint8_t>(p, p + n);
}

TEST_F(BitmapTest, PixelsLiveInTheHandle) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), nullptr);
  b.SetPixelFormat(pf24bit);
  b.SetSize(3, 2);
  ASSERT_NE(b.Handle(), nullptr);
  SetPixel(b, 2, 1, 10, 20, 30);

  BITMAP bm{};
  ASSERT_EQ(GetObjectW(b.Handle(), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 3);
  EXPECT_EQ(bm.bmHeight, 2);
  EXPECT_EQ(bm.bmBitsPixel, 24);
  EXPECT_EQ(b.ScanLineStride(), bm.bmWidthBytes);
  const uint8_t* row1 = static_cast<const uint8_t*>(bm.bmBits) + bm.bmWidthBytes;
  EXPECT_EQ(row1[6], 10);
  EXPECT_EQ(row1[7], 20);
  EXPECT_EQ(row1[8], 30);
}

TEST_F(BitmapTest, ResizeKeepsTheSharedPixelsAndZeroesNewOnes) {
  TBitmap b(2, 2);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  SetPixel(b, 0, 0, 1, 2, 3, 4);
  SetPixel(b, 1, 1, 5, 6, 7, 8);
  b.SetSize(3, 1);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 1);
  EXPECT_EQ(Pixel(b, 0, 0), (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(Pixel(b, 2, 0), (std::vector<uint8_t>{0, 0, 0, 0}));
  EXPECT_THROW(b.ScanLine(1), EInvalidGraphicOperation);
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);

  b.SetHeight(0);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), nullptr);
  EXPECT_THROW(b.ScanLine(0), EInvalidGraphicOperation);

  TBitmap c(4, 4);
  HBITMAP before = c.Handle();
  EXPECT_THROW(c.SetSize(-1, 4), EInvalidGraphicOperation);
  EXPECT_THROW(c.SetSize(INT32_MAX, INT32_MAX), EInvalidGraphicOperation);
  EXPECT_EQ(c.Handle(), before);
  EXPECT_EQ(c.Width(), 4);
}

TEST_F(BitmapTest, PixelFormatConversion) {
  TBitmap b(2, 1);
  SetPixel(b, 0, 0, 10, 20, 30, 40);
  SetPixel(b, 1, 0, 50, 60, 70, 0);
  b.SetPixelFormat(pf24bit);
  EXPECT_EQ(Pixel(b, 0, 0), (std::vector<uint8_t>{10, 20, 30}));
  EXPECT_EQ(Pixel(b, 1, 0), (std::vector<uint8_t>{50, 60, 70}));
  BITMAP bm{};
  GetObjectW(b.Handle(), sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 24);
  // Back to 32 bits the pixels come out opaque, not invisible.
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(Pixel(b, 1, 0), (std::vector<uint8_t>{50, 60, 70, 255}));
}

TEST_F(BitmapTest, AssignMakesAnIndependentCopy) {
  TBitmap a(2, 2);
  a.SetAlphaFormat(afDefined);
  SetPixel(a, 1, 0, 1, 2, 3, 128);
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.Assign(a);
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.PixelFormat(), pf32bit);
  EXPECT_EQ(b.AlphaFormat(), afDefined);
  EXPECT_NE(b.Handle(), a.Handle());
  EXPECT_EQ(Pixel(b, 1, 0), (std::vector<uint8_t>{1, 2, 3, 128}));
  SetPixel(b, 1, 0, 9, 9, 9, 9);
  EXPECT_EQ(Pixel(a, 1, 0), (std::vector<uint8_t>{1, 2, 3, 128}));

  b.Assign(b);
  EXPECT_EQ(Pixel(b, 1, 0), (std::vector<uint8_t>{9, 9, 9, 9}));
  TBitmap empty;
  b.Assign(empty);
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Handle(), nullptr);
}

TEST_F(BitmapTest, AssignFromAnUnrelatedClassRaises) {
  class TOther : public TPersistent {};
  TOther other;
  TBitmap b(1, 1);
  try {
    b.Assign(other);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), u"Cannot assign a TOther to a TBitmap.");
  }
  EXPECT_EQ(b.Width(), 1);
}

TEST_F(BitmapTest, ReleaseHandleHandsOverOwnership) {
  HBITMAP h;
  {
    TBitmap b(4, 3);
    SetPixel(b, 3, 2, 7, 8, 9, 10);
    h = b.ReleaseHandle();
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Handle(), nullptr);
    EXPECT_EQ(b.PixelFormat(), pf32bit);
  }
  // The bitmap is gone, its former handle is not.
  ASSERT_EQ(GdiLiveObjectCount(), 1u);
  BITMAP bm{};
  ASSERT_NE(GetObjectW(h, sizeof bm, &bm), 0);
  EXPECT_EQ(bm.bmWidth, 4);
  EXPECT_EQ(bm.bmHeight, 3);
  const uint8_t* last = static_cast<const uint8_t*>(bm.bmBits) + 2 * bm.bmWidthBytes + 12;
  EXPECT_EQ(last[3], 10);
  EXPECT_EQ(DeleteObject(h), TRUE);
  EXPECT_EQ(GdiLiveObjectCount(), 0u);
}

TEST_F(BitmapTest, SetHandleTakesOwnership) {
  TBitmap source(3, 2);
  source.SetPixelFormat(pf24bit);
  SetPixel(source, 2, 1, 4, 5, 6);
  HBITMAP h = source.ReleaseHandle();
  {
    TBitmap b;
    b.SetHandle(h);
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(Pixel(b, 2, 1), (std::vector<uint8_t>{4, 5, 6}));
  }
  // Destroying the bitmap deleted it.
  EXPECT_EQ(DeleteObject(h), FALSE);

  // A handle that is no bitmap is refused and left alone.
  TBitmap b(1, 1);
  EXPECT_THROW(b.SetHandle(h), EInvalidGraphic);
  EXPECT_EQ(b.Width(), 1);
  b.SetHandle(nullptr);
  EXPECT_TRUE(b.Empty());
}

}  // namespace
