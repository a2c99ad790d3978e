#include "vcl/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "rtl/Format.h"
#include "vcl/PngImage.h"

struct TBitmap::Pixels {
  unique_hbitmap handle;
  uint8_t* bits = nullptr;
  int stride = 0;
};

namespace {

int BytesPerPixel(TPixelFormat f) { return f == pf32bit ? 4 : 3; }

// Copies Count pixels between rows of either format; 24 to 32 bits makes the
// pixels opaque.
void CopyPixels(const uint8_t* src, TPixelFormat srcFormat, uint8_t* dst, TPixelFormat dstFormat, int count) {
  if (srcFormat == dstFormat) {
    std::memcpy(dst, src, static_cast<size_t>(count) * BytesPerPixel(srcFormat));
    return;
  }
  const int sStep = BytesPerPixel(srcFormat);
  const int dStep = BytesPerPixel(dstFormat);
  for (int x = 0; x < count; ++x, src += sStep, dst += dStep) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
    if (dstFormat == pf32bit) dst[3] = 255;
  }
}

}  // namespace

TBitmap::Pixels TBitmap::Allocate(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  Pixels p;
  if (AWidth < 0 || AHeight < 0)
    throw EInvalidGraphicOperation(Format(u"Invalid bitmap size %d by %d", {AWidth, AHeight}));
  if (AWidth == 0 || AHeight == 0) return p;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = AWidth;
  info.bmiHeader.biHeight = -AHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = static_cast<WORD>(BytesPerPixel(APixelFormat) * 8);
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  p.handle.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!p.handle) throw EInvalidGraphicOperation(Format(u"Cannot create a %d by %d bitmap", {AWidth, AHeight}));
  BITMAP bm{};
  GetObjectW(p.handle.get(), sizeof bm, &bm);
  p.bits = static_cast<uint8_t*>(bits);
  p.stride = bm.bmWidthBytes;
  return p;
}

void TBitmap::Adopt(Pixels&& Fresh, int AWidth, int AHeight, TPixelFormat APixelFormat) {
  handle_ = std::move(Fresh.handle);
  bits_ = Fresh.bits;
  stride_ = Fresh.stride;
  width_ = AWidth;
  height_ = AHeight;
  pixelFormat_ = APixelFormat;
}

void TBitmap::Reshape(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  Pixels fresh = Allocate(AWidth, AHeight, APixelFormat);
  if (fresh.bits && bits_) {
    const int rows = std::min(AHeight, height_);
    const int cols = std::min(AWidth, width_);
    for (int y = 0; y < rows; ++y)
      CopyPixels(bits_ + static_cast<size_t>(y) * stride_, pixelFormat_,
                 fresh.bits + static_cast<size_t>(y) * fresh.stride, APixelFormat, cols);
  }
  Adopt(std::move(fresh), AWidth, AHeight, APixelFormat);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  if (AWidth == width_ && AHeight == height_) return;
  Reshape(AWidth, AHeight, pixelFormat_);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == pixelFormat_) return;
  Reshape(width_, height_, Value);
}

uint8_t* TBitmap::ScanLine(int Row) {
  return const_cast<uint8_t*>(static_cast<const TBitmap*>(this)->ScanLine(Row));
}

const uint8_t* TBitmap::ScanLine(int Row) const {
  if (!bits_ || Row < 0 || Row >= height_)
    throw EInvalidGraphicOperation(Format(u"Scan line index %d out of range", {Row}));
  return bits_ + static_cast<size_t>(Row) * stride_;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == handle_.get()) return;
  if (!Value) {
    Adopt(Pixels{}, 0, 0, pixelFormat_);
    return;
  }
  BITMAP bm{};
  if (GetObjectW(Value, sizeof bm, &bm) != sizeof bm || (bm.bmBitsPixel != 24 && bm.bmBitsPixel != 32))
    throw EInvalidGraphic(UnicodeString(u"Invalid bitmap handle"));
  Pixels adopted;
  adopted.handle.reset(Value);
  adopted.bits = static_cast<uint8_t*>(bm.bmBits);
  adopted.stride = bm.bmWidthBytes;
  Adopt(std::move(adopted), bm.bmWidth, bm.bmHeight, bm.bmBitsPixel == 32 ? pf32bit : pf24bit);
}

HBITMAP TBitmap::ReleaseHandle() {
  HBITMAP h = handle_.release();
  Adopt(Pixels{}, 0, 0, pixelFormat_);
  return h;
}

void TBitmap::Assign(const TPersistent& Source) {
  if (&Source == this) return;
  if (const auto* png = dynamic_cast<const TPngImage*>(&Source)) {
    AssignPng(*png);
    return;
  }
  const auto* src = dynamic_cast<const TBitmap*>(&Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  Pixels fresh = Allocate(src->width_, src->height_, src->pixelFormat_);
  if (fresh.bits) {
    const size_t rowBytes = static_cast<size_t>(src->width_) * BytesPerPixel(src->pixelFormat_);
    for (int y = 0; y < src->height_; ++y)
      std::memcpy(fresh.bits + static_cast<size_t>(y) * fresh.stride,
                  src->bits_ + static_cast<size_t>(y) * src->stride_, rowBytes);
  }
  Adopt(std::move(fresh), src->width_, src->height_, src->pixelFormat_);
  alphaFormat_ = src->alphaFormat_;
}

void TBitmap::AssignPng(const TPngImage& Source) {
  const TPixelFormat format = Source.HasAlpha() ? pf32bit : pf24bit;
  const int w = Source.Width();
  const int h = Source.Height();
  Pixels fresh = Allocate(w, h, format);
  for (int y = 0; fresh.bits && y < h; ++y) {
    const uint8_t* s = Source.RgbaRow(y);
    uint8_t* d = fresh.bits + static_cast<size_t>(y) * fresh.stride;
    for (int x = 0; x < w; ++x, s += 4) {
      *d++ = s[2];
      *d++ = s[1];
      *d++ = s[0];
      if (format == pf32bit) *d++ = s[3];
    }
  }
  Adopt(std::move(fresh), w, h, format);
  alphaFormat_ = Source.HasAlpha() ? afDefined : afIgnored;
}
