#include <initializer_list>
#include <memory>
#include <utility>

#include "vcl/Bitmap.h"
#include "vcl/Raster.h"
#include "vcl/windows/DibTarget.h"
#include "vcl/windows/Resample.h"

namespace qorb::raster {
namespace {

// GDI keeps coordinates in 27 bits; what reaches past that is not drawn.
constexpr int64_t kReach = int64_t{1} << 26;

bool InReach(std::initializer_list<int64_t> Values) {
  for (int64_t v : Values)
    if (v < -kReach || v > kReach) return false;
  return true;
}

}  // namespace

void Picture(TBitmap& Bitmap, const TRect& Region, const TBox& Dest, const TGraphic& Graphic) {
  const int64_t x = Dest.Left - Region.Left, y = Dest.Top - Region.Top;
  const int64_t w = Dest.Right - Dest.Left, h = Dest.Bottom - Dest.Top;
  if (!InReach({x, y, w, h, x + w, y + h})) return;
  std::unique_ptr<qorb::gdi::TDib> source = DibOfGraphic(Graphic);
  if (!source) return;
  if (w != source->Width() || h != source->Height()) {
    if (std::unique_ptr<qorb::gdi::TDib> scaled = Resampled(*source, static_cast<int>(w), static_cast<int>(h)))
      source = std::move(scaled);
  }
  TDibTarget target(Bitmap, Region);
  qorb::gdi::Blend(target.Dib(), static_cast<int>(x), static_cast<int>(y), static_cast<int>(w),
                   static_cast<int>(h), *source);
}

void Line(TBitmap& Bitmap, const TRect& Region, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, int Width,
          TColor Color) {
  const int64_t x0 = X0 - Region.Left, y0 = Y0 - Region.Top, x1 = X1 - Region.Left, y1 = Y1 - Region.Top;
  if (!InReach({x0, y0, x1, y1, Width})) return;
  qorb::gdi::TDib mask(Region.Width(), Region.Height());
  if (qorb::gdi::Line(mask, static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1),
                      Width))
    PaintThrough(Bitmap, Region, mask, Color);
}

}  // namespace qorb::raster
