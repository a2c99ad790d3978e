#include "vcl/ListBox.h"

#include <algorithm>
#include <vector>

#include "vcl/ScrollBarPaint.h"

// The strings of a list box; in the virtual styles an empty view of the
// row count that refuses changes.
class TListBox::TListBoxStrings final : public TStrings {
 public:
  explicit TListBoxStrings(TListBox& AOwner) : owner_(AOwner) {}

  int Count() const override { return owner_.IsVirtual() ? owner_.FCount : static_cast<int>(list_.size()); }
  UnicodeString Get(int Index) const override {
    CheckListIndex(Index, Count());
    return owner_.IsVirtual() ? UnicodeString() : list_[static_cast<size_t>(Index)];
  }
  void Put(int Index, const UnicodeString& S) override {
    RefuseVirtual();
    CheckListIndex(Index, Count());
    list_[static_cast<size_t>(Index)] = S;
  }
  void Insert(int Index, const UnicodeString& S) override {
    RefuseVirtual();
    CheckListIndex(Index, Count(), true);
    list_.insert(list_.begin() + Index, S);
    if (owner_.FItemIndex >= Index) ++owner_.FItemIndex;
  }
  void Delete(int Index) override {
    RefuseVirtual();
    CheckListIndex(Index, Count());
    list_.erase(list_.begin() + Index);
    if (owner_.FItemIndex == Index)
      owner_.FItemIndex = -1;
    else if (owner_.FItemIndex > Index)
      --owner_.FItemIndex;
    owner_.SetTopIndex(owner_.FTopIndex);
  }
  void Clear() override {
    list_.clear();
    owner_.FItemIndex = -1;
    owner_.FTopIndex = 0;
  }

 private:
  void RefuseVirtual() const {
    if (owner_.IsVirtual()) throw EInvalidOperation(u"A virtual list box holds no strings");
  }

  TListBox& owner_;
  std::vector<UnicodeString> list_;
};

TListBox::TListBox(TComponent* AOwner) : TCustomControl(AOwner), FItems(std::make_unique<TListBoxStrings>(*this)) {
  SetBounds(0, 0, 121, 97);
  SetColor(clWindow);
}

TListBox::~TListBox() = default;

void TListBox::SetItems(const TStrings& AItems) { FItems->Assign(AItems); }

void TListBox::SetStyle(TListBoxStyle AStyle) {
  if (AStyle == FStyle) return;
  // Switching between held strings and a bare count starts the list afresh.
  const bool wasVirtual = IsVirtual();
  FStyle = AStyle;
  if (wasVirtual != IsVirtual()) {
    FItems->Clear();
    FCount = 0;
  }
}

int TListBox::Count() const noexcept { return FItems->Count(); }

void TListBox::SetCount(int ACount) {
  if (!IsVirtual()) throw EInvalidOperation(u"Setting the count needs a virtual list box");
  FCount = std::max(ACount, 0);
  if (FItemIndex >= FCount) FItemIndex = -1;
  SetTopIndex(FTopIndex);
}

void TListBox::SetItemIndex(int AValue) noexcept { FItemIndex = AValue >= 0 && AValue < Count() ? AValue : -1; }

void TListBox::SetTopIndex(int AValue) noexcept { FTopIndex = std::clamp(AValue, 0, std::max(Count() - 1, 0)); }

TRect TListBox::ItemRect(int Index) const noexcept {
  const int top = (Index - FTopIndex) * FItemHeight;
  const int right = ClientWidth() - (ShowsScrollBar() ? VerticalScrollBarWidth : 0);
  return Rect(0, top, std::max(right, 0), top + FItemHeight);
}

bool TListBox::ShowsScrollBar() const noexcept {
  return static_cast<long long>(Count()) * FItemHeight > ClientHeight();
}

void TListBox::Paint() {
  TCanvas& canvas = *Canvas();
  const int count = Count();
  for (int i = FTopIndex; i < count; ++i) {
    const TRect r = ItemRect(i);
    if (r.Top >= ClientHeight()) break;
    TOwnerDrawState state;
    canvas.Font()->Assign(*Font());
    canvas.Brush()->SetColor(Color());
    if (i == FItemIndex) {
      state.Include(odSelected);
      canvas.Brush()->SetColor(clHighlight);
      canvas.Font()->SetColor(clHighlightText);
    }
    DrawItem(i, r, state);
  }
  if (ShowsScrollBar())
    PaintVerticalScrollBar(canvas, Rect(std::max(ClientWidth() - VerticalScrollBarWidth, 0), 0, ClientWidth(), ClientHeight()),
                           FTopIndex, ClientHeight() / FItemHeight, count, Color());
}

void TListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (IsOwnerDraw() && OnDrawItem.Assigned()) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TCanvas& canvas = *Canvas();
  canvas.FillRect(Rect);
  if (Index >= 0 && Index < Count()) {
    const UnicodeString text = FItems->Get(Index);
    canvas.TextOut(Rect.Left + 2, Rect.Top + (Rect.Height() - canvas.TextHeight(text)) / 2, text);
  }
}
