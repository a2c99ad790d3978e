#pragma once
// Cairo drawing onto part of a bitmap. The bitmap keeps straight alpha; the
// region is copied into a premultiplied Cairo surface (or an opaque one, for
// bitmaps whose alpha is not defined), drawn on, and only the pixels the
// drawing changed are written back, so untouched pixels survive exactly.
#include <cstdint>
#include <vector>

#include "vcl/linux/CairoPtr.h"
#include "vcl/Types.h"

class TBitmap;
class TGraphic;

class TCairoTarget {
 public:
  // Region in bitmap pixels; it is cut to the bitmap. When nothing is left,
  // Context() is null and nothing is drawn.
  TCairoTarget(TBitmap& Bitmap, const TRect& Region);
  ~TCairoTarget();
  TCairoTarget(const TCairoTarget&) = delete;
  TCairoTarget& operator=(const TCairoTarget&) = delete;

  // User space is bitmap pixels.
  cairo_t* Context() const noexcept { return cr_.get(); }

 private:
  void WriteBack() noexcept;

  TBitmap& bitmap_;
  TRect region_;
  bool alpha_ = false;
  CairoSurfacePtr surface_;
  CairoPtr cr_;
  std::vector<uint32_t> before_;
};

// A picture (TBitmap or TPngImage) as a Cairo surface: premultiplied when
// its alpha is to be honoured, opaque otherwise. Null for an empty picture
// or one of another kind.
CairoSurfacePtr SurfaceOfGraphic(const TGraphic& Graphic);
