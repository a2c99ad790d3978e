#include "vcl/Bitmap.h"
#include "vcl/Raster.h"
#include "vcl/linux/CairoTarget.h"

namespace qorb::raster {
namespace {

// A 1-pixel pen as GDI draws it: one pixel per step along the longer axis,
// the other axis rounded to the nearest pixel, halves to the smaller
// coordinate. Cairo's stroke would set two pixels where the line passes
// between them.
void ThinLine(TBitmap& Bitmap, const TRect& Region, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, TColor Color) {
  const auto rgb = static_cast<uint32_t>(ColorToRGB(Color));
  const bool is32 = Bitmap.PixelFormat() == pf32bit;
  const int64_t dx = X1 - X0, dy = Y1 - Y0;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const int64_t n = xMajor ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy);
  const int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
  const int64_t minorRun = xMajor ? dy : dx;
  // Rounded halves down: ceil(i * run / n - 1/2), as ceil(num / 2n).
  auto ceilDiv = [](int64_t num, int64_t den) { return num >= 0 ? (num + den - 1) / den : -((-num) / den); };
  for (int64_t i = 0; i < n; ++i) {
    const int64_t minor = ceilDiv(2 * i * minorRun - n, 2 * n);
    const int64_t x = xMajor ? X0 + i * majorStep : X0 + minor;
    const int64_t y = xMajor ? Y0 + minor : Y0 + i * majorStep;
    if (x < Region.Left || x >= Region.Right || y < Region.Top || y >= Region.Bottom) continue;
    uint8_t* p = Bitmap.ScanLine(static_cast<int>(y)) + x * (is32 ? 4 : 3);
    p[0] = static_cast<uint8_t>(rgb >> 16);
    p[1] = static_cast<uint8_t>(rgb >> 8);
    p[2] = static_cast<uint8_t>(rgb);
    if (is32) p[3] = 255;
  }
}

}  // namespace

void Picture(TBitmap& Bitmap, const TRect& Region, const TBox& Dest, const TGraphic& Graphic) {
  CairoSurfacePtr source = SurfaceOfGraphic(Graphic);
  if (!source) return;
  TCairoTarget target(Bitmap, Region);
  cairo_t* cr = target.Context();
  if (!cr) return;
  const double sx = static_cast<double>(Dest.Right - Dest.Left) / Graphic.Width();
  const double sy = static_cast<double>(Dest.Bottom - Dest.Top) / Graphic.Height();
  cairo_translate(cr, static_cast<double>(Dest.Left), static_cast<double>(Dest.Top));
  cairo_scale(cr, sx, sy);
  cairo_set_source_surface(cr, source.get(), 0, 0);
  cairo_pattern_t* pattern = cairo_get_source(cr);
  // Padding keeps the edge pixels from fading into transparency when scaled.
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(pattern, sx == 1.0 && sy == 1.0 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
  cairo_rectangle(cr, 0, 0, Graphic.Width(), Graphic.Height());
  cairo_fill(cr);
}

void Line(TBitmap& Bitmap, const TRect& Region, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, int Width,
          TColor Color) {
  if (Width <= 1) {
    ThinLine(Bitmap, Region, X0, Y0, X1, Y1, Color);
    return;
  }
  TCairoTarget target(Bitmap, Region);
  cairo_t* cr = target.Context();
  if (!cr) return;
  // Through pixel centres, unsmoothed.
  const auto rgb = static_cast<uint32_t>(ColorToRGB(Color));
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_width(cr, static_cast<double>(Width));
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
  cairo_set_source_rgb(cr, (rgb & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb >> 16 & 0xFF) / 255.0);
  cairo_move_to(cr, static_cast<double>(X0) + 0.5, static_cast<double>(Y0) + 0.5);
  cairo_line_to(cr, static_cast<double>(X1) + 0.5, static_cast<double>(Y1) + 0.5);
  cairo_stroke(cr);
}

}  // namespace qorb::raster
