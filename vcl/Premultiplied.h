#pragma once
// Pixels as the drawing libraries take them: 0xAARRGGBB words with alpha
// premultiplied (Cairo's ARGB32 and GDI's AlphaBlend agree on this), to
// and from the straight B, G, R, A bytes our bitmaps keep.
#include <cstdint>
#include <cstring>

inline uint32_t Premultiply(uint8_t b, uint8_t g, uint8_t r, uint8_t a) noexcept {
  auto mul = [a](uint8_t c) -> uint32_t { return (uint32_t{c} * a + 127) / 255; };
  return (uint32_t{a} << 24) | (mul(r) << 16) | (mul(g) << 8) | mul(b);
}

inline uint32_t Opaque(uint8_t b, uint8_t g, uint8_t r) noexcept {
  return 0xFF000000u | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

// Premultiplied back to straight; a fully transparent pixel has no colour.
inline void Unpremultiply(uint32_t p, uint8_t* bgra) noexcept {
  const uint32_t a = p >> 24;
  if (a == 0) {
    std::memset(bgra, 0, 4);
    return;
  }
  auto un = [a](uint32_t c) -> uint8_t {
    const uint32_t v = (c * 255 + a / 2) / a;
    return static_cast<uint8_t>(v > 255 ? 255 : v);
  };
  bgra[0] = un(p & 0xFF);
  bgra[1] = un((p >> 8) & 0xFF);
  bgra[2] = un((p >> 16) & 0xFF);
  bgra[3] = static_cast<uint8_t>(a);
}
