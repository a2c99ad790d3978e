#pragma once
// A device-independent bitmap whose pixels live in a GDI bitmap handle:
// rows top down, bytes B,G,R (24 bits) or B,G,R,A (32 bits), alpha straight,
// never premultiplied. Drawing converts to premultiplied copies as needed.
#include <cstdint>

#include "vcl/Graphic.h"
#include "winapi/Gdi.h"

class TPngImage;

enum TPixelFormat { pf24bit, pf32bit };

// Whether drawing a 32-bit bitmap honours its alpha bytes.
enum TAlphaFormat { afIgnored, afDefined };

class TBitmap : public TGraphic {
 public:
  TBitmap() = default;
  TBitmap(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void SetWidth(int Value) { SetSize(Value, height_); }
  void SetHeight(int Value) { SetSize(width_, Value); }
  // Keeps the pixels both sizes share; new pixels are zero (black, and
  // transparent in a 32-bit bitmap). With a side of 0 the bitmap is empty
  // and has no handle. A negative side, or a size beyond memory, raises
  // EInvalidGraphicOperation and leaves the bitmap as it was.
  void SetSize(int AWidth, int AHeight);

  TPixelFormat PixelFormat() const { return pixelFormat_; }
  // Converts the pixels: 32 to 24 bits drops alpha, 24 to 32 makes every
  // pixel opaque.
  void SetPixelFormat(TPixelFormat Value);
  TAlphaFormat AlphaFormat() const { return alphaFormat_; }
  void SetAlphaFormat(TAlphaFormat Value) { alphaFormat_ = Value; }

  // Row Row (0 is the top) of the pixels in the handle. A row outside the
  // bitmap raises EInvalidGraphicOperation.
  uint8_t* ScanLine(int Row);
  const uint8_t* ScanLine(int Row) const;
  // Bytes from the start of one row to the next.
  int ScanLineStride() const { return stride_; }

  // The handle that holds the pixels, owned by the bitmap; null when empty.
  HBITMAP Handle() const { return handle_.get(); }
  // Takes ownership of a live 24 or 32-bit bitmap handle; null empties the
  // bitmap. Any other handle raises EInvalidGraphic and stays the caller's.
  void SetHandle(HBITMAP Value);
  // Hands the handle to the caller, who deletes it (DeleteObject). The
  // bitmap is empty afterwards; its pixel and alpha formats stay.
  HBITMAP ReleaseHandle();

  // From a TBitmap: a copy of its pixels and formats. From a TPngImage: a
  // 32-bit bitmap with alpha defined when the image carries transparency,
  // otherwise a 24-bit one with alpha ignored. Others raise EConvertError.
  void Assign(const TPersistent& Source) override;

 private:
  struct Pixels;
  static Pixels Allocate(int AWidth, int AHeight, TPixelFormat APixelFormat);
  void Adopt(Pixels&& Fresh, int AWidth, int AHeight, TPixelFormat APixelFormat);
  void Reshape(int AWidth, int AHeight, TPixelFormat APixelFormat);
  void AssignPng(const TPngImage& Source);

  unique_hbitmap handle_;
  uint8_t* bits_ = nullptr;
  int stride_ = 0;
  int width_ = 0;
  int height_ = 0;
  TPixelFormat pixelFormat_ = pf32bit;
  TAlphaFormat alphaFormat_ = afIgnored;
};
