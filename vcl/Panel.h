#pragma once
// A windowed container with an optional bevel and a centred caption.
#include "vcl/Controls.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* AOwner);

  TBevelCut BevelOuter() const noexcept { return FBevelOuter; }
  void SetBevelOuter(TBevelCut AValue);
  TBevelCut BevelInner() const noexcept { return FBevelInner; }
  void SetBevelInner(TBevelCut AValue);
  int BevelWidth() const noexcept { return FBevelWidth; }
  void SetBevelWidth(int AValue);
  int BorderWidth() const noexcept { return FBorderWidth; }
  void SetBorderWidth(int AValue);
  bool ShowCaption() const noexcept { return FShowCaption; }
  void SetShowCaption(bool AValue) noexcept { FShowCaption = AValue; }
  TAlignment Alignment() const noexcept { return FAlignment; }
  void SetAlignment(TAlignment AValue) noexcept { FAlignment = AValue; }

 protected:
  void Paint() override;
  // Children are laid out inside the bevels and the border.
  TRect AlignRect() const override;

 private:
  int Inset() const noexcept;

  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
  bool FShowCaption = true;
  TAlignment FAlignment = taCenter;
};
