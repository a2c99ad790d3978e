#pragma once
// Collections: an owned, ordered list of items of one class, such as the
// columns of a list view. Items are made by the collection and freed by it.
#include <memory>
#include <vector>

#include "vcl/Persistent.h"

class TCollection;

class TCollectionItem : public TPersistent {
 public:
  explicit TCollectionItem(TCollection* ACollection) : FCollection(ACollection) {}
  TCollection* Collection() const noexcept { return FCollection; }
  // Position in the collection; -1 when it belongs to none.
  int Index() const noexcept;

 private:
  TCollection* FCollection;
};

class TCollection : public TPersistent {
 public:
  // Makes a new item of the collection's item class for ACollection.
  using TItemFactory = std::unique_ptr<TCollectionItem> (*)(TCollection* ACollection);

  explicit TCollection(TItemFactory AFactory) : FFactory(AFactory) {}
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  int Count() const noexcept { return static_cast<int>(FItems.size()); }
  // EListError when Index is out of range.
  TCollectionItem* Items(int Index) const;
  // Appends a new item and answers it.
  TCollectionItem* Add();
  void Delete(int Index);
  void Clear() noexcept { FItems.clear(); }
  int IndexOf(const TCollectionItem* AItem) const noexcept;

 private:
  TItemFactory FFactory;
  std::vector<std::unique_ptr<TCollectionItem>> FItems;
};

// The factory for an item class C constructed from its collection.
template <class C>
std::unique_ptr<TCollectionItem> MakeCollectionItem(TCollection* ACollection) {
  return std::make_unique<C>(ACollection);
}
