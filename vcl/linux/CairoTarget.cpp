#include "vcl/linux/CairoTarget.h"

#include <cstring>

#include "vcl/Bitmap.h"
#include "vcl/PngImage.h"
#include "vcl/Premultiplied.h"
#include "vcl/RegionPixels.h"

namespace {

CairoSurfacePtr NewSurface(cairo_format_t format, int w, int h) {
  CairoSurfacePtr s(cairo_image_surface_create(format, w, h));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

uint32_t* SurfaceRow(cairo_surface_t* s, int y) {
  return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) +
                                     static_cast<ptrdiff_t>(y) * cairo_image_surface_get_stride(s));
}

}  // namespace

TCairoTarget::TCairoTarget(TBitmap& Bitmap, const TRect& Region)
    : bitmap_(Bitmap), region_(TRect::Intersect(Region, Rect(0, 0, Bitmap.Width(), Bitmap.Height()))) {
  if (region_.IsEmpty()) return;
  const bool is32 = bitmap_.PixelFormat() == pf32bit;
  alpha_ = is32 && bitmap_.AlphaFormat() == afDefined;
  const int w = region_.Width();
  const int h = region_.Height();
  surface_ = NewSurface(alpha_ ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
  if (!surface_) return;
  cairo_surface_flush(surface_.get());
  CopyRegionOut(bitmap_, region_, alpha_, [this](int y) { return SurfaceRow(surface_.get(), y); }, before_);
  cairo_surface_mark_dirty(surface_.get());
  cairo_surface_set_device_offset(surface_.get(), -region_.Left, -region_.Top);
  cr_.reset(cairo_create(surface_.get()));
  if (cairo_status(cr_.get()) != CAIRO_STATUS_SUCCESS) cr_.reset();
}

TCairoTarget::~TCairoTarget() { WriteBack(); }

void TCairoTarget::WriteBack() noexcept {
  if (!cr_) return;
  cr_.reset();
  cairo_surface_flush(surface_.get());
  WriteRegionBack(bitmap_, region_, alpha_, [this](int y) { return SurfaceRow(surface_.get(), y); }, before_);
}

CairoSurfacePtr SurfaceOfGraphic(const TGraphic& Graphic) {
  const int w = Graphic.Width();
  const int h = Graphic.Height();
  if (w <= 0 || h <= 0) return nullptr;
  if (const auto* bmp = dynamic_cast<const TBitmap*>(&Graphic)) {
    const bool is32 = bmp->PixelFormat() == pf32bit;
    const bool alpha = is32 && bmp->AlphaFormat() == afDefined;
    CairoSurfacePtr s = NewSurface(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
    if (!s) return nullptr;
    cairo_surface_flush(s.get());
    const int step = is32 ? 4 : 3;
    for (int y = 0; y < h; ++y) {
      const uint8_t* src = bmp->ScanLine(y);
      uint32_t* dst = SurfaceRow(s.get(), y);
      for (int x = 0; x < w; ++x, src += step)
        dst[x] = alpha ? Premultiply(src[0], src[1], src[2], src[3]) : Opaque(src[0], src[1], src[2]);
    }
    cairo_surface_mark_dirty(s.get());
    return s;
  }
  if (const auto* png = dynamic_cast<const TPngImage*>(&Graphic)) {
    const bool alpha = png->HasAlpha();
    CairoSurfacePtr s = NewSurface(alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
    if (!s) return nullptr;
    cairo_surface_flush(s.get());
    for (int y = 0; y < h; ++y) {
      const uint8_t* src = png->RgbaRow(y);
      uint32_t* dst = SurfaceRow(s.get(), y);
      for (int x = 0; x < w; ++x, src += 4)
        dst[x] = alpha ? Premultiply(src[2], src[1], src[0], src[3]) : Opaque(src[2], src[1], src[0]);
    }
    cairo_surface_mark_dirty(s.get());
    return s;
  }
  return nullptr;
}
