#pragma once
// A caption drawn on the parent's window, sized to its text unless AutoSize
// is off. Line breaks in the caption start new lines.
#include "vcl/Controls.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* AOwner);

  bool AutoSize() const noexcept { return FAutoSize; }
  void SetAutoSize(bool AValue);
  TAlignment Alignment() const noexcept { return FAlignment; }
  void SetAlignment(TAlignment AValue);
  TTextLayout Layout() const noexcept { return FLayout; }
  void SetLayout(TTextLayout AValue) noexcept { FLayout = AValue; }
  // A transparent label leaves its background to the parent.
  bool Transparent() const noexcept { return FTransparent; }
  void SetTransparent(bool AValue) noexcept { FTransparent = AValue; }
  // Kept for the IDE's styles, which draw a glow of this size.
  int GlowSize() const noexcept { return FGlowSize; }
  void SetGlowSize(int AValue) noexcept { FGlowSize = AValue; }

 protected:
  void Paint() override;
  void TextChanged() override { AdjustBounds(); }
  void FontChanged() override { AdjustBounds(); }

 private:
  void AdjustBounds();

  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FTransparent = false;
  int FGlowSize = 0;
};
