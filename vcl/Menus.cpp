#include "vcl/Menus.h"

#include <algorithm>

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  BeginDestroy();
  if (FParent) FParent->Remove(this);
  Clear();
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EMenuError(u"Menu index out of range");
  return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) throw EMenuError(u"Cannot insert a null menu item");
  if (Item->FParent) throw EMenuError(u"Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == Item) throw EMenuError(u"A menu item cannot contain itself");
  if (Index < 0 || Index > Count()) throw EMenuError(u"Menu index out of range");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) throw EMenuError(u"Sub-menu is not in menu");
  FItems.erase(it);
  Item->FParent = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* Item) const noexcept {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuItem::Clear() {
  // Each sub-item takes itself out of FItems while it is destroyed.
  while (!FItems.empty()) delete FItems.back();
}

void TMenuItem::Click() {
  if (FEnabled && OnClick.Assigned()) OnClick(this);
}

TMainMenu::TMainMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {}

TMainMenu::~TMainMenu() {
  BeginDestroy();
  FreeAndNil(FItems);
}
