#include "vcl/Image.h"

#include "vcl/Canvas.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetBounds(0, 0, 105, 105);
}

void TImage::Paint() {
  if (FPicture.Empty()) return;
  if (FStretch)
    Canvas()->StretchDraw(ClientRect(), FPicture);
  else
    Canvas()->Draw(0, 0, FPicture);
}
