#pragma once
// A PNG picture: decoded to straight-alpha RGBA when loaded, encoded again
// when saved.
#include <cstdint>
#include <string_view>

#include "vcl/Graphic.h"
#include "vcl/PngPixels.h"

class TBitmap;
class TMemoryStream;

class EPNGError : public EInvalidGraphic {
 public:
  using EInvalidGraphic::EInvalidGraphic;
};

class TPngImage : public TGraphic {
 public:
  int Width() const override { return static_cast<int>(pixels_.width); }
  int Height() const override { return static_cast<int>(pixels_.height); }
  // The pixels carry their own transparency (an alpha channel or tRNS).
  bool HasAlpha() const { return pixels_.hasAlpha; }
  // Row Row (0 is the top): Width pixels of R, G, B, A, alpha straight.
  // A row outside the image raises EInvalidGraphicOperation.
  const uint8_t* RgbaRow(int Row) const;

  // Decodes the bytes from the stream's position to its end and moves the
  // position to the end. Data that is not a whole PNG raises EPNGError and
  // leaves the image as it was.
  void LoadFromStream(TMemoryStream& Stream);
  // Writes the image as PNG at the stream's position; an empty image
  // raises EPNGError.
  void SaveToStream(TMemoryStream& Stream) const;
  void LoadFromFile(std::u16string_view FileName);
  void SaveToFile(std::u16string_view FileName) const;

  // From a TPngImage: a copy. From a TBitmap: its pixels, with alpha when it
  // is a 32-bit bitmap with alpha defined, opaque otherwise.
  void Assign(const TPersistent& Source) override;

 private:
  void AssignBitmap(const TBitmap& Source);

  PngPixels pixels_;
};

// Writes a bitmap as a PNG file (the pictures the IDE writes).
void SavePngFile(const TBitmap& Bitmap, std::u16string_view FileName);
