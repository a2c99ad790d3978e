// Components and menu items: who frees whom, names, and menu placement.
#include <gtest/gtest.h>

#include <string>

#include "vcl/Menus.h"

namespace {

// Adds its name to a log when its destructor runs.
struct TTracked : TComponent {
  std::u16string* log;
  TTracked(TComponent* AOwner, std::u16string* ALog, const char16_t* AName) : TComponent(AOwner), log(ALog) {
    SetName(AName);
  }
  ~TTracked() override { *log += std::u16string(Name().view()) + u' '; }
};

TEST(Component, OwnerFreesOwnedComponentsLastFirstAndAFreedChildLeavesItsOwner) {
  std::u16string log;
  TComponent* root = new TTracked(nullptr, &log, u"Root");
  auto* a = new TTracked(root, &log, u"A");
  new TTracked(root, &log, u"B");
  new TTracked(a, &log, u"A1");
  (new TTracked(root, &log, u"C"))->Free();
  EXPECT_EQ(root->ComponentCount(), 2);
  FreeAndNil(root);
  // The root's body first, then its base part frees the owned ones last
  // first, each freeing its own after its body ran.
  EXPECT_EQ(log, u"C Root B A A1 ");
}

TEST(Component, NamesAreIdentifiersUniqueAmongSiblingsAndFoundIgnoringCase) {
  TComponent root(nullptr);
  auto* help = new TComponent(&root);
  help->SetName(u"HelpMenu");
  EXPECT_EQ(root.FindComponent(u"HELPMENU"), help);
  auto* other = new TComponent(&root);
  for (const char16_t* bad : {u"helpmenu", u"1st", u"a b"}) EXPECT_THROW(other->SetName(bad), EComponentError);
  EXPECT_TRUE(other->Name().IsEmpty());
  help->SetName(u"helpMenu");  // its own name in other letters is no clash
  EXPECT_THROW(root.Components(2), EListError);
}

TMenuItem* NewItem(TComponent* AOwner, const char16_t* ACaption) {
  auto* item = new TMenuItem(AOwner);
  item->SetCaption(ACaption);
  return item;
}

std::u16string Captions(const TMenuItem* menu) {
  std::u16string s;
  for (int i = 0; i < menu->Count(); ++i) s += (i ? u"," : u"") + std::u16string(menu->Items(i)->Caption().view());
  return s;
}

// The suite's menu as the host builds it: a root without owner, items owned
// by the root and inserted into it.
struct SuiteMenu : ::testing::Test {
  TMainMenu main{nullptr};
  TMenuItem* root = NewItem(nullptr, u"Qorb");
  TMenuItem* separator = NewItem(root, u"-");
  TMenuItem* about = NewItem(root, u"About Qorb...");

  void SetUp() override {
    for (const char16_t* c : {u"File", u"Edit", u"Help"}) main.Items()->Add(NewItem(&main, c));
    main.Items()->Insert(2, root);
    root->Add(separator);
    root->Add(about);
  }
  void TearDown() override { FreeAndNil(root); }
};

TEST_F(SuiteMenu, ItemsOwnedAndPlacedAnywhereAreFreedOnceInEitherOrder) {
  auto* a = NewItem(root, u"A");
  auto* b = NewItem(root, u"B");
  root->Insert(0, a);
  root->Insert(1, b);
  b->Add(NewItem(a, u"x"));  // owned by A, under B: freeing A takes it out of B
  a->Free();
  EXPECT_EQ(b->Count(), 0);
  about->Add(NewItem(b, u"y"));  // owned by B, under About: freeing About takes it out of B
  FreeAndNil(about);
  EXPECT_EQ(b->ComponentCount(), 0);
  EXPECT_EQ(Captions(root), u"B,-");

  b->Add(NewItem(root, u"Nested"));                 // owned by the root, under B
  root->Add(NewItem(&main, u"Foreign"));            // owned by the main menu, under the root
  main.Items()->Add(NewItem(nullptr, u"Unowned"));  // freed with the main menu
  const int mainComponents = main.ComponentCount();
  FreeAndNil(root);
  EXPECT_EQ(main.ComponentCount(), mainComponents - 1);
  EXPECT_EQ(Captions(main.Items()), u"File,Edit,Help,Unowned");
}

TEST_F(SuiteMenu, InsertRefusesBadItemsAndIndexesWithoutChangingTheMenu) {
  auto* fresh = NewItem(root, u"Fresh");
  EXPECT_THROW(main.Items()->Add(about), EMenuError);  // already has a parent
  for (int index : {-1, 3}) EXPECT_THROW(root->Insert(index, fresh), EMenuError);
  EXPECT_THROW(root->Insert(0, nullptr), EMenuError);
  EXPECT_THROW(about->Add(root), EMenuError);  // would hang the root under its own child
  EXPECT_THROW(root->Remove(fresh), EMenuError);
  EXPECT_EQ(Captions(root), u"-,About Qorb...");
  EXPECT_EQ(fresh->Parent(), nullptr);
  // A removed item may be inserted elsewhere, and leaves that menu when freed.
  root->Remove(about);
  main.Items()->Add(about);
  FreeAndNil(about);
  EXPECT_EQ(Captions(main.Items()), u"File,Edit,Qorb,Help");
}

}  // namespace
