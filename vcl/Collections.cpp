#include "vcl/Collections.h"

#include "vcl/Classes.h"

int TCollectionItem::Index() const noexcept { return FCollection ? FCollection->IndexOf(this) : -1; }

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds");
  return FItems[static_cast<size_t>(Index)].get();
}

TCollectionItem* TCollection::Add() {
  std::unique_ptr<TCollectionItem> item = FFactory ? FFactory(this) : nullptr;
  if (!item) throw EInvalidOperation(u"The collection cannot make items");
  FItems.push_back(std::move(item));
  return FItems.back().get();
}

void TCollection::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds");
  FItems.erase(FItems.begin() + Index);
}

int TCollection::IndexOf(const TCollectionItem* AItem) const noexcept {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].get() == AItem) return static_cast<int>(i);
  return -1;
}
