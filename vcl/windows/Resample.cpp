#include "vcl/windows/Resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// What one target pixel takes along one axis: source pixels from First on,
// with their weights, which add up to 1.
struct TTaps {
  int First = 0;
  std::vector<float> Weights;
};

// A tent around the target pixel's centre in source coordinates, as wide as
// one target pixel covers when reducing and one source pixel when enlarging.
// Beyond the edges the edge pixel stands in.
std::vector<TTaps> TapsFor(int SourceSize, int TargetSize) {
  const double scale = static_cast<double>(SourceSize) / TargetSize;
  const double radius = std::max(1.0, scale);
  std::vector<TTaps> taps(static_cast<size_t>(TargetSize));
  for (int d = 0; d < TargetSize; ++d) {
    const double centre = (d + 0.5) * scale;
    const int from = static_cast<int>(std::floor(centre - radius));
    const int to = static_cast<int>(std::ceil(centre + radius));
    TTaps& t = taps[static_cast<size_t>(d)];
    t.First = std::clamp(from, 0, SourceSize - 1);
    t.Weights.assign(static_cast<size_t>(std::clamp(to, 0, SourceSize - 1) - t.First + 1), 0.0f);
    double sum = 0;
    for (int i = from; i <= to; ++i) {
      const double w = 1.0 - std::abs(i + 0.5 - centre) / radius;
      if (w <= 0) continue;
      t.Weights[static_cast<size_t>(std::clamp(i, 0, SourceSize - 1) - t.First)] += static_cast<float>(w);
      sum += w;
    }
    for (float& w : t.Weights) w = static_cast<float>(w / sum);
  }
  return taps;
}

using TPixel = std::array<float, 4>;

TPixel Channels(uint32_t p) {
  return {static_cast<float>(p & 0xFF), static_cast<float>((p >> 8) & 0xFF), static_cast<float>((p >> 16) & 0xFF),
          static_cast<float>(p >> 24)};
}

// The pixels one target pixel takes along one axis, weighed;
// PixelAt(i) is source pixel i along that axis.
template <class TPixelAt>
TPixel Filtered(const TTaps& Taps, TPixelAt PixelAt) {
  TPixel sum{};
  for (size_t k = 0; k < Taps.Weights.size(); ++k) {
    const TPixel c = PixelAt(Taps.First + static_cast<int>(k));
    for (size_t i = 0; i < 4; ++i) sum[i] += c[i] * Taps.Weights[k];
  }
  return sum;
}

uint32_t Packed(const TPixel& c) {
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i)
    out |= static_cast<uint32_t>(std::clamp(std::lround(c[static_cast<size_t>(i)]), 0L, 255L)) << (8 * i);
  return out;
}

}  // namespace

std::unique_ptr<qorb::gdi::TDib> Resampled(const qorb::gdi::TDib& Source, int Width, int Height) {
  // Icons, logos and washes; anything near this is a drawing gone wrong.
  constexpr int64_t kMostPixels = int64_t{1} << 24;
  const int sw = Source.Width(), sh = Source.Height();
  if (Width <= 0 || Height <= 0 || sw <= 0 || sh <= 0 || int64_t{Width} * Height > kMostPixels ||
      int64_t{Width} * sh > kMostPixels)
    return nullptr;
  auto target = std::make_unique<qorb::gdi::TDib>(Width, Height);
  if (!target->Valid()) return nullptr;
  const std::vector<TTaps> across = TapsFor(sw, Width);
  const std::vector<TTaps> down = TapsFor(sh, Height);

  // Rows first, into a buffer Width wide and sh high; then columns.
  std::vector<TPixel> rows(static_cast<size_t>(Width) * static_cast<size_t>(sh));
  for (int y = 0; y < sh; ++y) {
    const uint32_t* src = Source.Row(y);
    for (int x = 0; x < Width; ++x)
      rows[static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x)] =
          Filtered(across[static_cast<size_t>(x)], [src](int i) { return Channels(src[i]); });
  }
  for (int y = 0; y < Height; ++y) {
    uint32_t* dst = target->Row(y);
    for (int x = 0; x < Width; ++x)
      dst[x] = Packed(Filtered(down[static_cast<size_t>(y)], [&rows, Width, x](int i) {
        return rows[static_cast<size_t>(i) * static_cast<size_t>(Width) + static_cast<size_t>(x)];
      }));
  }
  return target;
}
