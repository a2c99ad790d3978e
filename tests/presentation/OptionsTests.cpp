#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "ide/OptionsDialog.h"
#include "ide/ThemingServices.h"
#include "ide/UIServices.h"
#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "otahelper/Qorb.OTAHelper.Options.h"
#include "tests/presentation/IdeGlobals.h"
#include "tests/presentation/SimulatedIde.h"
#include "toolsapi/ObjectInterfaces.h"
#include "vcl/Forms.h"
#include "vcl/ListBox.h"

namespace {

std::vector<std::string> journal;

// A frame that records what the page asks of it.
class TRecordingFrame : public TFrame, public TObjectInterfaces<IQorbOptionsFrame> {
 public:
  explicit TRecordingFrame(TComponent* AOwner) : TFrame(AOwner) {
    list = new TListBox(this);
    list->SetName(u"lbChoices");
    list->SetParent(this);
    list->Items()->Add(u"Red");
  }
  void LoadSettings() override { journal.push_back("load"); }
  void SaveSettings() override { journal.push_back("save"); }
  bool ValidateContents(UnicodeString& Msg) override {
    journal.push_back("validate");
    Msg = message;
    return valid;
  }
  static inline bool valid = true;
  static inline UnicodeString message;
  TListBox* list;
};

class TRecordingPage : public TQorbOptionsPageBase {
 public:
  TCustomFrameClass GetFrameClass() override { return &FrameClassOf<TRecordingFrame>; }
  UnicodeString PageCaption() override { return UnicodeString(u"General"); }
  TCustomFrame* Frame() const { return FFrame; }
};

// A frame that knows nothing of options.
class TPlainPage : public TQorbOptionsPageBase {
 public:
  TCustomFrameClass GetFrameClass() override { return &FrameClassOf<TFrame>; }
  UnicodeString PageCaption() override { return UnicodeString(u"Plain"); }
};

// An options dialog whose withdrawals can fail, with theming and message
// dialogs that record.
class TFakeIde : public TInterfacedObjectOf<IBorlandIDEServices, INTAEnvironmentOptionsServices,
                                            IOTAIDEThemingServices, INTAIDEUIServices> {
 public:
  std::vector<INTAAddInOptions*> registered, withdrawn;
  bool throwOnFirstWithdrawal = false;
  bool themingEnabled = true;
  std::vector<TComponent*> themed;
  std::vector<UnicodeString> dialogs;
  TMsgDlgType dialogType{};
  TMsgDlgButtons dialogButtons = 0;
  int32_t dialogHelp = -1;

  void RegisterAddInOptions(INTAAddInOptions* O) override { registered.push_back(O); }
  void UnregisterAddInOptions(INTAAddInOptions* O) override {
    withdrawn.push_back(O);
    if (throwOnFirstWithdrawal && withdrawn.size() == 1) throw std::runtime_error("busy");
  }
  void GetActiveTheme(UnicodeString& R) override { R = u"Light"; }
  int32_t GetThemeCount() override { return 1; }
  void GetThemeName(UnicodeString& R, int32_t) override { R = u"Light"; }
  bool SetActiveTheme(UnicodeStringRef) override { return false; }
  bool GetIDEThemingEnabled() override { return themingEnabled; }
  void ApplyTheme(TComponent* C) override { themed.push_back(C); }
  TCustomStyleServices* GetStyleServices() override { return nullptr; }
  TColor GetIDEColor(TIDEColorId) override { return clBlack; }
  void GetIDEFontName(UnicodeString& R) override { R = u"Segoe UI"; }
  int32_t GetIDEFontSize() override { return 9; }
  int32_t GetCurrentPPI() override { return 96; }
  int32_t ScaleValue(int32_t V) override { return V; }
  int32_t MessageDlg(UnicodeStringRef Msg, TMsgDlgType T, TMsgDlgButtons B, int32_t H) override {
    dialogs.emplace_back(Msg);
    dialogType = T;
    dialogButtons = B;
    dialogHelp = H;
    return mrOk;
  }
};

class OptionsPage : public ::testing::Test {
 protected:
  void SetUp() override {
    journal.clear();
    TRecordingFrame::valid = true;
    TRecordingFrame::message.Clear();
    fake = Make<TFakeIde>();
    globals.Services(fake);
  }
  void TearDown() override { UnregisterOptionsPages(); }

