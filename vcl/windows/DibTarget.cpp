#include "vcl/windows/DibTarget.h"

#include <algorithm>
#include <cstring>

#include "vcl/Bitmap.h"
#include "vcl/PngImage.h"
#include "vcl/Premultiplied.h"
#include "vcl/RegionPixels.h"

TDibTarget::TDibTarget(TBitmap& Bitmap, const TRect& Region)
    : bitmap_(Bitmap),
      region_(Region),
      alpha_(Bitmap.PixelFormat() == pf32bit && Bitmap.AlphaFormat() == afDefined),
      dib_(Region.Width(), Region.Height()) {
  if (!dib_.Valid()) return;
  CopyRegionOut(bitmap_, region_, alpha_, [this](int y) { return dib_.Row(y); }, before_);
}

TDibTarget::~TDibTarget() {
  if (!dib_.Valid()) return;
  WriteRegionBack(bitmap_, region_, alpha_, [this](int y) { return dib_.Row(y); }, before_);
}

std::unique_ptr<qorb::gdi::TDib> DibOfGraphic(const TGraphic& Graphic) {
  const int w = Graphic.Width();
  const int h = Graphic.Height();
  const auto* bmp = dynamic_cast<const TBitmap*>(&Graphic);
  const auto* png = dynamic_cast<const TPngImage*>(&Graphic);
  if (w <= 0 || h <= 0 || (!bmp && !png)) return nullptr;
  auto dib = std::make_unique<qorb::gdi::TDib>(w, h);
  if (!dib->Valid()) return nullptr;
  if (bmp) {
    const bool is32 = bmp->PixelFormat() == pf32bit;
    const bool alpha = is32 && bmp->AlphaFormat() == afDefined;
    const int step = is32 ? 4 : 3;
    for (int y = 0; y < h; ++y) {
      const uint8_t* src = bmp->ScanLine(y);
      uint32_t* dst = dib->Row(y);
      for (int x = 0; x < w; ++x, src += step)
        dst[x] = alpha ? Premultiply(src[0], src[1], src[2], src[3]) : Opaque(src[0], src[1], src[2]);
    }
    return dib;
  }
  const bool alpha = png->HasAlpha();
  for (int y = 0; y < h; ++y) {
    const uint8_t* src = png->RgbaRow(y);
    uint32_t* dst = dib->Row(y);
    for (int x = 0; x < w; ++x, src += 4)
      dst[x] = alpha ? Premultiply(src[2], src[1], src[0], src[3]) : Opaque(src[2], src[1], src[0]);
  }
  return dib;
}

void PaintThrough(TBitmap& Bitmap, const TRect& Region, const qorb::gdi::TDib& Mask, TColor Color) {
  if (!Mask.Valid()) return;
  const auto rgb = static_cast<uint32_t>(ColorToRGB(Color));
  const uint32_t colour[3] = {rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF};  // blue first, as stored
  const bool is32 = Bitmap.PixelFormat() == pf32bit;
  const bool alpha = is32 && Bitmap.AlphaFormat() == afDefined;
  const int step = is32 ? 4 : 3;
  for (int y = 0; y < Region.Height(); ++y) {
    const uint32_t* cover = Mask.Row(y);
    uint8_t* d = Bitmap.ScanLine(Region.Top + y) + static_cast<ptrdiff_t>(Region.Left) * step;
    for (int x = 0; x < Region.Width(); ++x, d += step) {
      const uint32_t m = cover[x];
      const uint32_t c = std::max({m & 0xFF, m >> 8 & 0xFF, m >> 16 & 0xFF});
      if (c == 0) continue;
      if (!alpha) {
        for (int i = 0; i < 3; ++i) d[i] = static_cast<uint8_t>((colour[i] * c + d[i] * (255 - c) + 127) / 255);
        if (is32) d[3] = 255;
        continue;
      }
      // Colour at coverage c over the pixel, both straight: alpha and the
      // alpha-weighted colours add, scaled here by 255.
      const uint32_t a = d[3];
      const uint32_t weight = c * 255 + a * (255 - c);
      for (int i = 0; i < 3; ++i)
        d[i] = static_cast<uint8_t>((colour[i] * c * 255 + d[i] * a * (255 - c) + weight / 2) / weight);
      d[3] = static_cast<uint8_t>((weight + 127) / 255);
    }
  }
}
