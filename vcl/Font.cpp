#include "vcl/Font.h"

#include "winapi/MulDiv.h"

void TFont::SetName(const UnicodeString& AName) {
  if (AName == FName || AName.IsEmpty()) return;
  FName = AName;
  Changed();
}

void TFont::SetHeight(int AHeight) {
  if (AHeight == FHeight) return;
  FHeight = AHeight;
  Changed();
}

int TFont::Size() const noexcept { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int ASize) { SetHeight(-MulDiv(ASize, FPixelsPerInch, 72)); }

void TFont::SetColor(TColor AColor) {
  if (AColor == FColor) return;
  FColor = AColor;
  Changed();
}

void TFont::SetStyle(TFontStyles AStyle) {
  if (AStyle == FStyle) return;
  FStyle = AStyle;
  Changed();
}

void TFont::Assign(const TPersistent& Source) {
  const auto* src = dynamic_cast<const TFont*>(&Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  FName = src->FName;
  FHeight = src->FHeight;
  FColor = src->FColor;
  FStyle = src->FStyle;
  FPixelsPerInch = src->FPixelsPerInch;
  Changed();
}

void TFont::Changed() {
  if (OnChange.Assigned()) OnChange(this);
}
