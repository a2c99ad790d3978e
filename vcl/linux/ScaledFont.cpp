#include "vcl/linux/ScaledFont.h"

#include <cmath>
#include <string>

#include "vcl/Font.h"

namespace {

// The em size Windows would use when nothing is given.
constexpr double kDefaultEm = 12.0;

CairoScaledFontPtr MakeScaledFont(cairo_font_face_t* face, double em) {
  cairo_matrix_t fontMatrix, ctm;
  cairo_matrix_init_scale(&fontMatrix, em, em);
  cairo_matrix_init_identity(&ctm);
  CairoFontOptionsPtr options(cairo_font_options_create());
  cairo_font_options_set_antialias(options.get(), CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_ON);
  CairoScaledFontPtr font(cairo_scaled_font_create(face, &fontMatrix, &ctm, options.get()));
  if (cairo_scaled_font_status(font.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return font;
}

}  // namespace

TScaledFont::TScaledFont(const TFont& Font) {
  const std::string family = Font.Name().ToUtf8();
  CairoFontFacePtr face(cairo_toy_font_face_create(
      family.c_str(), Font.Style().Contains(fsItalic) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
      Font.Style().Contains(fsBold) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL));
  if (cairo_font_face_status(face.get()) != CAIRO_STATUS_SUCCESS) return;

  // A negative height is the em; a positive one the cell (ascent plus
  // descent), which is scaled from the face's own proportions.
  const int h = Font.Height();
  em_ = h < 0 ? -static_cast<double>(h) : kDefaultEm;
  if (h > 0) {
    if (CairoScaledFontPtr unit = MakeScaledFont(face.get(), 100.0)) {
      cairo_font_extents_t fe;
      cairo_scaled_font_extents(unit.get(), &fe);
      const double cell = fe.ascent + fe.descent;
      em_ = cell > 0 ? h * 100.0 / cell : h;
    }
  }
  font_ = MakeScaledFont(face.get(), em_);
  if (!font_) return;
  cairo_font_extents_t fe;
  cairo_scaled_font_extents(font_.get(), &fe);
  ascent_ = static_cast<int>(std::lround(fe.ascent));
  descent_ = static_cast<int>(std::lround(fe.descent));
}

int TScaledFont::Width(std::string_view Utf8) const {
  if (!font_ || Utf8.empty()) return 0;
  const std::string text(Utf8);  // Cairo wants a terminating zero
  cairo_text_extents_t te;
  cairo_scaled_font_text_extents(font_.get(), text.c_str(), &te);
  return static_cast<int>(std::lround(te.x_advance));
}
