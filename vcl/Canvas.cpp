#include "vcl/Canvas.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "vcl/Bitmap.h"
#include "vcl/Raster.h"

namespace {

struct Rgb {
  uint8_t r, g, b;
};

Rgb RgbOf(TColor Color) noexcept {
  const auto c = static_cast<uint32_t>(ColorToRGB(Color));
  return {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16)};
}

}  // namespace

// Rectangles built from caller coordinates are worked out in 64 bits, so
// coordinates far outside any bitmap draw nothing instead of overflowing.
struct TCanvas::Box {
  int64_t l, t, r, b;
  static Box Of(const TRect& R) noexcept { return {R.Left, R.Top, R.Right, R.Bottom}; }
};

TCanvas::TCanvas() = default;

TCanvas::TCanvas(TBitmap& Bitmap) : FOwnContext(std::make_unique<TDeviceContext>()) {
  FOwnContext->Bitmap = &Bitmap;
  FContext = FOwnContext.get();
}

TCanvas::~TCanvas() = default;

void TCanvas::SetHandle(HDC DC) noexcept {
  FContext = DC ? DeviceContextFromHandle(DC) : nullptr;
  if (FContext != FOwnContext.get()) FOwnContext.reset();
}

TRect TCanvas::ClipRect() const noexcept {
  if (!FContext || !FContext->Bitmap) return {};
  const TRect bounds = Rect(0, 0, FContext->Bitmap->Width(), FContext->Bitmap->Height());
  return TRect::Intersect(FContext->Clip, bounds).Offset(-FContext->Origin.X, -FContext->Origin.Y);
}

TDeviceContext& TCanvas::RequireContext() {
  if (!FContext || !FContext->Bitmap) throw EInvalidOperation(u"Canvas does not allow drawing");
  return *FContext;
}

TRect TCanvas::DeviceRect(const TRect& Logical) const noexcept { return DeviceRect(Box::Of(Logical)); }

