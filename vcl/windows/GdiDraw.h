#pragma once
// GDI behind plain types: the files that implement our declarations include
// our own Windows headers, which cannot meet the system's windows.h in one
// translation unit. Pixels are 0xAARRGGBB words, rows top down.
#include <cstdint>
#include <memory>

namespace qorb::gdi {

// A 32-bit DIB section selected into a memory DC of its own; its pixels
// start out zero. Not Valid when the system could not make it.
class TDib {
 public:
  TDib(int Width, int Height);
  ~TDib();
  TDib(const TDib&) = delete;
  TDib& operator=(const TDib&) = delete;

  bool Valid() const noexcept { return impl_ != nullptr; }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  // Waits for GDI's queued drawing before the pixels are read or written.
  uint32_t* Row(int Y) const noexcept;

 private:
  friend class TGdiFont;
  friend bool Blend(TDib&, int, int, int, int, const TDib&);
  friend bool Line(TDib&, int, int, int, int, int);
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
  int width_ = 0;
  int height_ = 0;
};

struct TFontSpec {
  const char16_t* Face;
  int Height;  // negative: the em; positive: the cell; 0: the default
  bool Bold, Italic, Underline, StrikeOut;
};

// A font the system made for a description, gray-smoothed (never sub-pixel
// colour), with a DC of its own to measure in.
class TGdiFont {
 public:
  explicit TGdiFont(const TFontSpec& Spec);
  ~TGdiFont();
  TGdiFont(const TGdiFont&) = delete;
  TGdiFont& operator=(const TGdiFont&) = delete;

  bool Valid() const noexcept { return impl_ != nullptr; }
  // Ascent plus descent.
  int Height() const noexcept;
  int Width(const char16_t* Text, int Length) const noexcept;
  // The glyphs' coverage as white on Mask, the top left of the text's cell
  // at (X, Y), underline and strike-out included.
  bool Coverage(TDib& Mask, int X, int Y, const char16_t* Text, int Length) const noexcept;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// Source scaled onto (X, Y, W, H) of Target, both premultiplied, by
// AlphaBlend: source over target, nearest pixel when scaled.
bool Blend(TDib& Target, int X, int Y, int W, int H, const TDib& Source);

// A white line Width pixels wide on Mask from (X0, Y0) up to, not
// including, (X1, Y1), as a GDI pen draws it (flat ends when wide).
bool Line(TDib& Mask, int X0, int Y0, int X1, int Y1, int Width);

}  // namespace qorb::gdi
