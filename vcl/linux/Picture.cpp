#include "vcl/Bitmap.h"
#include "vcl/Raster.h"
#include "vcl/linux/CairoTarget.h"

namespace qorb::raster {

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
  TCairoTarget target(Bitmap, Region);
  cairo_t* cr = target.Context();
  if (!cr) return;
  // Through pixel centres, unsmoothed, like a pen.
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
