#include <gtest/gtest.h>

#include "vcl/Menus.h"

namespace {

TMenuItem* NewItem(TComponent* AOwner, const char16_t* ACaption) {
  auto* item = new TMenuItem(AOwner);
  item->SetCaption(ACaption);
  return item;
}

std::u16string Captions(const TMenuItem* menu) {
  std::u16string s;
  for (int i = 0; i < menu->Count(); ++i) {
    if (i) s += u',';
    s += menu->Items(i)->Caption().view();
  }
  return s;
}

// The suite's menu as the host builds it: a root without owner, items owned
// by the root and inserted into it.
struct SuiteMenu : ::testing::Test {
  TMainMenu main{nullptr};
  TMenuItem* root = nullptr;
  TMenuItem* separator = nullptr;
  TMenuItem* about = nullptr;

  void SetUp() override {
    for (const char16_t* c : {u"File", u"Edit", u"Help"}) main.Items()->Add(NewItem(&main, c));
    root = NewItem(nullptr, u"Qorb");
    main.Items()->Insert(2, root);
    separator = NewItem(root, u"-");
    root->Add(separator);
    about = NewItem(root, u"About Qorb...");
    root->Add(about);
  }
  void TearDown() override { FreeAndNil(root); }
};

TEST_F(SuiteMenu, ItemsInsertedBeforeTheSeparatorKeepTheirOrder) {
  for (const char16_t* c : {u"A", u"B", u"C"}) root->Insert(root->IndexOf(separator), NewItem(root, c));
  EXPECT_EQ(Captions(root), u"A,B,C,-,About Qorb...");
  EXPECT_EQ(Captions(main.Items()), u"File,Edit,Qorb,Help");
  EXPECT_TRUE(separator->IsLine());
  EXPECT_FALSE(about->IsLine());
  EXPECT_EQ(root->Parent(), main.Items());
  EXPECT_EQ(separator->Parent(), root);
  EXPECT_EQ(root->IndexOf(nullptr), -1);
  EXPECT_EQ(root->IndexOf(root), -1);
}

TEST_F(SuiteMenu, FreeingItemsOneByOneThenTheRootLeavesTheMainMenuWhole) {
  auto* plugin = NewItem(root, u"Plugin");
  root->Insert(0, plugin);
  FreeAndNil(about);
  EXPECT_EQ(Captions(root), u"Plugin,-");
  EXPECT_EQ(root->ComponentCount(), 2);
  FreeAndNil(separator);
  EXPECT_EQ(root->ComponentCount(), 1);
  EXPECT_EQ(root->Count(), 1);
  FreeAndNil(root);  // frees the plug-in item with it
  EXPECT_EQ(Captions(main.Items()), u"File,Edit,Help");
}

TEST_F(SuiteMenu, FreeingTheRootFirstFreesEveryItemOnce) {
  // An item owned by the root but placed under another item, and one owned by
  // the main menu but placed under the root: each is freed exactly once.
  auto* nested = NewItem(root, u"Nested");
  about->Add(nested);
  auto* foreign = NewItem(&main, u"Foreign");
  root->Add(foreign);
  const int mainComponents = main.ComponentCount();
  FreeAndNil(root);
  EXPECT_EQ(main.ComponentCount(), mainComponents - 1);
  EXPECT_EQ(Captions(main.Items()), u"File,Edit,Help");
}

TEST_F(SuiteMenu, OwnerAndParentCanBeFreedInEitherOrder) {
  // A sub-item owned by one item and placed under another: freeing the owner
  // takes it out of the parent; freeing the parent takes it out of the owner.
  auto* a = NewItem(root, u"A");
  auto* b = NewItem(root, u"B");
  root->Insert(0, a);
  root->Insert(1, b);
  auto* ownedByA = NewItem(a, u"x");
  b->Add(ownedByA);
  a->Free();
  EXPECT_EQ(b->Count(), 0);
  auto* ownedByB = NewItem(b, u"y");
  auto* c = NewItem(root, u"C");
  root->Insert(0, c);
  c->Add(ownedByB);
  c->Free();
  EXPECT_EQ(b->ComponentCount(), 0);
  EXPECT_EQ(Captions(root), u"B,-,About Qorb...");
}

TEST_F(SuiteMenu, InsertRefusesBadItemsAndIndexesWithoutChangingTheMenu) {
  auto* fresh = NewItem(root, u"Fresh");
  EXPECT_THROW(main.Items()->Add(about), EMenuError);  // already has a parent
  EXPECT_THROW(root->Insert(-1, fresh), EMenuError);
  EXPECT_THROW(root->Insert(3, fresh), EMenuError);
  EXPECT_THROW(root->Insert(0, nullptr), EMenuError);
  EXPECT_THROW(root->Add(root), EMenuError);
  EXPECT_THROW(about->Add(root), EMenuError);  // would hang the root under its own child
  EXPECT_THROW(root->Items(2), EMenuError);
  EXPECT_THROW(root->Remove(fresh), EMenuError);
  EXPECT_EQ(Captions(root), u"-,About Qorb...");
  EXPECT_EQ(fresh->Parent(), nullptr);

  // Removed items may be inserted elsewhere; then they are freed from there.
  root->Remove(about);
  EXPECT_EQ(about->Parent(), nullptr);
  main.Items()->Add(about);
  EXPECT_EQ(Captions(main.Items()), u"File,Edit,Qorb,Help,About Qorb...");
  about->Free();
  about = nullptr;
  EXPECT_EQ(Captions(main.Items()), u"File,Edit,Qorb,Help");
}

struct ClickSink {
  int clicks = 0;
  TObject* sender = nullptr;
  void Clicked(TObject* Sender) {
    ++clicks;
    sender = Sender;
  }
};

TEST_F(SuiteMenu, ClickCallsTheHandlerWithTheItemWhileEnabled) {
  ClickSink sink;
  separator->Click();  // no handler: nothing happens
  about->OnClick = BindMethod<&ClickSink::Clicked>(&sink);
  about->Click();
  EXPECT_EQ(sink.clicks, 1);
  EXPECT_EQ(sink.sender, about);
  about->SetEnabled(false);
  about->Click();
  EXPECT_EQ(sink.clicks, 1);
}

TEST(MainMenu, FreesItsItemsAndComponents) {
  auto* menu = new TMainMenu(nullptr);
  auto* help = NewItem(menu, u"Help");
  help->SetName(u"HelpMenu");
  menu->Items()->Add(help);
  menu->Items()->Add(NewItem(nullptr, u"Unowned"));
  EXPECT_EQ(menu->FindComponent(u"helpmenu"), help);
  EXPECT_EQ(menu->ComponentCount(), 1);
  menu->Free();
}

}  // namespace
