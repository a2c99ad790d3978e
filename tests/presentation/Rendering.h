#pragma once
// Painting controls into 24-bit bitmaps and comparing what came out.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"
#include "winapi/Gdi.h"

// 0xRRGGBB of a pixel.
inline uint32_t RgbAt(const uint8_t* row, int x) {
  const uint8_t* p = row + 3 * x;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}
inline uint32_t RgbAt(const TBitmap& b, int x, int y) { return RgbAt(b.ScanLine(y), x); }
inline uint32_t RgbAt(HBITMAP h, int x, int y) {
  BITMAP info{};
  if (GetObjectW(h, sizeof(info), &info) != sizeof(info) || info.bmBitsPixel != 24 || x >= info.bmWidth ||
      y >= info.bmHeight)
    return 0xDEAD;  // no such pixel
  return RgbAt(static_cast<const uint8_t*>(info.bmBits) + y * info.bmWidthBytes, x);
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

inline std::unique_ptr<TBitmap> Render(TControl& control) {
  auto b = Canvas24(control.Width(), control.Height(), clFuchsia);
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

inline ::testing::AssertionResult AllPixels(const TBitmap& a, const TRect& Area, TColor c) {
  return SamePixels(a, *Canvas24(a.Width(), a.Height(), c), Area);
}

// Text as the plug-in list draws it: no background of its own. A negative
// x ends the text -x pixels before the right edge.
inline void DrawText(TBitmap& b, int x, int y, std::u16string_view text, int points, TColor color) {
  TCanvas c(b);
  c.Brush()->SetStyle(bsClear);
  c.Font()->SetName(UnicodeString(u"Segoe UI"));
  c.Font()->SetSize(points);
  c.Font()->SetColor(color);
  c.TextOut(x < 0 ? b.Width() + x - c.TextWidth(text) : x, y, text);
}
