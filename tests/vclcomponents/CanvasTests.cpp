#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "Pixels.h"
#include "vcl/Canvas.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF, kBlack = 0xFF000000, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

// A 16 x 16 icon: opaque blue with fully transparent 4 x 4 corners.
std::unique_ptr<TBitmap> MakeIcon(TAlphaFormat alphaFormat) {
  auto icon = MakeBitmap(16, 16, pf32bit, kBlue);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if ((x < 4 || x >= 12) && (y < 4 || y >= 12)) std::memset(icon->ScanLine(y) + 4 * x, 0, 4);
  icon->SetAlphaFormat(alphaFormat);
  return icon;
}

using Canvas = NoGdiLeaks;

TEST_F(Canvas, FillsExactlyTheRectangleInTheResolvedColourCutAtTheEdges) {
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    auto bmp = MakeBitmap(20, 10, format, kWhite);
    TCanvas canvas(*bmp);
    canvas.Brush()->SetColor(ColorOf(0x336699));  // 0x00BBGGRR
    canvas.FillRect(Rect(2, 3, 7, 8));
    EXPECT_EQ(PixelAt(*bmp, 2, 3), 0xFF996633u);
    EXPECT_EQ(PixelAt(*bmp, 6, 7), 0xFF996633u);
    for (TPoint p : {Point(7, 7), Point(6, 8), Point(1, 3)}) EXPECT_EQ(PixelAt(*bmp, p.X, p.Y), kWhite) << p.X;

    // System colours go through GetSysColor; a clear brush fills nothing.
    canvas.Brush()->SetColor(clHighlight);
    canvas.FillRect(Rect(10, 0, 12, 2));
    EXPECT_EQ(PixelAt(*bmp, 11, 1), 0xFF0078D7u);  // RGB(0, 120, 215)
    canvas.Brush()->SetStyle(bsClear);
    canvas.FillRect(Rect(0, 0, 20, 10));
    EXPECT_EQ(PixelAt(*bmp, 0, 0), kWhite);

    // Rectangles reaching past the bitmap are cut; inverted ones fill nothing.
    canvas.Brush()->SetColor(clBlack);
    canvas.FillRect(Rect(-5, -5, 1, 1));
    canvas.FillRect(Rect(19, 9, 100, 100));
    canvas.FillRect(Rect(15, 5, 12, 2));
    EXPECT_EQ(PixelAt(*bmp, 0, 0), kBlack);
    EXPECT_EQ(PixelAt(*bmp, 19, 9), kBlack);
    EXPECT_EQ(PixelAt(*bmp, 13, 3), kWhite);

    // The ends of the integer range neither overflow nor draw astray.
    canvas.TextOut(INT_MAX - 1, INT_MAX - 1, u"far");
    canvas.MoveTo(INT_MAX, 5);
    canvas.LineTo(INT_MIN, 5);
    canvas.Rectangle(INT_MIN, INT_MIN, INT_MIN + 3, INT_MAX);
    canvas.StretchDraw(Rect(INT_MAX - 2, 0, INT_MAX, 2), *bmp);
    EXPECT_EQ(PixelAt(*bmp, 13, 3), kWhite);
    EXPECT_EQ(PixelAt(*bmp, 13, 5), kBlack);
    canvas.Brush()->SetColor(clWhite);
    canvas.FillRect(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_EQ(PixelAt(*bmp, 19, 9), kWhite);
  }
  // An empty bitmap (or one whose handle was taken away) takes nothing.
  TBitmap empty;
  TCanvas onEmpty(empty);
  onEmpty.FillRect(Rect(0, 0, 5, 5));
  onEmpty.TextOut(0, 0, u"x");
  onEmpty.StretchDraw(Rect(0, 0, 5, 5), *MakeIcon(afDefined));
  EXPECT_EQ(onEmpty.ClipRect(), TRect{});
}

TEST_F(Canvas, PenAndTextOnABitmapWithAlphaLeaveUntouchedPixelsExact) {
  // Pixels that would not survive a premultiplied round trip.
  const uint32_t faint = 0x033264C8;
  auto bmp = MakeBitmap(8, 8, pf32bit, faint);
  bmp->SetAlphaFormat(afDefined);
  TCanvas canvas(*bmp);
  canvas.Pen()->SetColor(clRed);
  canvas.Brush()->SetStyle(bsClear);
  canvas.Rectangle(1, 1, 6, 6);  // the pen on the outer pixels
  EXPECT_EQ(PixelAt(*bmp, 1, 1), kRed);
  EXPECT_EQ(PixelAt(*bmp, 5, 5), kRed);
  EXPECT_EQ(PixelAt(*bmp, 3, 3), faint);
  EXPECT_EQ(PixelAt(*bmp, 6, 6), faint);
  canvas.TextOut(0, 0, u"W");
  int touched = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const uint32_t p = PixelAt(*bmp, x, y);
      touched += p != faint;
      EXPECT_TRUE(p == faint || p >> 24 > 3) << x << ',' << y;  // drawn on, never made more transparent
    }
  EXPECT_GT(touched, 16);  // more than the pen's pixels: the text was drawn
  EXPECT_EQ(PixelAt(*bmp, 7, 0), faint);
}

