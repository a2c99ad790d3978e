#pragma once
// What the canvas leaves to the platform's graphics library: text in a
// font, pictures scaled and blended, slanted lines. Each draws onto a
// bitmap only inside Region (bitmap pixels, already cut to the bitmap and
// the clip) and writes back only the pixels the drawing changed, so that
// untouched ones stay exact whatever their alpha. Positions are bitmap
// pixels in 64 bits: they may lie far outside the bitmap.
#include <cstdint>
#include <memory>
#include <string_view>

#include "vcl/Colors.h"
#include "vcl/Types.h"

class TBitmap;
class TFont;
class TGraphic;

namespace qorb::raster {

struct TBox {
  int64_t Left, Top, Right, Bottom;
};

// A TFont made concrete by the platform's font machinery, for one drawing.
class TFontFace {
 public:
  explicit TFontFace(const TFont& Font);
  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  // Advance width and cell height (ascent plus descent); the height is the
  // same for every text.
  TSize Extent(std::u16string_view Text) const;
  // How far ink may reach outside the text's cell (italics, overhangs).
  int Overhang() const noexcept;
  // The top left of the text's cell at (X, Y), in the font's colour, with
  // the underline and strike-out its style asks for.
  void Draw(TBitmap& Bitmap, const TRect& Region, int64_t X, int64_t Y, std::u16string_view Text) const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// Graphic (a TBitmap or TPngImage) scaled to fill Dest, blended by its
// alpha where it counts (see TCanvas::Draw); other kinds draw nothing.
void Picture(TBitmap& Bitmap, const TRect& Region, const TBox& Dest, const TGraphic& Graphic);

// A slanted line Width pixels wide from (X0, Y0) up to, not including,
// (X1, Y1).
void Line(TBitmap& Bitmap, const TRect& Region, int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, int Width,
          TColor Color);

}  // namespace qorb::raster
