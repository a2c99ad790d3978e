#include "tests/language/TestComponents.h"

#include "vcl/LayoutReader.h"
#include "winapi/Modules.h"

TTestFrame::TTestFrame(TComponent* AOwner) : TFrame(AOwner) { ReadComponentResource(HInstance(), u"TTestFrame", *this); }

class TTestListStrings : public TStringList {
 public:
  explicit TTestListStrings(TTestList& AOwner) : FOwner(AOwner) {}
  void Put(int Index, const UnicodeString& S) override {
    TStringList::Put(Index, S);
    FOwner.FItemIndex = -1;
  }

 private:
  TTestList& FOwner;
};

TTestList::TTestList(TComponent* AOwner) : TComponent(AOwner), FItems(std::make_unique<TTestListStrings>(*this)) {}

namespace {

constexpr TPropInfo kFrameProps[] = {StringProp<&TControl::Caption, &TControl::SetCaption>(u"Caption")};
constexpr TPropInfo kCountingLabelProps[] = {
    StringProp<&TControl::Caption, &TCountingLabel::SetCountedCaption>(u"Caption")};
constexpr TPropInfo kListProps[] = {
    ObjectProp<&TTestList::Items>(u"Items"),
    OrdinalProp<&TTestList::ItemIndex, &TTestList::SetItemIndex>(u"ItemIndex"),
};
constexpr TPropInfo kColumnProps[] = {StringProp<&TTestColumn::Caption, &TTestColumn::SetCaption>(u"Caption")};
constexpr TPropInfo kPlainColumnProps[] = {OrdinalProp<&TTestPlainColumn::Width, &TTestPlainColumn::SetWidth>(u"Width")};
constexpr TPropInfo kGridProps[] = {ObjectProp<&TTestGrid::Columns>(u"Columns")};
constexpr TPropInfo kPlainGridProps[] = {ObjectProp<&TTestPlainGrid::Columns>(u"Columns")};

constexpr TPublishedClass kFrame{u"TTestFrame", u"TFrame", &IsInstanceOf<TTestFrame>, kFrameProps, nullptr};
constexpr TPublishedClass kCountingLabel{u"TCountingLabel", u"TLabel", &IsInstanceOf<TCountingLabel>,
                                         kCountingLabelProps, &CreateComponent<TCountingLabel>};
constexpr TPublishedClass kList{u"TTestList", u"TComponent", &IsInstanceOf<TTestList>, kListProps,
                                &CreateComponent<TTestList>};
constexpr TPublishedClass kColumn{u"TTestColumn", u"TCollectionItem", &IsInstanceOf<TTestColumn>, kColumnProps,
                                  nullptr};
constexpr TPublishedClass kPlainColumn{u"TTestPlainColumn", u"TCollectionItem", &IsInstanceOf<TTestPlainColumn>,
                                       kPlainColumnProps, nullptr};
constexpr TPublishedClass kGrid{u"TTestGrid", u"TComponent", &IsInstanceOf<TTestGrid>, kGridProps,
                                &CreateComponent<TTestGrid>};
constexpr TPublishedClass kPlainGrid{u"TTestPlainGrid", u"TComponent", &IsInstanceOf<TTestPlainGrid>, kPlainGridProps,
                                     &CreateComponent<TTestPlainGrid>};

}  // namespace

struct TTestClasses::TRegistrations {
  TPublishedClassRegistration Frame{kFrame}, CountingLabel{kCountingLabel}, List{kList}, Column{kColumn},
      PlainColumn{kPlainColumn}, Grid{kGrid}, PlainGrid{kPlainGrid};
};

TTestClasses::TTestClasses() : FRegistrations(std::make_unique<TRegistrations>()) {}
TTestClasses::~TTestClasses() = default;
