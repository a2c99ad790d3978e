#pragma once
// Menu items: a tree of captions with click handlers. An item's sub-items
// are freed with it; a freed item leaves its parent and its owner.
#include <vector>

#include "vcl/Classes.h"

class EMenuError : public Exception {
 public:
  using Exception::Exception;
};

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  // Leaves the parent item, frees the sub-items, then the owned components.
  ~TMenuItem() override;

  const UnicodeString& Caption() const noexcept { return FCaption; }
  void SetCaption(const UnicodeString& ACaption) { FCaption = ACaption; }
  // A separator: the caption "-".
  bool IsLine() const noexcept { return FCaption == u"-"; }

  int Count() const noexcept { return static_cast<int>(FItems.size()); }
  // Raises EMenuError when Index is out of range.
  TMenuItem* Items(int Index) const;
  TMenuItem* Parent() const noexcept { return FParent; }
  // Index in 0..Count. Raises EMenuError for a null item, an item that
  // already has a parent, this item or one of its ancestors, or a bad index.
  void Insert(int Index, TMenuItem* Item);
  void Add(TMenuItem* Item) { Insert(Count(), Item); }
  // Takes Item out of the sub-items (it is not freed); EMenuError if absent.
  void Remove(TMenuItem* Item);
  // -1 when Item is not a direct sub-item.
  int IndexOf(const TMenuItem* Item) const noexcept;
  // Frees every sub-item.
  void Clear();

  bool Enabled() const noexcept { return FEnabled; }
  void SetEnabled(bool AEnabled) noexcept { FEnabled = AEnabled; }
  bool Visible() const noexcept { return FVisible; }
  void SetVisible(bool AVisible) noexcept { FVisible = AVisible; }

  TNotifyEvent OnClick;
  // Calls OnClick with this item as Sender, when assigned and enabled.
  void Click();

 private:
  UnicodeString FCaption;
  TMenuItem* FParent = nullptr;
  std::vector<TMenuItem*> FItems;
  bool FEnabled = true;
  bool FVisible = true;
};

// A form's main menu: its top-level items are the sub-items of Items(),
// which belongs to the menu but is not one of its components.
class TMainMenu : public TComponent {
 public:
  explicit TMainMenu(TComponent* AOwner);
  ~TMainMenu() override;
  TMenuItem* Items() const noexcept { return FItems; }

 private:
  TMenuItem* FItems;
};
