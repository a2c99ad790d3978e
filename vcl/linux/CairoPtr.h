#pragma once
// Owning pointers for Cairo objects (inside the component library only: the
// public headers do not include Cairo).
#include <cairo.h>

#include <memory>

namespace cairo_detail {
struct Deleter {
  void operator()(cairo_t* p) const noexcept { cairo_destroy(p); }
  void operator()(cairo_surface_t* p) const noexcept { cairo_surface_destroy(p); }
  void operator()(cairo_pattern_t* p) const noexcept { cairo_pattern_destroy(p); }
  void operator()(cairo_font_face_t* p) const noexcept { cairo_font_face_destroy(p); }
  void operator()(cairo_scaled_font_t* p) const noexcept { cairo_scaled_font_destroy(p); }
  void operator()(cairo_font_options_t* p) const noexcept { cairo_font_options_destroy(p); }
};
}  // namespace cairo_detail

using CairoPtr = std::unique_ptr<cairo_t, cairo_detail::Deleter>;
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, cairo_detail::Deleter>;
using CairoPatternPtr = std::unique_ptr<cairo_pattern_t, cairo_detail::Deleter>;
using CairoFontFacePtr = std::unique_ptr<cairo_font_face_t, cairo_detail::Deleter>;
using CairoScaledFontPtr = std::unique_ptr<cairo_scaled_font_t, cairo_detail::Deleter>;
using CairoFontOptionsPtr = std::unique_ptr<cairo_font_options_t, cairo_detail::Deleter>;