  TIdeGlobals globals;
  ComPtr<TFakeIde> fake;
};

}  // namespace

TEST_F(OptionsPage, FixedAnswers) {
  auto page = Make<TRecordingPage>();
  UnicodeString s;
  page->GetArea(s);
  EXPECT_EQ(s, u"Qorb");
  page->GetCaption(s);
  EXPECT_EQ(s, u"General");
  EXPECT_EQ(page->GetHelpContext(), 0);
  EXPECT_TRUE(page->IncludeInIDEInsight());
  EXPECT_FALSE(page->GetOptionsFrame());
}

TEST_F(OptionsPage, AbsentPageOrNoDialogRegistersNothing) {
  EXPECT_FALSE(RegisterOptionsPage(nullptr));
  auto page = Make<TRecordingPage>();
  BorlandIDEServices = nullptr;
  EXPECT_FALSE(RegisterOptionsPage(page));
  EXPECT_EQ(page->RefCount(), 1);
  // Nothing was remembered, so nothing is withdrawn.
  globals.Services(fake);
  UnregisterOptionsPages();
  EXPECT_TRUE(fake->registered.empty());
  EXPECT_TRUE(fake->withdrawn.empty());
}

TEST_F(OptionsPage, PagesAreWithdrawnInOrderEvenWhenOneFails) {
  auto first = Make<TRecordingPage>();
  auto second = Make<TPlainPage>();
  ASSERT_TRUE(RegisterOptionsPage(first));
  ASSERT_TRUE(RegisterOptionsPage(second));
  EXPECT_EQ(fake->registered.size(), 2u);
  fake->throwOnFirstWithdrawal = true;
  EXPECT_NO_THROW(UnregisterOptionsPages());
  ASSERT_EQ(fake->withdrawn.size(), 2u);
  EXPECT_EQ(fake->withdrawn[0], static_cast<INTAAddInOptions*>(first.get()));
  EXPECT_EQ(fake->withdrawn[1], static_cast<INTAAddInOptions*>(second.get()));
  // The list is gone, and with it its references.
  EXPECT_EQ(first->RefCount(), 1);
  EXPECT_EQ(second->RefCount(), 1);
  UnregisterOptionsPages();
  EXPECT_EQ(fake->withdrawn.size(), 2u);
}

TEST_F(OptionsPage, WithoutDialogServiceTheListIsStillForgotten) {
  auto page = Make<TRecordingPage>();
  ASSERT_TRUE(RegisterOptionsPage(page));
  BorlandIDEServices = nullptr;
  UnregisterOptionsPages();
  EXPECT_EQ(page->RefCount(), 1);
  EXPECT_TRUE(fake->withdrawn.empty());
}

TEST_F(OptionsPage, FrameIsThemedLoadedSavedOnlyWhenAcceptedAndForgotten) {
  auto page = Make<TRecordingPage>();
  TRecordingFrame frame(nullptr);
  page->FrameCreated(&frame);
  EXPECT_EQ(fake->themed, std::vector<TComponent*>{&frame});
  EXPECT_EQ(journal, std::vector<std::string>{"load"});
  EXPECT_TRUE(page->GetOptionsFrame());

  page->DialogClosed(false);
  EXPECT_EQ(journal, std::vector<std::string>{"load"});
  EXPECT_EQ(page->Frame(), nullptr);
  EXPECT_FALSE(page->GetOptionsFrame());

  fake->themingEnabled = false;
  page->FrameCreated(&frame);
  EXPECT_EQ(fake->themed.size(), 1u);
  page->DialogClosed(true);
  EXPECT_EQ(journal, (std::vector<std::string>{"load", "load", "save"}));
  EXPECT_EQ(page->Frame(), nullptr);

  page->FrameCreated(nullptr);
  EXPECT_EQ(page->Frame(), nullptr);
  EXPECT_EQ(journal.size(), 3u);
}

