#pragma once
// Components the localization and layout tests build designed frames
// from; they count the writes the translation pass makes.
#include <memory>
#include <ostream>
#include <stdexcept>

#include "vcl/Collections.h"
#include "vcl/Forms.h"
#include "vcl/Label.h"
#include "vcl/LayoutReader.h"
#include "vcl/PublishedProperties.h"
#include "vcl/StringList.h"
#include "winapi/Modules.h"

// Readable strings in test failures.
inline void PrintTo(const UnicodeString& s, std::ostream* os) { *os << '"' << s.ToUtf8() << '"'; }

template <class T>
T& Part(TComponent& Root, const char16_t* Name) {
  auto* part = dynamic_cast<T*>(Root.FindComponent(Name));
  if (!part) throw std::logic_error("no such part");
  return *part;
}

// A frame read from the test program's layout resource "TTESTFRAME".
class TTestFrame : public TFrame {
 public:
  explicit TTestFrame(TComponent* AOwner) : TFrame(AOwner) { ReadComponentResource(HInstance(), u"TTestFrame", *this); }
};

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
// the selection.
class TTestList : public TComponent {
 public:
  explicit TTestList(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TItems>(*this)) {}
  TStrings* Items() noexcept { return FItems.get(); }
  int ItemIndex() const noexcept { return FItemIndex; }
  void SetItemIndex(int AValue) { FItemIndex = AValue; }

 private:
  struct TItems : TStringList {
    explicit TItems(TTestList& AOwner) : Owner(AOwner) {}
    void Put(int Index, const UnicodeString& S) override {
      TStringList::Put(Index, S);
      Owner.FItemIndex = -1;
    }
    TTestList& Owner;
  };
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

template <class TItem>
class TTestGridOf : public TComponent {
 public:
  explicit TTestGridOf(TComponent* AOwner) : TComponent(AOwner) {}
  TCollection* Columns() noexcept { return &FColumns; }

 private:
  TCollection FColumns{&MakeCollectionItem<TItem>};
};
using TTestGrid = TTestGridOf<TTestColumn>;
using TTestPlainGrid = TTestGridOf<TCollectionItem>;  // columns without captions

inline constexpr TPropInfo kTestFrameProps[] = {StringProp<&TControl::Caption, &TControl::SetCaption>(u"Caption")};
inline constexpr TPropInfo kCountingLabelProps[] = {
    StringProp<&TControl::Caption, &TCountingLabel::SetCountedCaption>(u"Caption")};
inline constexpr TPropInfo kTestListProps[] = {
    ObjectProp<&TTestList::Items>(u"Items"),
    OrdinalProp<&TTestList::ItemIndex, &TTestList::SetItemIndex>(u"ItemIndex")};
inline constexpr TPropInfo kTestColumnProps[] = {StringProp<&TTestColumn::Caption, &TTestColumn::SetCaption>(u"Caption")};
template <class TGrid>
inline constexpr TPropInfo kTestGridProps[] = {ObjectProp<&TGrid::Columns>(u"Columns")};

inline constexpr TPublishedClass kTestClasses[] = {
    {u"TTestFrame", u"TFrame", &IsInstanceOf<TTestFrame>, kTestFrameProps, nullptr},
    {u"TCountingLabel", u"TLabel", &IsInstanceOf<TCountingLabel>, kCountingLabelProps, &CreateComponent<TCountingLabel>},
    {u"TTestList", u"TComponent", &IsInstanceOf<TTestList>, kTestListProps, &CreateComponent<TTestList>},
    {u"TTestColumn", u"TCollectionItem", &IsInstanceOf<TTestColumn>, kTestColumnProps, nullptr},
    {u"TTestGrid", u"TComponent", &IsInstanceOf<TTestGrid>, kTestGridProps<TTestGrid>, &CreateComponent<TTestGrid>},
    {u"TTestPlainGrid", u"TComponent", &IsInstanceOf<TTestPlainGrid>, kTestGridProps<TTestPlainGrid>,
     &CreateComponent<TTestPlainGrid>},
};

// Registers the classes above while it lives.
struct TTestClasses {
  TPublishedClassRegistration Frame{kTestClasses[0]}, Label{kTestClasses[1]}, List{kTestClasses[2]},
      Column{kTestClasses[3]}, Grid{kTestClasses[4]}, PlainGrid{kTestClasses[5]};
};
