#pragma once
// GDI drawing onto part of a bitmap. As with Cairo on Linux, the region is
// copied into a premultiplied DIB (or an opaque one, for bitmaps whose alpha
// is not defined), drawn on, and only the pixels the drawing changed are
// written back, so untouched pixels survive exactly.
#include <cstdint>
#include <memory>
#include <vector>

#include "vcl/Colors.h"
#include "vcl/Types.h"
#include "vcl/windows/GdiDraw.h"

class TBitmap;
class TGraphic;

class TDibTarget {
 public:
  // Region in bitmap pixels, inside the bitmap.
  TDibTarget(TBitmap& Bitmap, const TRect& Region);
  ~TDibTarget();
  TDibTarget(const TDibTarget&) = delete;
  TDibTarget& operator=(const TDibTarget&) = delete;

  // Its (0, 0) is the region's top left.
  qorb::gdi::TDib& Dib() noexcept { return dib_; }

 private:
  TBitmap& bitmap_;
  TRect region_;
  bool alpha_ = false;
  qorb::gdi::TDib dib_;
  std::vector<uint32_t> before_;
};

// A TBitmap or TPngImage as a premultiplied DIB (opaque when its alpha does
// not count). Null for an empty picture or one of another kind.
std::unique_ptr<qorb::gdi::TDib> DibOfGraphic(const TGraphic& Graphic);

// GDI's text and lines clear the alpha byte of what they touch, so they are
// drawn white on black into Mask, and their coverage lays Color over the
// region of Bitmap: straight alpha composited, only covered pixels touched.
void PaintThrough(TBitmap& Bitmap, const TRect& Region, const qorb::gdi::TDib& Mask, TColor Color);
