#include "ide/WelcomePagePainter.h"

#include "ide/IDE.h"
#include "ide/ThemingServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Controls.h"

TColor TWelcomePagePainter::StyleColor(TColor Color) {
  TIDE* ide = Ide();
  const TThemingServices* theming = ide ? ide->Services().Service<TThemingServices>() : nullptr;
  return theming ? ColorToRGB(theming->PaintingStyle().GetSystemColor(Color)) : ColorToRGB(Color);
}

TColor TWelcomePagePainter::GetBackgroundColor() { return StyleColor(clWindow); }

void TWelcomePagePainter::PaintBackground(TCanvas* ACanvas, TWinControl* AControl, TColor AColor, uint8_t AAlpha) {
  ++calls_;
  last_ = {AControl, AColor, AAlpha};
  if (!ACanvas || !AControl) return;
  const TRect area = AControl->ClientRect();
  ACanvas->Brush()->SetColor(AColor == clDefault ? GetBackgroundColor() : StyleColor(AColor));
  ACanvas->FillRect(area);

  const TColor highlight = StyleColor(clHighlight);
  TBitmap wash(1, 1);
  wash.SetPixelFormat(pf32bit);
  wash.SetAlphaFormat(afDefined);
  uint8_t* p = wash.ScanLine(0);
  p[0] = static_cast<uint8_t>((highlight >> 16) & 0xFF);
  p[1] = static_cast<uint8_t>((highlight >> 8) & 0xFF);
  p[2] = static_cast<uint8_t>(highlight & 0xFF);
  p[3] = AAlpha;
  ACanvas->StretchDraw(area, wash);

  ACanvas->Brush()->SetColor(highlight);
  ACanvas->FillRect(Rect(area.Left, area.Bottom - 2, area.Right, area.Bottom));
}