TEST_F(Canvas, WithoutATargetTextIsMeasuredButNotDrawn) {
  TCanvas canvas;
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_THROW(canvas.TextOut(0, 0, u"x"), EInvalidOperation);
  canvas.Font()->SetSize(10);
  EXPECT_EQ(canvas.Font()->Height(), -13);
  const TSize ext = canvas.TextExtent(u"Qorb Plug-in 1.2.3");
  EXPECT_TRUE(ext.cx > 50 && ext.cy >= 13 && canvas.TextWidth(u"") == 0);
  canvas.Font()->SetStyle({fsBold});
  EXPECT_GT(canvas.TextWidth(u"Qorb Plug-in 1.2.3"), ext.cx);
  canvas.Font()->SetSize(8);
  EXPECT_LT(canvas.TextHeight(u"Qorb Plug-in 1.2.3"), ext.cy);
  // Text that is not well-formed UTF-16 is measured, not refused.
  const char16_t lone[] = {u'a', char16_t(0xD800), u'b'};
  EXPECT_GT(canvas.TextWidth(std::u16string_view(lone, 3)), canvas.TextWidth(u"ab"));
}

TEST_F(Canvas, TextIsDrawnInTheFontColourInsideItsBoxWhichASolidBrushFills) {
  auto bmp = MakeBitmap(200, 60, pf24bit, kWhite);
  TCanvas canvas(*bmp);
  canvas.Font()->SetSize(18);
  canvas.Font()->SetColor(ColorOf(0x0000C0));
  canvas.Brush()->SetStyle(bsClear);
  canvas.TextOut(52, 5, u"Wp|");
  const TSize ext = canvas.TextExtent(u"Wp|");
  int inked = 0, solid = 0;
  for (int y = 0; y < bmp->Height(); ++y)
    for (int x = 0; x < bmp->Width(); ++x) {
      const uint32_t p = PixelAt(*bmp, x, y);
      if (p == kWhite) continue;
      ++inked;
      EXPECT_TRUE(x >= 52 && x < 52 + ext.cx && y >= 5 && y < 5 + ext.cy) << x << ',' << y;
      EXPECT_EQ(p & 0xFF, p >> 8 & 0xFF) << "a red shade, not another hue";
      solid += p == 0xFFC00000;
    }
  EXPECT_GT(inked, 20);
  EXPECT_GT(solid, 10) << "glyph stems are drawn in the font colour itself";

  canvas.Brush()->SetColor(clLime);
  canvas.TextOut(10, 40, u"..");
  const int dots = canvas.TextWidth(u"..");
  EXPECT_TRUE(PixelAt(*bmp, 10, 40) == 0xFF00FF00u && PixelAt(*bmp, 9 + dots, 40) == 0xFF00FF00u);
  EXPECT_EQ(PixelAt(*bmp, 10 + dots, 40), kWhite);
}

TEST_F(Canvas, AlphaCountsOnlyWhenTheBitmapSaysSoAlsoWhenStretched) {
  auto row = MakeBitmap(60, 44, pf24bit, kWhite);
  TCanvas(*row).StretchDraw(Bounds(8, 4, 36, 36), *MakeIcon(afDefined));
  for (TPoint corner : {Point(8, 4), Point(43, 4), Point(8, 39), Point(43, 39), Point(7, 21), Point(44, 21)})
    EXPECT_EQ(PixelAt(*row, corner.X, corner.Y), kWhite) << corner.X << ',' << corner.Y;
  for (TPoint inside : {Point(25, 21), Point(8, 21), Point(43, 21)})  // edges not faded
    EXPECT_EQ(PixelAt(*row, inside.X, inside.Y), kBlue) << inside.X;

  auto target = MakeBitmap(40, 20, pf32bit, 0);
  target->SetAlphaFormat(afDefined);
  TCanvas canvas(*target);
  canvas.Draw(0, 0, *MakeIcon(afIgnored));
  canvas.Draw(20, 0, *MakeIcon(afDefined));
  EXPECT_EQ(PixelAt(*target, 0, 0), kBlack);  // drawn opaque, alpha ignored
  EXPECT_EQ(PixelAt(*target, 20, 0), 0u);     // transparent stays transparent
  EXPECT_EQ(PixelAt(*target, 28, 8), kBlue);
  // A half-transparent pixel over a transparent target keeps its straight colour.
  auto half = MakeBitmap(1, 1, pf32bit, 0x80A05028);
  half->SetAlphaFormat(afDefined);
  canvas.Draw(39, 19, *half);
  const uint32_t p = PixelAt(*target, 39, 19);
  EXPECT_EQ(p >> 24, 0x80u);
  for (int shift : {0, 8, 16}) EXPECT_NEAR(int(p >> shift & 0xFF), int(0x80A05028 >> shift & 0xFF), 1) << shift;
}

