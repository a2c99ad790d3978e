#include <algorithm>

#include "vcl/Bitmap.h"
#include "vcl/Font.h"
#include "vcl/Raster.h"
#include "vcl/windows/DibTarget.h"

namespace qorb::raster {
namespace {

qorb::gdi::TFontSpec SpecOf(const TFont& Font) {
  const TFontStyles s = Font.Style();
  return {Font.Name().c_str(),  Font.Height(),          s.Contains(fsBold),
          s.Contains(fsItalic), s.Contains(fsUnderline), s.Contains(fsStrikeOut)};
}

int LengthOf(std::u16string_view Text) { return static_cast<int>(std::min<size_t>(Text.size(), INT32_MAX)); }

}  // namespace

struct TFontFace::TImpl {
  explicit TImpl(const TFont& Font) : Gdi(SpecOf(Font)), Color(Font.Color()) {}
  qorb::gdi::TGdiFont Gdi;
  TColor Color;
};

TFontFace::TFontFace(const TFont& Font) : impl_(std::make_unique<TImpl>(Font)) {}

TFontFace::~TFontFace() = default;

TSize TFontFace::Extent(std::u16string_view Text) const {
  return {impl_->Gdi.Width(Text.data(), LengthOf(Text)), impl_->Gdi.Height()};
}

int TFontFace::Overhang() const noexcept { return (impl_->Gdi.Height() + 1) / 2 + 2; }

void TFontFace::Draw(TBitmap& Bitmap, const TRect& Region, int64_t X, int64_t Y, std::u16string_view Text) const {
  if (Text.empty() || !impl_->Gdi.Valid()) return;
  qorb::gdi::TDib mask(Region.Width(), Region.Height());
  // The region lies within the text's cell and overhang, so these are small.
  const auto x = static_cast<int>(X - Region.Left);
  const auto y = static_cast<int>(Y - Region.Top);
  if (impl_->Gdi.Coverage(mask, x, y, Text.data(), LengthOf(Text))) PaintThrough(Bitmap, Region, mask, impl_->Color);
}

}  // namespace qorb::raster
