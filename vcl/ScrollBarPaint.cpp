#include "vcl/ScrollBarPaint.h"

#include <algorithm>

namespace {

constexpr TColor kTrack = ColorOf(0xF0F0F0);
constexpr TColor kThumb = ColorOf(0xCDCDCD);
constexpr TColor kArrow = ColorOf(0x606060);

// A small filled triangle pointing up or down, centred in Box.
void Arrow(TCanvas& canvas, const TRect& box, bool up) {
  const int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
  canvas.Brush()->SetColor(kArrow);
  for (int row = 0; row < 4; ++row) {
    const int half = up ? row : 3 - row;
    canvas.FillRect(Rect(cx - half, cy - 2 + row, cx + half + 1, cy - 1 + row));
  }
}

}  // namespace

void PaintVerticalScrollBar(TCanvas& Canvas, const TRect& Area, int First, int Page, int Total) {
  const int width = Area.Right - Area.Left;
  Canvas.Brush()->SetStyle(bsSolid);
  Canvas.Brush()->SetColor(kTrack);
  Canvas.FillRect(Area);
  const TRect up = Rect(Area.Left, Area.Top, Area.Right, Area.Top + width);
  const TRect down = Rect(Area.Left, Area.Bottom - width, Area.Right, Area.Bottom);
  Arrow(Canvas, up, true);
  Arrow(Canvas, down, false);
  const int track = Area.Bottom - Area.Top - 2 * width;
  if (Total <= 0 || track <= 0) return;
  // The thumb stays grabbable however long the list.
  const int length = std::clamp(track * std::min(Page, Total) / Total, std::min(8, track), track);
  const int room = track - length;
  const int scrollable = std::max(Total - Page, 1);
  const int offset = room * std::clamp(First, 0, scrollable) / scrollable;
  Canvas.Brush()->SetColor(kThumb);
  Canvas.FillRect(Rect(Area.Left + 1, up.Bottom + offset, Area.Right - 1, up.Bottom + offset + length));
}