// Drawn at another size a picture is filtered, not sampled: a reduced
// checkerboard is grey, an enlarged edge a ramp (what an icon on the welcome
// page needs to look smooth).
TEST_F(Canvas, AScaledPictureBlendsNeighbouringPixels) {
  auto checkers = MakeBitmap(4, 4, pf24bit, kWhite);
  for (int y = 0; y < 4; ++y)
    for (int x = (y & 1); x < 4; x += 2) std::memset(checkers->ScanLine(y) + 3 * x, 0, 3);
  auto small = MakeBitmap(2, 2, pf24bit, kRed);
  TCanvas(*small).StretchDraw(Rect(0, 0, 2, 2), *checkers);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 2; ++x) {
      const uint32_t p = PixelAt(*small, x, y);
      EXPECT_NEAR(int(p & 0xFF), 0x80, 0x20) << x << ',' << y;
      EXPECT_EQ(p & 0xFF, p >> 16 & 0xFF) << "grey, not a hue";
    }

  auto edge = MakeBitmap(2, 1, pf24bit, kWhite);
  std::memset(edge->ScanLine(0), 0, 3);
  auto wide = MakeBitmap(8, 1, pf24bit, kRed);
  TCanvas(*wide).StretchDraw(Rect(0, 0, 8, 1), *edge);
  EXPECT_EQ(PixelAt(*wide, 0, 0), kBlack);
  EXPECT_EQ(PixelAt(*wide, 7, 0), kWhite);
  int between = 0;
  for (int x = 1; x < 8; ++x) {
    EXPECT_GE(PixelAt(*wide, x, 0) & 0xFF, PixelAt(*wide, x - 1, 0) & 0xFF) << x;
    const uint32_t level = PixelAt(*wide, x, 0) & 0xFF;
    between += level > 0 && level < 0xFF;
  }
  EXPECT_GE(between, 2);
}

// A 1-pixel pen sets one pixel per step of the longer axis, the start in and
// the end out, halves rounded to the smaller coordinate: what GDI's pen
// sets, on both platforms. Rows 0 to 5 of a 7 by 6 bitmap.
TEST_F(Canvas, SlantedPenLinesSetThePixelsGdiSets) {
  const struct {
    TPoint From, To;
    const char* Rows;
  } lines[] = {
      {{1, 1}, {5, 3}, ".......|.##....|...##..|.......|.......|......."},
      {{5, 3}, {1, 1}, ".......|..#....|...##..|.....#.|.......|......."},
      {{1, 1}, {3, 5}, ".......|.#.....|.#.....|..#....|..#....|......."},
      {{3, 5}, {1, 1}, ".......|.......|.#.....|..#....|..#....|...#..."},
      {{1, 3}, {5, 1}, ".......|....#..|..##...|.#.....|.......|......."},
      {{5, 1}, {1, 3}, ".......|....##.|..##...|.......|.......|......."},
      {{1, 5}, {3, 1}, ".......|.......|..#....|..#....|.#.....|.#....."},
      {{3, 1}, {1, 5}, ".......|...#...|..#....|..#....|.#.....|......."},
      {{7, 2}, {1, 1}, ".......|..###..|.....##|.......|.......|......."},  // cut at the edge
      {{0, 0}, {5, 5}, "#......|.#.....|..#....|...#...|....#..|......."},
  };
  for (const auto& l : lines) {
    auto bmp = MakeBitmap(7, 6, pf32bit, 0);
    bmp->SetAlphaFormat(afDefined);
    TCanvas canvas(*bmp);
    canvas.Pen()->SetColor(clRed);
    canvas.MoveTo(l.From.X, l.From.Y);
    canvas.LineTo(l.To.X, l.To.Y);
    std::string rows;
    for (int y = 0; y < 6; ++y) {
      if (y) rows += '|';
      for (int x = 0; x < 7; ++x) {
        const uint32_t p = PixelAt(*bmp, x, y);
        rows += p == 0 ? '.' : p == kRed ? '#' : '?';
      }
    }
    EXPECT_EQ(rows, l.Rows) << l.From.X << ',' << l.From.Y << " to " << l.To.X << ',' << l.To.Y;
  }
}

}  // namespace
