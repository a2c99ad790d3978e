#pragma once
// A picture on its parent's window: a copy of a bitmap, drawn as it is or
// stretched to the control's size.
#include "vcl/Bitmap.h"
#include "vcl/Controls.h"

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);

  // The picture; assign to it to change what is shown.
  TBitmap* Picture() noexcept { return &FPicture; }
  const TBitmap* Picture() const noexcept { return &FPicture; }
  bool Stretch() const noexcept { return FStretch; }
  void SetStretch(bool AValue) noexcept { FStretch = AValue; }

 protected:
  void Paint() override;

 private:
  TBitmap FPicture;
  bool FStretch = false;
};
