#include <algorithm>

#include "rtl/Format.h"
#include "vcl/Controls.h"

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  BeginDestroy();
  // Each child takes itself out of FControls as it goes.
  while (!FControls.empty()) delete FControls.back();
  DestroyHandle();
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount()) throw EListError(u"Control index out of bounds");
  return FControls[static_cast<size_t>(Index)];
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (AControl && AControl->Parent() == this) AControl->SetParent(nullptr);
}

bool TWinControl::ContainsControl(const TControl* AControl) const noexcept {
  for (const TControl* c = AControl; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

bool TWinControl::CanHaveWindow() const noexcept {
  return IsTopLevel() || FParentWindow || (Parent() && Parent()->HandleAllocated());
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (Parent())
    Parent()->HandleNeeded();
  else if (!IsTopLevel() && !FParentWindow)
    throw EInvalidOperation(Format(u"Control '%s' has no parent window", {Name()}));
  UpdateWindows();
}

void TWinControl::CreateHandle() {
  FHandle = AllocateHWnd(BindMethod<&TWinControl::MainWndProc>(this));
  if (!FHandle) throw EInvalidOperation(Format(u"Cannot create the window of '%s'", {Name()}));
  CreateWnd();
}

void TWinControl::UpdateWindows() {
  if (!FHandle && CanHaveWindow()) CreateHandle();
  if (!FHandle) return;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->UpdateWindows();
}

void TWinControl::DestroyHandle() {
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  if (!FHandle) return;
  if (!Destroying()) DestroyWnd();
  DeallocateHWnd(FHandle);
  FHandle = nullptr;
}

void TWinControl::SetParentWindow(HWND AParentWindow) {
  if (AParentWindow == FParentWindow) return;
  FParentWindow = AParentWindow;
  if (FParentWindow)
    UpdateWindows();
  else if (!CanHaveWindow())
    DestroyHandle();
}

void TWinControl::MainWndProc(TMessage& Message) { WndProc(Message); }

void TWinControl::WndProc(TMessage& Message) {
  Message.Result = DefWindowProcW(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const int dx = std::max(AWidth, 0) - Width();
  const int dy = std::max(AHeight, 0) - Height();
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (dx == 0 && dy == 0) return;
  // Children anchored to the right or bottom edge keep their distance to it.
  ++FAlignLevel;
  for (TControl* c : FControls) {
    if (c->Align() != alNone) continue;
    const TAnchors a = c->Anchors();
    int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
    if (a.Contains(akRight)) (a.Contains(akLeft) ? w : l) += dx;
    if (a.Contains(akBottom)) (a.Contains(akTop) ? h : t) += dy;
    c->SetBounds(l, t, w, h);
  }
  --FAlignLevel;
  Realign();
}

void TWinControl::Realign() {
  if (Destroying() || FAlignLevel > 0) return;
  ++FAlignLevel;
  try {
    AlignControls();
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  --FAlignLevel;
}

void TWinControl::AlignControls() {
  TRect r = AlignRect();
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> group;
    for (TControl* c : FControls)
      if (c->Align() == align && c->Visible()) group.push_back(c);
    // Nearest to the edge the group is aligned to comes first.
    std::stable_sort(group.begin(), group.end(), [align](const TControl* a, const TControl* b) {
      switch (align) {
        case alTop: return a->Top() < b->Top();
        case alBottom: return a->Top() + a->Height() > b->Top() + b->Height();
        case alLeft: return a->Left() < b->Left();
        case alRight: return a->Left() + a->Width() > b->Left() + b->Width();
        default: return false;
      }
    });
    for (TControl* c : group) {
      int ml = 0, mt = 0, mr = 0, mb = 0;
      if (c->AlignWithMargins()) {
        ml = c->Margins()->Left();
        mt = c->Margins()->Top();
        mr = c->Margins()->Right();
        mb = c->Margins()->Bottom();
      }
      const int w = c->Width(), h = c->Height();
      switch (align) {
        case alTop:
          c->SetBounds(r.Left + ml, r.Top + mt, r.Width() - ml - mr, h);
          r.Top += mt + h + mb;
          break;
        case alBottom:
          c->SetBounds(r.Left + ml, r.Bottom - mb - h, r.Width() - ml - mr, h);
          r.Bottom -= mt + h + mb;
          break;
        case alLeft:
          c->SetBounds(r.Left + ml, r.Top + mt, w, r.Height() - mt - mb);
          r.Left += ml + w + mr;
          break;
        case alRight:
          c->SetBounds(r.Right - mr - w, r.Top + mt, w, r.Height() - mt - mb);
          r.Right -= ml + w + mr;
          break;
        default:
          c->SetBounds(r.Left + ml, r.Top + mt, r.Width() - ml - mr, r.Height() - mt - mb);
          break;
      }
    }
  }
}

void TWinControl::FontChanged() {
  for (TControl* c : FControls) c->ParentFontChanged();
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControl(HDC DC) {
  if (!FParentBackground) {
    TCanvas canvas;
    TCanvasHandleScope scope(canvas, DC);
    canvas.Brush()->SetColor(Color());
    canvas.FillRect(ClientRect());
  }
  PaintWindow(DC);
  // Windowless children are drawn on this window; windowed ones lie above.
  for (bool windowed : {false, true})
    for (TControl* c : FControls)
      if (c->Visible() && (dynamic_cast<TWinControl*>(c) != nullptr) == windowed) c->PaintTo(DC, c->Left(), c->Top());
}

void TCustomControl::PaintWindow(HDC DC) {
  TCanvasHandleScope scope(FCanvas, DC);
  Paint();
}
