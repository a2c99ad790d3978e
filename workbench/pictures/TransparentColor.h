#pragma once
// Drawing a bitmap with a transparent colour, as the IDE draws a bitmap an
// add-in hands it (the splash screen's and the About box's pictures come on
// magenta for that reason).
#include <cstdint>
#include <memory>

class TBitmap;

inline constexpr uint32_t LogoTransparentRgb = 0xFF00FF;

// A 32-bit copy of Bitmap in which each pixel of colour Rgb (0xRRGGBB) is
// fully transparent; other pixels keep their colour and alpha.
std::unique_ptr<TBitmap> WithTransparentColor(const TBitmap& Bitmap, uint32_t Rgb);
