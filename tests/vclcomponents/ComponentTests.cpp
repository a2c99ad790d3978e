#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/Classes.h"

namespace {

// Records its name when its destructor runs.
class TTracked : public TComponent {
 public:
  TTracked(TComponent* AOwner, std::vector<std::u16string>* ALog, std::u16string AName)
      : TComponent(AOwner), log_(ALog) {
    SetName(UnicodeString(AName));
  }
  ~TTracked() override { log_->push_back(std::u16string(Name().view())); }

 private:
  std::vector<std::u16string>* log_;
};

TEST(Component, OwnerFreesOwnedComponentsLastFirstAndAFreedChildLeavesItsOwner) {
  std::vector<std::u16string> log;
  auto* root = new TTracked(nullptr, &log, u"Root");
  auto* a = new TTracked(root, &log, u"A");
  new TTracked(root, &log, u"B");
  new TTracked(a, &log, u"A1");
  ASSERT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(a->Owner(), root);

  auto* c = new TTracked(root, &log, u"C");
  c->Free();
  EXPECT_EQ(root->ComponentCount(), 2);
  EXPECT_EQ(root->FindComponent(u"C"), nullptr);

  TComponent* p = root;
  FreeAndNil(p);
  EXPECT_EQ(p, nullptr);
  // C by hand; then the root, whose base part frees its owned ones last
  // first, each of those freeing its own after its body ran.
  EXPECT_EQ(log, (std::vector<std::u16string>{u"C", u"Root", u"B", u"A", u"A1"}));

  TComponent* none = nullptr;
  FreeAndNil(none);
}

TEST(Component, NamesAreIdentifiersUniqueAmongSiblingsAndFoundIgnoringCase) {
  TComponent root(nullptr);
  auto* help = new TComponent(&root);
  help->SetName(u"HelpMenu");
  EXPECT_EQ(root.FindComponent(u"helpmenu"), help);
  EXPECT_EQ(root.FindComponent(u"HELPMENU"), help);
  EXPECT_EQ(root.FindComponent(u""), nullptr);
  EXPECT_EQ(root.FindComponent(u"Help"), nullptr);

  auto* other = new TComponent(&root);
  EXPECT_THROW(other->SetName(u"HELPMENU"), EComponentError);
  EXPECT_THROW(other->SetName(u"1st"), EComponentError);
  EXPECT_THROW(other->SetName(u"a b"), EComponentError);
  EXPECT_TRUE(other->Name().IsEmpty());
  other->SetName(u"_Other2");
  help->SetName(u"helpMenu");  // its own name in other letters is no clash
  EXPECT_EQ(help->Name(), u"helpMenu");
  help->SetName(u"");
  EXPECT_EQ(root.FindComponent(u"helpmenu"), nullptr);
  EXPECT_THROW(root.Components(2), EListError);
  EXPECT_THROW(root.Components(-1), EListError);
}

TEST(Component, InsertComponentMovesOwnershipAndRefusesCyclesAndClashes) {
  TComponent first(nullptr), second(nullptr);
  auto* c = new TComponent(&first);
  c->SetName(u"Shared");
  second.InsertComponent(c);
  EXPECT_EQ(c->Owner(), &second);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(second.ComponentCount(), 1);

  auto* clash = new TComponent(&first);
  clash->SetName(u"shared");
  EXPECT_THROW(second.InsertComponent(clash), EComponentError);
  EXPECT_EQ(clash->Owner(), &first);

  // A component cannot come to own what owns it.
  EXPECT_THROW(c->InsertComponent(&second), EComponentError);
  EXPECT_THROW(c->InsertComponent(c), EComponentError);
  EXPECT_EQ(second.Owner(), nullptr);

  second.RemoveComponent(c);
  EXPECT_EQ(c->Owner(), nullptr);
  c->Free();
}

}  // namespace
