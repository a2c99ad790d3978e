#pragma once
// What a canvas draws lines and outlines with.
#include "vcl/Colors.h"
#include "vcl/Persistent.h"

enum TPenStyle { psSolid, psClear };

class TPen : public TPersistent {
 public:
  TColor Color() const noexcept { return FColor; }
  void SetColor(TColor AColor) noexcept { FColor = AColor; }
  // At least 1.
  int Width() const noexcept { return FWidth; }
  void SetWidth(int AWidth) noexcept { FWidth = AWidth < 1 ? 1 : AWidth; }
  TPenStyle Style() const noexcept { return FStyle; }
  void SetStyle(TPenStyle AStyle) noexcept { FStyle = AStyle; }

 private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
};
