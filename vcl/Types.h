#pragma once
// Points, sizes and rectangles in pixels. A rectangle holds its left and top
// edges and excludes its right and bottom ones.
#include <algorithm>
#include <cstdint>

struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;

  int32_t Width() const noexcept { return Right - Left; }
  int32_t Height() const noexcept { return Bottom - Top; }
  bool IsEmpty() const noexcept { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint P) const noexcept { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
  TRect Offset(int32_t DX, int32_t DY) const noexcept { return {Left + DX, Top + DY, Right + DX, Bottom + DY}; }
  // The common part; empty rectangles come back as all zeros.
  static TRect Intersect(const TRect& A, const TRect& B) noexcept {
    TRect r{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
            std::min(A.Bottom, B.Bottom)};
    return r.IsEmpty() ? TRect{} : r;
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int32_t X, int32_t Y) noexcept { return {X, Y}; }
inline TRect Rect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) noexcept {
  return {Left, Top, Right, Bottom};
}
inline TRect Bounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) noexcept {
  return {Left, Top, Left + Width, Top + Height};
}
