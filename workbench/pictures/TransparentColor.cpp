#include "workbench/pictures/TransparentColor.h"

#include "vcl/Bitmap.h"

std::unique_ptr<TBitmap> WithTransparentColor(const TBitmap& Bitmap, uint32_t Rgb) {
  auto keyed = std::make_unique<TBitmap>();
  keyed->SetPixelFormat(pf32bit);
  keyed->SetAlphaFormat(afDefined);
  keyed->SetSize(Bitmap.Width(), Bitmap.Height());
  const bool hasAlpha = Bitmap.PixelFormat() == pf32bit && Bitmap.AlphaFormat() == afDefined;
  const int from = Bitmap.PixelFormat() == pf32bit ? 4 : 3;
  const uint8_t blue = Rgb & 0xFF, green = (Rgb >> 8) & 0xFF, red = (Rgb >> 16) & 0xFF;
  for (int y = 0; y < Bitmap.Height(); ++y) {
    const uint8_t* in = Bitmap.ScanLine(y);
    uint8_t* out = keyed->ScanLine(y);
    for (int x = 0; x < Bitmap.Width(); ++x, in += from, out += 4) {
      // Blue, green, red, alpha: straight alpha.
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
      const bool key = in[0] == blue && in[1] == green && in[2] == red;
      out[3] = key ? 0 : hasAlpha ? in[3] : 0xFF;
    }
  }
  return keyed;
}
