#include "vcl/ScrollBarPaint.h"

#include <algorithm>
#include <cstdint>

namespace {

struct TBarColours {
  TColor Track, Thumb, Arrow;
};
constexpr TBarColours kLight{ColorOf(0xF0F0F0), ColorOf(0xCDCDCD), ColorOf(0x606060)};
constexpr TBarColours kDark{ColorOf(0x171717), ColorOf(0x4D4D4D), ColorOf(0x999999)};

bool IsDark(TColor background) {
  const auto rgb = static_cast<uint32_t>(ColorToRGB(background));
  const uint32_t r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
  return r * 299 + g * 587 + b * 114 < 128 * 1000;
}

// A small filled triangle pointing up or down, centred in Box.
void Arrow(TCanvas& canvas, const TRect& box, bool up, TColor colour) {
  const int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
  canvas.Brush()->SetColor(colour);
  for (int row = 0; row < 4; ++row) {
    const int half = up ? row : 3 - row;
    canvas.FillRect(Rect(cx - half, cy - 2 + row, cx + half + 1, cy - 1 + row));
  }
}

}  // namespace

void PaintVerticalScrollBar(TCanvas& Canvas, const TRect& Area, int First, int Page, int Total, TColor Background) {
  const TBarColours& colours = IsDark(Background) ? kDark : kLight;
  const int width = Area.Right - Area.Left;
  Canvas.Brush()->SetStyle(bsSolid);
  Canvas.Brush()->SetColor(colours.Track);
  Canvas.FillRect(Area);
  const TRect up = Rect(Area.Left, Area.Top, Area.Right, Area.Top + width);
  const TRect down = Rect(Area.Left, Area.Bottom - width, Area.Right, Area.Bottom);
  Arrow(Canvas, up, true, colours.Arrow);
  Arrow(Canvas, down, false, colours.Arrow);
  const int track = Area.Bottom - Area.Top - 2 * width;
  if (Total <= 0 || track <= 0) return;
  // The thumb stays grabbable however long the list.
  const int length = std::clamp(track * std::min(Page, Total) / Total, std::min(8, track), track);
  const int room = track - length;
  const int scrollable = std::max(Total - Page, 1);
  const int offset = room * std::clamp(First, 0, scrollable) / scrollable;
  Canvas.Brush()->SetColor(colours.Thumb);
  Canvas.FillRect(Rect(Area.Left + 1, up.Bottom + offset, Area.Right - 1, up.Bottom + offset + length));
}
