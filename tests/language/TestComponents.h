#pragma once
// Components the localization tests build designed frames from: each
// records the writes the translation pass makes.
#include <memory>

#include "vcl/Collections.h"
#include "vcl/Forms.h"
#include "vcl/Label.h"
#include "vcl/PublishedProperties.h"
#include "vcl/StringList.h"

// A frame with a published caption, read from the layout resource
// "TTESTFRAME" of the test program.
class TTestFrame : public TFrame {
 public:
  explicit TTestFrame(TComponent* AOwner);
};

// A label that counts the writes to its caption.
class TCountingLabel : public TLabel {
 public:
  using TLabel::TLabel;
  void SetCountedCaption(const UnicodeString& AValue) {
    ++CaptionWrites;
    SetCaption(AValue);
  }
  int CaptionWrites = 0;
};

// A list that behaves as the platform's lists do: replacing an entry drops
// the selection. It counts the writes to ItemIndex.
class TTestList : public TComponent {
 public:
  explicit TTestList(TComponent* AOwner);
  TStrings* Items() noexcept { return FItems.get(); }
  int ItemIndex() const noexcept { return FItemIndex; }
  void SetItemIndex(int AValue) {
    ++ItemIndexWrites;
    FItemIndex = AValue;
  }
  int ItemIndexWrites = 0;

 private:
  friend class TTestListStrings;
  std::unique_ptr<TStrings> FItems;
  int FItemIndex = -1;
};

class TTestColumn : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  const UnicodeString& Caption() const noexcept { return FCaption; }
  void SetCaption(const UnicodeString& AValue) { FCaption = AValue; }

 private:
  UnicodeString FCaption;
};

// Columns whose items have no caption at all.
class TTestPlainColumn : public TCollectionItem {
 public:
  using TCollectionItem::TCollectionItem;
  int Width() const noexcept { return FWidth; }
  void SetWidth(int AValue) noexcept { FWidth = AValue; }

 private:
  int FWidth = 0;
};

class TTestGrid : public TComponent {
 public:
  explicit TTestGrid(TComponent* AOwner) : TComponent(AOwner), FColumns(&MakeCollectionItem<TTestColumn>) {}
  TCollection* Columns() noexcept { return &FColumns; }

 private:
  TCollection FColumns;
};

class TTestPlainGrid : public TComponent {
 public:
  explicit TTestPlainGrid(TComponent* AOwner) : TComponent(AOwner), FColumns(&MakeCollectionItem<TTestPlainColumn>) {}
  TCollection* Columns() noexcept { return &FColumns; }

 private:
  TCollection FColumns;
};

// Registers the classes above while it lives.
class TTestClasses {
 public:
  TTestClasses();
  ~TTestClasses();

 private:
  struct TRegistrations;
  std::unique_ptr<TRegistrations> FRegistrations;
};