TRect TCanvas::DeviceRect(const Box& Logical) const noexcept {
  const TRect limit = TRect::Intersect(FContext->Clip, Rect(0, 0, FContext->Bitmap->Width(), FContext->Bitmap->Height()));
  const int64_t ox = FContext->Origin.X, oy = FContext->Origin.Y;
  auto cut = [](int64_t v, int32_t lo, int32_t hi) { return static_cast<int32_t>(std::clamp<int64_t>(v, lo, hi)); };
  const TRect r{cut(Logical.l + ox, limit.Left, limit.Right), cut(Logical.t + oy, limit.Top, limit.Bottom),
                cut(Logical.r + ox, limit.Left, limit.Right), cut(Logical.b + oy, limit.Top, limit.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

// Opaque fills need no graphics library: the pixels are set straight.
void TCanvas::FillDevice(const TRect& Device, TColor Color) {
  if (Device.IsEmpty()) return;
  TBitmap& bmp = *FContext->Bitmap;
  const Rgb c = RgbOf(Color);
  const bool is32 = bmp.PixelFormat() == pf32bit;
  const int step = is32 ? 4 : 3;
  for (int y = Device.Top; y < Device.Bottom; ++y) {
    uint8_t* p = bmp.ScanLine(y) + static_cast<ptrdiff_t>(Device.Left) * step;
    for (int x = Device.Left; x < Device.Right; ++x, p += step) {
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
      if (is32) p[3] = 255;
    }
  }
}

void TCanvas::FillRect(const TRect& Rect) {
  RequireContext();
  if (FBrush.Style() == bsClear) return;
  FillDevice(DeviceRect(Rect), FBrush.Color());
}

void TCanvas::TextOut(int X, int Y, std::u16string_view Text) {
  TDeviceContext& dc = RequireContext();
  const qorb::raster::TFontFace face(FFont);
  const TSize ext = face.Extent(Text);
  if (FBrush.Style() == bsSolid)
    FillDevice(DeviceRect(Box{X, Y, int64_t{X} + ext.cx, int64_t{Y} + ext.cy}), FBrush.Color());
  if (Text.empty()) return;
  const int64_t pad = face.Overhang();
  const TRect region = DeviceRect(Box{X - pad, Y - pad, int64_t{X} + ext.cx + pad, int64_t{Y} + ext.cy + pad});
  if (region.IsEmpty()) return;
  face.Draw(*dc.Bitmap, region, int64_t{X} + dc.Origin.X, int64_t{Y} + dc.Origin.Y, Text);
}

int TCanvas::TextWidth(std::u16string_view Text) const { return TextExtent(Text).cx; }

int TCanvas::TextHeight(std::u16string_view Text) const { return TextExtent(Text).cy; }

TSize TCanvas::TextExtent(std::u16string_view Text) const { return qorb::raster::TFontFace(FFont).Extent(Text); }

void TCanvas::Draw(int X, int Y, const TGraphic& Graphic) {
  DrawScaled(Box{X, Y, int64_t{X} + Graphic.Width(), int64_t{Y} + Graphic.Height()}, Graphic);
}

void TCanvas::StretchDraw(const TRect& Rect, const TGraphic& Graphic) { DrawScaled(Box::Of(Rect), Graphic); }

void TCanvas::DrawScaled(const Box& Dest, const TGraphic& Graphic) {
  TDeviceContext& dc = RequireContext();
  if (Dest.r <= Dest.l || Dest.b <= Dest.t || Graphic.Width() <= 0 || Graphic.Height() <= 0) return;
  const TRect region = DeviceRect(Dest);
  if (region.IsEmpty()) return;
  const int64_t ox = dc.Origin.X, oy = dc.Origin.Y;
  qorb::raster::Picture(*dc.Bitmap, region, {Dest.l + ox, Dest.t + oy, Dest.r + ox, Dest.b + oy}, Graphic);
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  RequireContext();
  const int64_t x1 = X1, y1 = Y1, x2 = X2, y2 = Y2;
  if (FBrush.Style() == bsSolid) FillDevice(DeviceRect(Box{x1, y1, x2, y2}), FBrush.Color());
  if (FPen.Style() == psClear || x2 <= x1 || y2 <= y1) return;
  const int64_t w = std::min({int64_t{FPen.Width()}, (x2 - x1 + 1) / 2, (y2 - y1 + 1) / 2});
  const TColor c = FPen.Color();
  FillDevice(DeviceRect(Box{x1, y1, x2, y1 + w}), c);
  FillDevice(DeviceRect(Box{x1, y2 - w, x2, y2}), c);
  FillDevice(DeviceRect(Box{x1, y1 + w, x1 + w, y2 - w}), c);
  FillDevice(DeviceRect(Box{x2 - w, y1 + w, x2, y2 - w}), c);
}

void TCanvas::LineTo(int X, int Y) {
  TDeviceContext& dc = RequireContext();
  const TPoint from = FPenPos;
  FPenPos = {X, Y};
  if (FPen.Style() == psClear || from == FPenPos) return;
  const int64_t w = FPen.Width();
  const int64_t lo = -(w - 1) / 2;  // a wide pen is centred on the line
  // Pixels from the start up to, not including, the end.
  auto span = [](int64_t a, int64_t b) { return a < b ? std::pair{a, b} : std::pair{b + 1, a + 1}; };
  if (from.Y == Y) {
    const auto [x0, x1] = span(from.X, X);
    FillDevice(DeviceRect(Box{x0, Y + lo, x1, Y + lo + w}), FPen.Color());
    return;
  }
  if (from.X == X) {
    const auto [y0, y1] = span(from.Y, Y);
    FillDevice(DeviceRect(Box{X + lo, y0, X + lo + w, y1}), FPen.Color());
    return;
  }
  const int64_t pad = w + 1;
  const TRect region = DeviceRect(Box{std::min<int64_t>(from.X, X) - pad, std::min<int64_t>(from.Y, Y) - pad,
                                      std::max<int64_t>(from.X, X) + pad, std::max<int64_t>(from.Y, Y) + pad});
  if (region.IsEmpty()) return;
  const int64_t ox = dc.Origin.X, oy = dc.Origin.Y;
  qorb::raster::Line(*dc.Bitmap, region, from.X + ox, from.Y + oy, X + ox, Y + oy, FPen.Width(), FPen.Color());
}
