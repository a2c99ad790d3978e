#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "Pixels.h"
#include "vcl/Canvas.h"
#include "winapi/SysColors.h"

namespace {

constexpr Bgra kWhite{255, 255, 255, 255};

std::unique_ptr<TBitmap> MakeBitmap(int w, int h, TPixelFormat format, Bgra fill = kWhite) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(format);
  bmp->SetSize(w, h);
  FillPixels(*bmp, fill);
  return bmp;
}

using CanvasFill = NoGdiLeaks;

TEST_F(CanvasFill, FillsExactlyTheRectangleInTheResolvedColour) {
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    auto bmpOwner = MakeBitmap(20, 10, format);
  TBitmap& bmp = *bmpOwner;
    TCanvas canvas(bmp);
    canvas.Brush()->SetColor(ColorOf(0x336699));  // 0x00BBGGRR
    canvas.FillRect(Rect(2, 3, 7, 8));
    EXPECT_EQ(PixelAt(bmp, 2, 3), (Bgra{0x33, 0x66, 0x99, 255}));
    EXPECT_EQ(PixelAt(bmp, 6, 7), (Bgra{0x33, 0x66, 0x99, 255}));
    EXPECT_EQ(PixelAt(bmp, 7, 7), kWhite);
    EXPECT_EQ(PixelAt(bmp, 6, 8), kWhite);
    EXPECT_EQ(PixelAt(bmp, 1, 3), kWhite);

    // System colours go through GetSysColor; a clear brush fills nothing.
    canvas.Brush()->SetColor(clHighlight);
    canvas.FillRect(Rect(10, 0, 12, 2));
    const DWORD hl = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(PixelAt(bmp, 11, 1), (Bgra{uint8_t(hl >> 16), uint8_t(hl >> 8), uint8_t(hl), 255}));
    canvas.Brush()->SetStyle(bsClear);
    canvas.FillRect(Rect(0, 0, 20, 10));
    EXPECT_EQ(PixelAt(bmp, 0, 0), kWhite);

    // Rectangles reaching past the bitmap are cut; inverted ones fill nothing.
    canvas.Brush()->SetColor(clBlack);
    canvas.FillRect(Rect(-5, -5, 1, 1));
    canvas.FillRect(Rect(19, 9, 100, 100));
    canvas.FillRect(Rect(15, 5, 12, 2));
    EXPECT_EQ(PixelAt(bmp, 0, 0), (Bgra{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(bmp, 19, 9), (Bgra{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(bmp, 13, 3), kWhite);

    // Coordinates at the ends of the integer range neither overflow nor draw
    // where they should not.
    canvas.TextOut(INT_MAX - 1, INT_MAX - 1, u"far");
    canvas.MoveTo(INT_MAX, 5);
    canvas.LineTo(INT_MIN, 5);
    canvas.Rectangle(INT_MIN, INT_MIN, INT_MIN + 3, INT_MAX);
    canvas.StretchDraw(Rect(INT_MAX - 2, 0, INT_MAX, 2), bmp);
    EXPECT_EQ(PixelAt(bmp, 13, 3), kWhite);
    EXPECT_EQ(PixelAt(bmp, 13, 5), (Bgra{0, 0, 0, 255}));
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_EQ(PixelAt(bmp, 19, 9), kWhite);
  }
}

TEST_F(CanvasFill, DrawingOnABitmapWithAlphaLeavesUntouchedPixelsExact) {
  // Pixels that would not survive a premultiplied round trip.
  auto bmpOwner = MakeBitmap(8, 8, pf32bit, Bgra{200, 100, 50, 3});
  TBitmap& bmp = *bmpOwner;
  bmp.SetAlphaFormat(afDefined);
  TCanvas canvas(bmp);
  canvas.Pen()->SetColor(clRed);
  canvas.MoveTo(0, 0);
  canvas.LineTo(7, 7);
  canvas.Brush()->SetStyle(bsClear);
  canvas.TextOut(0, 0, u"W");
  int touched = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const Bgra p = PixelAt(bmp, x, y);
      if (p == Bgra{200, 100, 50, 3}) continue;
      ++touched;
      EXPECT_GT(p.a, 3) << x << ',' << y;
    }
  EXPECT_GT(touched, 0);
  EXPECT_EQ(PixelAt(bmp, 7, 0), (Bgra{200, 100, 50, 3}));
  EXPECT_EQ(PixelAt(bmp, 3, 3), (Bgra{0, 0, 255, 255}));
}

TEST_F(CanvasFill, RectangleAndLinesUseThePenOnTheOuterPixels) {
  auto bmpOwner = MakeBitmap(10, 10, pf24bit);
  TBitmap& bmp = *bmpOwner;
  TCanvas canvas(bmp);
  canvas.Brush()->SetColor(clBlue);
  canvas.Pen()->SetColor(clRed);
  canvas.Rectangle(1, 1, 6, 6);
  const Bgra red{0, 0, 255, 255}, blue{255, 0, 0, 255};
  EXPECT_EQ(PixelAt(bmp, 1, 1), red);
  EXPECT_EQ(PixelAt(bmp, 5, 5), red);
  EXPECT_EQ(PixelAt(bmp, 3, 3), blue);
  EXPECT_EQ(PixelAt(bmp, 6, 6), kWhite);
  // A line leaves out its end point.
  canvas.MoveTo(0, 8);
  canvas.LineTo(9, 8);
  EXPECT_EQ(PixelAt(bmp, 0, 8), red);
  EXPECT_EQ(PixelAt(bmp, 8, 8), red);
  EXPECT_EQ(PixelAt(bmp, 9, 8), kWhite);
  EXPECT_EQ(canvas.PenPos(), Point(9, 8));
}

using CanvasText = NoGdiLeaks;

TEST_F(CanvasText, MeasurementIsRepeatableAndFollowsFontAndText) {
  TCanvas a, b;  // not attached: measuring needs no target
  a.Font()->SetName(u"Segoe UI");
  a.Font()->SetSize(10);
  b.Font()->Assign(*a.Font());
  EXPECT_EQ(a.Font()->Height(), -13);
  const TSize ext = a.TextExtent(u"Qorb Plug-in 1.2.3");
  EXPECT_GT(ext.cx, 50);
  EXPECT_GE(ext.cy, 13);
  EXPECT_EQ(a.TextExtent(u"Qorb Plug-in 1.2.3"), ext);
  EXPECT_EQ(b.TextExtent(u"Qorb Plug-in 1.2.3"), ext);
  EXPECT_EQ(a.TextHeight(u"x"), a.TextHeight(u"Wp"));
  EXPECT_EQ(a.TextWidth(u""), 0);
  EXPECT_LT(a.TextWidth(u"Qorb"), a.TextWidth(u"Qorb Qorb"));

  b.Font()->SetStyle({fsBold});
  EXPECT_GT(b.TextWidth(u"Qorb Plug-in 1.2.3"), ext.cx);
  b.Font()->SetStyle({});
  b.Font()->SetSize(8);
  EXPECT_LT(b.TextHeight(u"Wp"), ext.cy);
  EXPECT_LT(b.TextWidth(u"Qorb Plug-in 1.2.3"), ext.cx);

  // Text that is not well-formed UTF-16 is measured, not refused.
  const char16_t lone[] = {u'a', char16_t(0xD800), u'b'};
  EXPECT_GT(a.TextWidth(std::u16string_view(lone, 3)), a.TextWidth(u"ab"));
}

TEST_F(CanvasText, TextIsDrawnInTheFontColourInsideItsMeasuredBox) {
  auto bmpOwner = MakeBitmap(200, 40, pf24bit);
  TBitmap& bmp = *bmpOwner;
  TCanvas canvas(bmp);
  canvas.Font()->SetSize(18);
  canvas.Font()->SetColor(ColorOf(0x0000C0));
  canvas.Brush()->SetStyle(bsClear);
  const int x = 52, y = 5;
  canvas.TextOut(x, y, u"Wp|");
  const TSize ext = canvas.TextExtent(u"Wp|");
  int inked = 0, solid = 0;
  for (int py = 0; py < bmp.Height(); ++py)
    for (int px = 0; px < bmp.Width(); ++px) {
      const Bgra p = PixelAt(bmp, px, py);
      if (p == kWhite) continue;
      ++inked;
      EXPECT_TRUE(px >= x && px < x + ext.cx && py >= y && py < y + ext.cy) << px << ',' << py;
      EXPECT_EQ(p.b, p.g) << "a red shade, not another hue";
      if (p == (Bgra{0, 0, 0xC0, 255})) ++solid;
    }
  EXPECT_GT(inked, 20);
  EXPECT_GT(solid, 10) << "glyph stems are drawn in the font colour itself";
}

TEST_F(CanvasText, ASolidBrushFillsTheTextBoxAndAClearOneLeavesIt) {
  auto bmpOwner = MakeBitmap(100, 30, pf24bit);
  TBitmap& bmp = *bmpOwner;
  TCanvas canvas(bmp);
  canvas.Brush()->SetColor(clLime);
  canvas.Font()->SetColor(clBlack);
  canvas.TextOut(10, 5, u"..");
  const TSize ext = canvas.TextExtent(u"..");
  const Bgra lime{0, 255, 0, 255};
  EXPECT_EQ(PixelAt(bmp, 10, 5), lime);
  EXPECT_EQ(PixelAt(bmp, 10 + ext.cx - 1, 5), lime);
  EXPECT_EQ(PixelAt(bmp, 10 + ext.cx, 5), kWhite);
  EXPECT_EQ(PixelAt(bmp, 10, 5 + ext.cy), kWhite);

  canvas.Brush()->SetStyle(bsClear);
  canvas.TextOut(10, 5 + ext.cy, u"..");
  EXPECT_EQ(PixelAt(bmp, 10, 5 + ext.cy), kWhite);
}

using CanvasImages = NoGdiLeaks;

// A 16 x 16 icon: opaque blue with fully transparent 4 x 4 corners.
std::unique_ptr<TBitmap> MakeIcon(TAlphaFormat alphaFormat) {
  auto icon = MakeBitmap(16, 16, pf32bit, Bgra{255, 0, 0, 255});
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if ((x < 4 || x >= 12) && (y < 4 || y >= 12)) SetPixel(*icon, x, y, Bgra{0, 0, 0, 0});
  icon->SetAlphaFormat(alphaFormat);
  return icon;
}

TEST_F(CanvasImages, StretchedIconWithAlphaKeepsItsTransparentCorners) {
  auto rowOwner = MakeBitmap(60, 44, pf24bit);
  TBitmap& row = *rowOwner;
  TCanvas canvas(row);
  auto iconOwner = MakeIcon(afDefined);
  const TBitmap& icon = *iconOwner;
  const TRect square = Bounds(8, 4, 36, 36);
  canvas.StretchDraw(square, icon);
  const Bgra blue{255, 0, 0, 255};
  for (TPoint corner : {Point(8, 4), Point(43, 4), Point(8, 39), Point(43, 39)})
    EXPECT_EQ(PixelAt(row, corner.X, corner.Y), kWhite) << corner.X << ',' << corner.Y;
  EXPECT_EQ(PixelAt(row, 25, 21), blue);
  EXPECT_EQ(PixelAt(row, 8, 21), blue);  // the left edge is not faded
  EXPECT_EQ(PixelAt(row, 43, 21), blue);
  EXPECT_EQ(PixelAt(row, 7, 21), kWhite);
  EXPECT_EQ(PixelAt(row, 44, 21), kWhite);
  EXPECT_EQ(PixelAt(row, 25, 3), kWhite);
  EXPECT_EQ(PixelAt(row, 25, 40), kWhite);
}

TEST_F(CanvasImages, AlphaCountsOnlyWhenTheBitmapSaysSo) {
  auto targetOwner = MakeBitmap(40, 20, pf32bit, Bgra{0, 0, 0, 0});
  TBitmap& target = *targetOwner;
  target.SetAlphaFormat(afDefined);
  TCanvas canvas(target);
  canvas.Draw(0, 0, *MakeIcon(afIgnored));
  canvas.Draw(20, 0, *MakeIcon(afDefined));
  EXPECT_EQ(PixelAt(target, 0, 0), (Bgra{0, 0, 0, 255}));  // drawn opaque, alpha ignored
  EXPECT_EQ(PixelAt(target, 8, 8), (Bgra{255, 0, 0, 255}));
  EXPECT_EQ(PixelAt(target, 20, 0), (Bgra{0, 0, 0, 0}));  // transparent stays transparent
  EXPECT_EQ(PixelAt(target, 28, 8), (Bgra{255, 0, 0, 255}));

  // A half-transparent pixel over a transparent target keeps its straight colour.
  auto halfOwner = MakeBitmap(1, 1, pf32bit, Bgra{40, 80, 160, 128});
  TBitmap& half = *halfOwner;
  half.SetAlphaFormat(afDefined);
  canvas.Draw(39, 19, half);
  const Bgra p = PixelAt(target, 39, 19);
  EXPECT_EQ(p.a, 128);
  EXPECT_NEAR(p.b, 40, 1);
  EXPECT_NEAR(p.g, 80, 1);
  EXPECT_NEAR(p.r, 160, 1);
}

using CanvasContext = NoGdiLeaks;

TEST_F(CanvasContext, AContextShiftsTheOriginAndClipsDrawing) {
  auto bmpOwner = MakeBitmap(30, 30, pf24bit);
  TBitmap& bmp = *bmpOwner;
  TDeviceContext dc;
  dc.Bitmap = &bmp;
  dc.Origin = Point(10, 10);
  dc.Clip = Rect(10, 10, 20, 20);
  TCanvas canvas;
  canvas.SetHandle(DeviceContextHandle(&dc));
  EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 10, 10));
  canvas.Brush()->SetColor(clBlack);
  canvas.FillRect(Rect(-5, -5, 5, 5));
  EXPECT_EQ(PixelAt(bmp, 10, 10), (Bgra{0, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bmp, 14, 14), (Bgra{0, 0, 0, 255}));
  EXPECT_EQ(PixelAt(bmp, 9, 9), kWhite);
  EXPECT_EQ(PixelAt(bmp, 15, 15), kWhite);

  // An empty bitmap (or one whose handle was taken away) takes nothing.
  TBitmap empty;
  TCanvas onEmpty(empty);
  onEmpty.FillRect(Rect(0, 0, 5, 5));
  onEmpty.TextOut(0, 0, u"x");
  onEmpty.StretchDraw(Rect(0, 0, 5, 5), *MakeIcon(afDefined));
  onEmpty.Draw(0, 0, empty);
  EXPECT_EQ(onEmpty.ClipRect(), TRect{});

  canvas.SetHandle(nullptr);
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_THROW(canvas.TextOut(0, 0, u"x"), EInvalidOperation);
  EXPECT_GT(canvas.TextWidth(u"x"), 0);
}

}  // namespace
