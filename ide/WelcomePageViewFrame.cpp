#include "ide/WelcomePageViewFrame.h"

TWelcomePageViewFrame::TWelcomePageViewFrame(TComponent* AOwner, UnicodeString APluginID)
    : TFrame(AOwner), FPluginID(std::move(APluginID)) {
  SetBounds(0, 0, 420, DefaultCaptionHeight + 300);
  SetParentBackground(false);
  SetColor(clWindow);
}

TFrame* TWelcomePageViewFrame::Placed(TFrame* Slot) const noexcept {
  if (!Slot) return nullptr;
  for (int i = 0; i < ControlCount(); ++i)
    if (Controls(i) == Slot) return Slot;
  return nullptr;
}

void TWelcomePageViewFrame::Place(TFrame*& Slot, TFrame* AFrame, TAlign AAlign) {
  if (TFrame* old = Placed(Slot); old && old != AFrame) old->SetParent(nullptr);
  Slot = AFrame;
  if (!AFrame) return;
  AFrame->SetParent(this);
  AFrame->SetAlign(AAlign);
}

void TWelcomePageViewFrame::SetCaptionHeight(int32_t Value) {
  FCaptionHeight = Value < 0 ? 0 : Value;
  if (TFrame* caption = Placed(FCaptionFrame)) caption->SetHeight(FCaptionHeight);
}

void TWelcomePageViewFrame::SetCaptionVisible(bool Value) {
  FCaptionVisible = Value;
  if (TFrame* caption = Placed(FCaptionFrame)) caption->SetVisible(Value);
}

void TWelcomePageViewFrame::SetCaptionFrame(TFrame* AFrame) {
  Place(FCaptionFrame, AFrame, alTop);
  if (!AFrame) return;
  AFrame->SetHeight(FCaptionHeight);
  AFrame->SetVisible(FCaptionVisible);
}

void TWelcomePageViewFrame::SetContentFrame(TFrame* AFrame) { Place(FContentFrame, AFrame, alClient); }