TEST_F(OptionsPage, FailedValidationShowsItsMessageEvenEmpty) {
  auto page = Make<TRecordingPage>();
  TRecordingFrame frame(nullptr);
  page->FrameCreated(&frame);
  EXPECT_TRUE(page->ValidateContents());
  EXPECT_TRUE(fake->dialogs.empty());

  TRecordingFrame::valid = false;
  EXPECT_FALSE(page->ValidateContents());
  ASSERT_EQ(fake->dialogs.size(), 1u);
  EXPECT_TRUE(fake->dialogs[0].IsEmpty());
  EXPECT_EQ(fake->dialogType, mtError);
  EXPECT_EQ(fake->dialogButtons, 4);
  EXPECT_EQ(fake->dialogHelp, 0);
  page->DialogClosed(false);
  // Without a frame there is nothing to validate.
  EXPECT_TRUE(page->ValidateContents());
}

TEST_F(OptionsPage, FrameWithoutContractIsNeitherLoadedNorSaved) {
  auto page = Make<TPlainPage>();
  TFrame frame(nullptr);
  page->FrameCreated(&frame);
  EXPECT_FALSE(page->GetOptionsFrame());
  EXPECT_TRUE(page->ValidateContents());
  page->DialogClosed(true);
  EXPECT_TRUE(journal.empty());
}

namespace {
class OptionsInTheIde : public SimulatedIdeTest {
 protected:
  void TearDown() override {
    UnregisterOptionsPages();
    SetLocLanguage(llEnglish);
    SimulatedIdeTest::TearDown();
  }
};
}  // namespace

TEST_F(OptionsInTheIde, OpenedPageTranslatesListsOnceOnAFormAndSavesWhenAccepted) {
  journal.clear();
  TRecordingFrame::valid = true;
  SetLocLanguage(llGerman);
  auto page = Make<TRecordingPage>();
  ASSERT_TRUE(RegisterOptionsPage(page));
  auto& dialog = *ide->Services().Service<TOptionsDialog>();
  ASSERT_EQ(dialog.Pages().size(), 1u);
  EXPECT_EQ(dialog.Pages()[0].Area, u"Qorb");
  EXPECT_TRUE(dialog.Pages()[0].IncludeInIDEInsight);

  UnicodeString shownItem;
  const TOptionsPageRun run = dialog.OpenPage(u"Qorb", u"General", true, [&](TCustomFrame& f, const TOptionsPageRun&) {
    shownItem = static_cast<TRecordingFrame&>(f).list->Items()->Strings(0);
  });
  EXPECT_TRUE(run.Accepted);
  EXPECT_EQ(run.FrameClassName, u"TRecordingFrame");
  EXPECT_EQ(shownItem, u"Rot");
  EXPECT_EQ(journal, (std::vector<std::string>{"load", "validate", "save"}));
  UnregisterOptionsPages();
  EXPECT_TRUE(dialog.Pages().empty());
}

TEST_F(OptionsInTheIde, RejectedEntriesShowTheIdesErrorDialog) {
  journal.clear();
  TRecordingFrame::valid = false;
  TRecordingFrame::message = u"Choose a colour.";
  auto page = Make<TRecordingPage>();
  ASSERT_TRUE(RegisterOptionsPage(page));
  auto& dialog = *ide->Services().Service<TOptionsDialog>();
  const TOptionsPageRun run = dialog.OpenPage(u"Qorb", u"General", true);
  EXPECT_FALSE(run.Accepted);
  const std::vector<TShownDialog> shown = ide->Services().Service<TUIServices>()->Dialogs();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, u"Choose a colour.");
  EXPECT_EQ(journal, (std::vector<std::string>{"load", "validate"}));
}

TEST_F(OptionsInTheIde, WithoutTheIdesDialogTheApplicationsBoxShowsTheError) {
  journal.clear();
  auto page = Make<TRecordingPage>();
  TRecordingFrame frame(nullptr);
  page->FrameCreated(&frame);
  TRecordingFrame::valid = false;
  TRecordingFrame::message = u"Choose a colour.";
  ASSERT_TRUE(ide->Services().SetEnabled(INTAIDEUIServices::IID, false));
  EXPECT_FALSE(page->ValidateContents());
  const std::vector<TShownMessageBox> boxes = ide->MessageBoxes().Shown();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Caption, u"Qorb");
  EXPECT_EQ(boxes[0].Text, u"Choose a colour.");
  EXPECT_EQ(boxes[0].Type, 16u);
  EXPECT_TRUE(ide->Services().Service<TUIServices>()->Dialogs().empty());
  page->DialogClosed(false);
}
