#pragma once
// A list of rows of one height. Standard styles draw their Items; owner-draw
// styles call OnDrawItem for each visible row. Virtual styles hold no
// strings: the row count is set directly and Items reads as empty entries.
#include <memory>

#include "vcl/Controls.h"
#include "vcl/StringList.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

enum TOwnerDrawStateItem {
  odSelected,
  odGrayed,
  odDisabled,
  odChecked,
  odFocused,
  odDefault,
  odHotLight,
  odInactive,
  odNoAccel,
  odNoFocusRect,
  odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;

// Rect is the row in the list box's client coordinates.
using TDrawItemEvent = TMethodOf<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

class TListBox : public TCustomControl {
 public:
  explicit TListBox(TComponent* AOwner);
  ~TListBox() override;

  TListBoxStyle Style() const noexcept { return FStyle; }
  void SetStyle(TListBoxStyle AStyle);
  bool IsVirtual() const noexcept { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
  bool IsOwnerDraw() const noexcept { return FStyle != lbStandard && FStyle != lbVirtual; }

  TStrings* Items() noexcept { return FItems.get(); }
  const TStrings* Items() const noexcept { return FItems.get(); }
  void SetItems(const TStrings& AItems);
  // Rows: the set count for virtual styles, the number of Items otherwise.
  int Count() const noexcept;
  // Virtual styles only (EInvalidOperation otherwise); negative means 0.
  void SetCount(int ACount);

  int ItemHeight() const noexcept { return FItemHeight; }
  // At least 1.
  void SetItemHeight(int AValue) noexcept { FItemHeight = AValue < 1 ? 1 : AValue; }
  // The selected row, -1 for none; a row that does not exist selects none.
  int ItemIndex() const noexcept { return FItemIndex; }
  void SetItemIndex(int AValue) noexcept;
  // The first row shown, 0 up to the last row.
  int TopIndex() const noexcept { return FTopIndex; }
  void SetTopIndex(int AValue) noexcept;
  // The rectangle row Index has in client coordinates (it may lie outside
  // the visible area); left of the scroll bar when that shows.
  TRect ItemRect(int Index) const noexcept;
  // The rows need more height than there is: a vertical scroll bar shows
  // at the right edge.
  bool ShowsScrollBar() const noexcept;

  TDrawItemEvent OnDrawItem;

 protected:
  // Draws each visible row from TopIndex with the list's font and colour on
  // the canvas (highlight colours for the selected row), through DrawItem.
  void Paint() override;
  // OnDrawItem for owner-draw styles that assign it; otherwise the brush
  // fills the row and the entry is drawn 2 pixels in.
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);

 private:
  class TListBoxStrings;
  friend class TListBoxStrings;

  TListBoxStyle FStyle = lbStandard;
  std::unique_ptr<TStrings> FItems;
  int FCount = 0;
  int FItemHeight = 16;
  int FItemIndex = -1;
  int FTopIndex = 0;
};
