#include "vcl/Forms.h"

TCustomFrame::TCustomFrame(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 320, 240);
  SetParentBackground(true);
}

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetVisible(false);
  SetBounds(0, 0, 640, 480);
  SetColor(clBtnFace);
  HandleNeeded();
}
