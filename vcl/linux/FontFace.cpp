#include <algorithm>
#include <cmath>
#include <string>

#include "vcl/Bitmap.h"
#include "vcl/Font.h"
#include "vcl/Raster.h"
#include "vcl/linux/CairoTarget.h"
#include "vcl/linux/ScaledFont.h"

namespace qorb::raster {

struct TFontFace::TImpl {
  explicit TImpl(const TFont& Font) : Scaled(Font), Style(Font.Style()), Color(Font.Color()) {}
  TScaledFont Scaled;
  TFontStyles Style;
  TColor Color;
};

TFontFace::TFontFace(const TFont& Font) : impl_(std::make_unique<TImpl>(Font)) {}

TFontFace::~TFontFace() = default;

TSize TFontFace::Extent(std::u16string_view Text) const {
  return {impl_->Scaled.Width(Utf16ToUtf8(Text)), impl_->Scaled.Height()};
}

int TFontFace::Overhang() const noexcept { return static_cast<int>(std::ceil(impl_->Scaled.EmSize() / 2)) + 2; }

void TFontFace::Draw(TBitmap& Bitmap, const TRect& Region, int64_t X, int64_t Y, std::u16string_view Text) const {
  const TScaledFont& font = impl_->Scaled;
  const std::string utf8 = Utf16ToUtf8(Text);
  if (utf8.empty() || !font.get()) return;
  TCairoTarget target(Bitmap, Region);
  cairo_t* cr = target.Context();
  if (!cr) return;
  const int w = font.Width(utf8);
  const double left = static_cast<double>(X);
  const double baseline = static_cast<double>(Y) + font.Ascent();
  const auto rgb = static_cast<uint32_t>(ColorToRGB(impl_->Color));
  cairo_set_scaled_font(cr, font.get());
  cairo_set_source_rgb(cr, (rgb & 0xFF) / 255.0, (rgb >> 8 & 0xFF) / 255.0, (rgb >> 16 & 0xFF) / 255.0);
  cairo_move_to(cr, left, baseline);
  cairo_show_text(cr, utf8.c_str());
  const TFontStyles style = impl_->Style;
  if (style.Contains(fsUnderline) || style.Contains(fsStrikeOut)) {
    const double thickness = std::max(1.0, std::round(font.EmSize() / 14));
    if (style.Contains(fsUnderline)) cairo_rectangle(cr, left, baseline + thickness, w, thickness);
    if (style.Contains(fsStrikeOut))
      cairo_rectangle(cr, left, std::round(baseline - font.Ascent() * 0.3), w, thickness);
    cairo_fill(cr);
  }
}

}  // namespace qorb::raster
