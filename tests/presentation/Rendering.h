#pragma once
// Painting controls into bitmaps and comparing what came out.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"

// 0xRRGGBB of a 24-bit bitmap's pixel.
inline uint32_t RgbAt(const TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + 3 * x;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

// The colour value of a TColor that is not a system colour, as RgbAt gives it.
inline uint32_t RgbOf(TColor c) {
  const uint32_t v = static_cast<uint32_t>(ColorToRGB(c));
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

inline std::unique_ptr<TBitmap> Canvas24(int w, int h, TColor fill) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  TCanvas c(*b);
  c.Brush()->SetColor(fill);
  c.FillRect(Rect(0, 0, w, h));
  return b;
}

inline std::unique_ptr<TBitmap> Render(TControl& control, TColor fill = clFuchsia) {
  auto b = Canvas24(control.Width(), control.Height(), fill);
  TCanvas c(*b);
  control.PaintTo(c, 0, 0);
  return b;
}

// Whether both bitmaps agree on every pixel of Area; reports the first
// difference.
inline ::testing::AssertionResult SamePixels(const TBitmap& a, const TBitmap& b, const TRect& Area) {
  for (int y = Area.Top; y < Area.Bottom; ++y)
    for (int x = Area.Left; x < Area.Right; ++x)
      if (RgbAt(a, x, y) != RgbAt(b, x, y))
        return ::testing::AssertionFailure() << "first difference at (" << x << ", " << y << "): " << std::hex
                                             << RgbAt(a, x, y) << " vs " << RgbAt(b, x, y);
  return ::testing::AssertionSuccess();
}

// Whether every pixel of Area has the colour Rgb.
inline ::testing::AssertionResult AllPixels(const TBitmap& a, const TRect& Area, uint32_t Rgb) {
  for (int y = Area.Top; y < Area.Bottom; ++y)
    for (int x = Area.Left; x < Area.Right; ++x)
      if (RgbAt(a, x, y) != Rgb)
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex << RgbAt(a, x, y)
                                             << ", not " << Rgb;
  return ::testing::AssertionSuccess();
}

// Text as the list draws it: on Bg, no background of its own.
inline void DrawText(TBitmap& b, int x, int y, std::u16string_view text, int points, TColor color) {
  TCanvas c(b);
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetName(UnicodeString(u"Segoe UI"));
  c.Font()->SetSize(points);
  c.Font()->SetColor(color);
  c.TextOut(x, y, text);
}

inline int TextWidthOf(std::u16string_view text, int points) {
  TCanvas c;
  c.Font()->SetName(UnicodeString(u"Segoe UI"));
  c.Font()->SetSize(points);
  return c.TextWidth(text);
}
