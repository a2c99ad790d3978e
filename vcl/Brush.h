#pragma once
// What a canvas fills with: a colour, or nothing (bsClear).
#include "vcl/Colors.h"
#include "vcl/Persistent.h"

enum TBrushStyle { bsSolid, bsClear };

class TBrush : public TPersistent {
 public:
  TColor Color() const noexcept { return FColor; }
  void SetColor(TColor AColor) noexcept {
    FColor = AColor;
    FStyle = bsSolid;  // choosing a colour means filling with it
  }
  TBrushStyle Style() const noexcept { return FStyle; }
  void SetStyle(TBrushStyle AStyle) noexcept { FStyle = AStyle; }

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};
