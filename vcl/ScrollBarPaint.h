#pragma once
// The vertical scroll bar a list control shows when its rows do not fit:
// an arrow button at each end and a thumb sized and placed by the part of
// the rows in view, drawn as the platform's standard bar.
#include "vcl/Canvas.h"

// Its width, the platform's default at 96 dots per inch.
inline constexpr int VerticalScrollBarWidth = 17;

// Area: where the bar goes (VerticalScrollBarWidth wide). First: the first
// row in view; Page: how many rows are in view; Total: all rows. Beside a
// dark Background the bar is drawn in the platform's dark colours.
void PaintVerticalScrollBar(TCanvas& Canvas, const TRect& Area, int First, int Page, int Total,
                            TColor Background = clWindow);
