#include "vcl/Panel.h"

#include <algorithm>

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
  SetParentBackground(true);
}

void TPanel::SetBevelOuter(TBevelCut AValue) {
  FBevelOuter = AValue;
  Realign();
}

void TPanel::SetBevelInner(TBevelCut AValue) {
  FBevelInner = AValue;
  Realign();
}

void TPanel::SetBevelWidth(int AValue) {
  FBevelWidth = std::max(AValue, 1);
  Realign();
}

void TPanel::SetBorderWidth(int AValue) {
  FBorderWidth = std::max(AValue, 0);
  Realign();
}

int TPanel::Inset() const noexcept {
  return FBorderWidth + (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
}

TRect TPanel::AlignRect() const {
  const int d = Inset();
  const TRect c = ClientRect();
  return Rect(c.Left + d, c.Top + d, std::max(c.Left + d, c.Right - d), std::max(c.Top + d, c.Bottom - d));
}

void TPanel::Paint() {
  TCanvas& canvas = *Canvas();
  TRect r = ClientRect();
  // A raised edge is lit at its top left; a lowered one at its bottom right.
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    if (cut != bvSpace) {
      const TColor lit = cut == bvRaised ? clBtnHighlight : clBtnShadow;
      const TColor dark = cut == bvRaised ? clBtnShadow : clBtnHighlight;
      const int w = FBevelWidth;
      canvas.Brush()->SetColor(lit);
      canvas.FillRect(Rect(r.Left, r.Top, r.Right, r.Top + w));
      canvas.FillRect(Rect(r.Left, r.Top, r.Left + w, r.Bottom));
      canvas.Brush()->SetColor(dark);
      canvas.FillRect(Rect(r.Left, r.Bottom - w, r.Right, r.Bottom));
      canvas.FillRect(Rect(r.Right - w, r.Top, r.Right, r.Bottom));
    }
    r = Rect(r.Left + FBevelWidth, r.Top + FBevelWidth, r.Right - FBevelWidth, r.Bottom - FBevelWidth);
  };
  bevel(FBevelOuter);
  r = Rect(r.Left + FBorderWidth, r.Top + FBorderWidth, r.Right - FBorderWidth, r.Bottom - FBorderWidth);
  bevel(FBevelInner);
  if (!FShowCaption || Caption().IsEmpty()) return;
  canvas.Font()->Assign(*Font());
  canvas.Brush()->SetStyle(bsClear);
  const TSize ext = canvas.TextExtent(Caption());
  const int x = FAlignment == taLeftJustify ? r.Left
                : FAlignment == taCenter    ? r.Left + (r.Width() - ext.cx) / 2
                                            : r.Right - ext.cx;
  canvas.TextOut(x, r.Top + (r.Height() - ext.cy) / 2, Caption());
}
