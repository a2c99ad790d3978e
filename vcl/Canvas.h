#pragma once
// Drawing with brush, pen and font onto a bitmap, directly or through a
// device context (HDC). Coordinates are pixels relative to the context's
// origin. A canvas without a target can still measure text.
#include <memory>
#include <string_view>

#include "vcl/Brush.h"
#include "vcl/DeviceContext.h"
#include "vcl/Font.h"
#include "vcl/Pen.h"
#include "vcl/Types.h"

class TBitmap;
class TGraphic;

class TCanvas : public TPersistent {
 public:
  // Not attached: measures, but raises EInvalidOperation when asked to draw.
  TCanvas();
  // Draws on Bitmap (which must outlive the canvas), origin at its top left.
  explicit TCanvas(TBitmap& Bitmap);
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TFont* Font() noexcept { return &FFont; }
  TBrush* Brush() noexcept { return &FBrush; }
  TPen* Pen() noexcept { return &FPen; }

  // The context drawn on; null when not attached.
  HDC Handle() const noexcept { return DeviceContextHandle(FContext); }
  // Attaches to a context the caller keeps alive (null detaches). It is
  // never freed by the canvas.
  void SetHandle(HDC DC) noexcept;
  bool HandleAllocated() const noexcept { return FContext != nullptr; }
  // The part that may be drawn on, in canvas coordinates; empty when not
  // attached.
  TRect ClipRect() const noexcept;

  // Brush colour over Rect, unless the brush is clear.
  void FillRect(const TRect& Rect);
  // Text with the top left of its box at (X, Y) in the font's colour. A solid
  // brush fills the box first; a clear one leaves the background.
  void TextOut(int X, int Y, std::u16string_view Text);
  int TextWidth(std::u16string_view Text) const;
  // The font's height (ascent plus descent), the same for every text.
  int TextHeight(std::u16string_view Text) const;
  TSize TextExtent(std::u16string_view Text) const;
  // A TBitmap or TPngImage at its own size, blended by its alpha where it
  // has one that counts (32-bit bitmaps with alpha defined, PNGs with
  // transparency); other pictures are drawn opaque.
  void Draw(int X, int Y, const TGraphic& Graphic);
  // The same, scaled to fill Rect.
  void StretchDraw(const TRect& Rect, const TGraphic& Graphic);
  // Brush inside, pen outline on the rectangle's outer pixels.
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& Rect) { Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom); }
  // A line from the pen position to (X, Y), the end point left out.
  void MoveTo(int X, int Y) noexcept { FPenPos = {X, Y}; }
  void LineTo(int X, int Y);
  TPoint PenPos() const noexcept { return FPenPos; }

 private:
  // A rectangle worked out in 64 bits.
  struct Box;
  // The target, and the part of it a rectangle in canvas coordinates covers.
  TDeviceContext& RequireContext();
  TRect DeviceRect(const TRect& Logical) const noexcept;
  TRect DeviceRect(const Box& Logical) const noexcept;
  void DrawScaled(const Box& Dest, const TGraphic& Graphic);
  void FillDevice(const TRect& Device, TColor Color);

  TFont FFont;
  TBrush FBrush;
  TPen FPen;
  TPoint FPenPos;
  std::unique_ptr<TDeviceContext> FOwnContext;
  TDeviceContext* FContext = nullptr;
};

// Attaches a canvas to a context for a scope and detaches it at the end,
// also when drawing raises.
class TCanvasHandleScope {
 public:
  TCanvasHandleScope(TCanvas& Canvas, HDC DC) noexcept : canvas_(Canvas) { canvas_.SetHandle(DC); }
  ~TCanvasHandleScope() { canvas_.SetHandle(nullptr); }
  TCanvasHandleScope(const TCanvasHandleScope&) = delete;
  TCanvasHandleScope& operator=(const TCanvasHandleScope&) = delete;

 private:
  TCanvas& canvas_;
};
