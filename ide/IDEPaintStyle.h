#pragma once
// What the IDE paints its own windows with: the colours of the style in
// force (Light when theming is off) and the IDE's font.
#include "vcl/Colors.h"

class TCanvas;
class TIDE;

struct TIDEPaintColors {
  TColor Background;
  TColor Text;
  TColor Dim;
  TColor Accent;
};

// Plain colour values, never system colours.
TIDEPaintColors IDEPaintColors(TIDE& Ide);
// The IDE's font name and size on Canvas.
void SetIDEFont(TIDE& Ide, TCanvas& Canvas);
