#include <algorithm>

#include "vcl/Controls.h"

void TMargins::Set(int& Field, int Value) {
  if (Field == Value) return;
  Field = Value;
  if (OnChange.Assigned()) OnChange(this);
}

void TMargins::SetBounds(int ALeft, int ATop, int ARight, int ABottom) {
  if (FLeft == ALeft && FTop == ATop && FRight == ARight && FBottom == ABottom) return;
  FLeft = ALeft;
  FTop = ATop;
  FRight = ARight;
  FBottom = ABottom;
  if (OnChange.Assigned()) OnChange(this);
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  FFont.OnChange = BindMethod<&TControl::FontChange>(this);
  FMargins.OnChange = BindMethod<&TControl::MarginsChange>(this);
}

TControl::~TControl() {
  BeginDestroy();
  if (FParent) SetParent(nullptr);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  for (const TControl* p = AParent; p; p = p->FParent)
    if (p == this) throw EInvalidOperation(u"A control cannot be placed inside itself");

  if (TWinControl* old = FParent) {
    auto& list = old->FControls;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    FParent = nullptr;
    if (auto* self = dynamic_cast<TWinControl*>(this); self && !Destroying() && !self->CanHaveWindow())
      self->DestroyHandle();
    if (FAlign != alNone && !old->Destroying()) old->Realign();
  }
  if (AParent) {
    AParent->FControls.push_back(this);
    FParent = AParent;
    ParentFontChanged();
    if (auto* self = dynamic_cast<TWinControl*>(this)) self->UpdateWindows();
    RequestAlign();
  }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  RequestAlign();
}

void TControl::SetAlign(TAlign AAlign) {
  if (AAlign == FAlign) return;
  const TAlign old = FAlign;
  FAlign = AAlign;
  if (FParent && (old != alNone || AAlign != alNone) && !FParent->Destroying()) FParent->Realign();
}

void TControl::SetAlignWithMargins(bool AValue) {
  if (AValue == FAlignWithMargins) return;
  FAlignWithMargins = AValue;
  RequestAlign();
}

void TControl::SetVisible(bool AVisible) {
  if (AVisible == FVisible) return;
  FVisible = AVisible;
  RequestAlign();
}

bool TControl::Showing() const noexcept {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::SetCaption(const UnicodeString& ACaption) {
  if (ACaption == FCaption) return;
  FCaption = ACaption;
  TextChanged();
}

TColor TControl::Color() const noexcept { return FParentColor && FParent ? FParent->Color() : FColor; }

void TControl::SetColor(TColor AColor) {
  FColor = AColor;
  FParentColor = false;
}

void TControl::SetParentFont(bool AValue) {
  FParentFont = AValue;
  ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FSyncingFont = true;
  FFont.Assign(*FParent->Font());
  FSyncingFont = false;
}

void TControl::FontChange(TObject*) {
  if (!FSyncingFont) FParentFont = false;
  if (!Destroying()) FontChanged();
}

void TControl::MarginsChange(TObject*) {
  if (FAlignWithMargins) RequestAlign();
}

void TControl::RequestAlign() {
  if (FParent && FAlign != alNone && !FParent->Destroying()) FParent->Realign();
}

void TControl::PaintTo(HDC DC, int X, int Y) {
  const TDeviceContext* outer = DeviceContextFromHandle(DC);
  if (!outer) throw EInvalidOperation(u"Cannot paint a control without a device context");
  TDeviceContext inner = *outer;
  inner.Origin = Point(outer->Origin.X + X, outer->Origin.Y + Y);
  inner.Clip = TRect::Intersect(outer->Clip, Bounds(inner.Origin.X, inner.Origin.Y, FWidth, FHeight));
  if (inner.Clip.IsEmpty()) return;
  PaintControl(DeviceContextHandle(&inner));
}

void TGraphicControl::PaintControl(HDC DC) {
  TCanvasHandleScope scope(FCanvas, DC);
  Paint();
}
