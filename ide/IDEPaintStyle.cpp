#include "ide/IDEPaintStyle.h"

#include "ide/IDE.h"
#include "ide/ThemingServices.h"
#include "ide/UIServices.h"
#include "vcl/Canvas.h"

TIDEPaintColors IDEPaintColors(TIDE& Ide) {
  auto resolve = [&Ide](TColor c) {
    if (TThemingServices* theming = Ide.Services().Service<TThemingServices>())
      return ColorToRGB(theming->PaintingStyle().GetSystemColor(c));
    return ColorToRGB(c);
  };
  return {resolve(clWindow), resolve(clWindowText), resolve(clGrayText), resolve(clHighlight)};
}

void SetIDEFont(TIDE& Ide, TCanvas& Canvas) {
  if (TUIServices* ui = Ide.Services().Service<TUIServices>()) {
    UnicodeString name;
    ui->GetIDEFontName(name);
    Canvas.Font()->SetName(name);
    Canvas.Font()->SetSize(ui->GetIDEFontSize());
  }
}
