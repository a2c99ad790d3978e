#pragma once
// A TFont made concrete for Cairo: the face that fontconfig picks for its
// name and style, at its pixel size, with integer (hinted) metrics so that
// measuring is exact and repeatable.
#include <string_view>

#include "vcl/linux/CairoPtr.h"

class TFont;

class TScaledFont {
 public:
  explicit TScaledFont(const TFont& Font);

  // Null when Cairo could not make the font; measurements are then 0.
  cairo_scaled_font_t* get() const noexcept { return font_.get(); }
  // Pixels above and below the baseline; their sum is the text height.
  int Ascent() const noexcept { return ascent_; }
  int Descent() const noexcept { return descent_; }
  int Height() const noexcept { return ascent_ + descent_; }
  double EmSize() const noexcept { return em_; }
  // Advance width of UTF-8 text, rounded to pixels.
  int Width(std::string_view Utf8) const;

 private:
  CairoScaledFontPtr font_;
  double em_ = 0;
  int ascent_ = 0;
  int descent_ = 0;
};
